#include "FakeSbs.h"

#include <btapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

// The library's private data behind a descriptor.
struct bt_lib_data_s {
  int unit = 0;
  bt_dev_t device = BT_DEV_NIO;
  std::map<int, std::uint32_t> parameters;
};

namespace fake_sbs {

namespace {

constexpr int kDeviceShift = 5;  // a device file's minor number is (device << 5) + unit
constexpr int kMaxUnits = 15;

std::set<bt_desc_t>& Open() {
  static std::set<bt_desc_t> open;
  return open;
}

bool IsOpen(bt_desc_t descriptor) { return Open().count(descriptor) != 0; }

bt_error_t Next(Call call) { return static_cast<bt_error_t>(State().Next(call, BT_SUCCESS)); }

Record& Log(Call call, bt_desc_t descriptor, bt_error_t status) {
  Record& record = State().Log(call, status);
  record.descriptor = descriptor;
  return record;
}

bool KnownDevice(int device) { return device >= BT_DEV_NIO && device < BT_MAX_DEV; }

// The unit and device of a name DeviceName() makes; false for others.
bool ParseName(const char* name, int& unit, bt_dev_t& device) {
  if (name == nullptr) return false;
  unsigned minor = 0;
  char rest = 0;
  if (std::sscanf(name, "/dev/btp%u%c", &minor, &rest) != 1) return false;
  const int number = static_cast<int>(minor >> kDeviceShift);
  const int which = static_cast<int>(minor & ((1u << kDeviceShift) - 1));
  if (!KnownDevice(number) || which > kMaxUnits || name != DeviceName(which, number)) return false;
  unit = which;
  device = static_cast<bt_dev_t>(number);
  return true;
}

}  // namespace

Library& State() {
  static Library library;
  return library;
}

void Reset() {
  for (bt_desc_t descriptor : Open()) delete descriptor;
  Open().clear();
  State() = Library();
}

void Queue(Call call, std::initializer_list<int> statuses) { State().Queue(call, statuses); }

std::vector<Record> CallsOf(Call call) { return State().CallsOf(call); }

std::size_t OpenDescriptors() { return Open().size(); }

std::string DeviceName(int unit, int device) {
  return "/dev/btp" + std::to_string((device << kDeviceShift) + unit);
}

}  // namespace fake_sbs

using namespace fake_sbs;

extern "C" {

// As the vendor's: the buffer is cleared, and null (no name) for a unit or
// device out of range or a buffer too small.
char* bt_gen_name(int unit, bt_dev_t logdev, char* devname_p, size_t max_devname) {
  Record& record = Log(Call::GenName, nullptr, BT_SUCCESS);
  record.unit = unit;
  record.device = logdev;
  record.size = max_devname;
  if (devname_p == nullptr) return nullptr;
  std::memset(devname_p, 0, max_devname);
  if (unit < 0 || unit > kMaxUnits || !KnownDevice(logdev)) return nullptr;
  const std::string name = DeviceName(unit, logdev);
  if (name.size() + 1 > max_devname) return nullptr;
  std::memcpy(devname_p, name.c_str(), name.size() + 1);
  record.text = name;
  return devname_p;
}

bt_error_t bt_open(bt_desc_t* btd_p, const char* devname_p, bt_accessflag_t flags) {
  int unit = 0;
  bt_dev_t device = BT_DEV_NIO;
  bt_error_t status = Next(Call::Open);
  if (status == BT_SUCCESS &&
      (!ParseName(devname_p, unit, device) || State().missing.count(devname_p) != 0))
    status = BT_EFAIL;
  bt_desc_t opened = nullptr;
  if (status == BT_SUCCESS) {
    opened = new bt_lib_data_s{unit, device, State().parameters};
    Open().insert(opened);
    *btd_p = opened;
  }
  Record& record = Log(Call::Open, opened, status);
  record.text = devname_p != nullptr ? devname_p : "";
  record.flags = flags;
  return status;
}

bt_error_t bt_close(bt_desc_t btd) {
  bt_error_t status = IsOpen(btd) ? Next(Call::Close) : BT_EDESC;
  Log(Call::Close, btd, status);
  if (status == BT_SUCCESS) {
    Open().erase(btd);
    delete btd;
  }
  return status;
}

// As the vendor's: prefix, ": ", the text; null for a status it does not know.
char* bt_strerror(bt_desc_t btd, bt_error_t status, const char* msg_p, char* buf_p,
                  size_t buf_len) {
  Record& record = Log(Call::StrError, btd, status);
  record.text = msg_p != nullptr ? msg_p : "";
  record.size = buf_len;
  const auto text = State().texts.find(status);
  if (State().strerrorGivesNull || text == State().texts.end() || buf_p == nullptr || buf_len == 0)
    return nullptr;
  std::snprintf(buf_p, buf_len, "%s: %s", record.text.c_str(), text->second.c_str());
  return buf_p;
}

// As the vendor's: a zero length is BT_EINVAL, and the count is left alone.
bt_error_t bt_read(bt_desc_t btd, void* buf_p, bt_devaddr_t xfer_off, size_t xfer_len,
                   size_t* xfer_done_p) {
  const bt_error_t status = !IsOpen(btd) ? BT_EDESC : xfer_len == 0 ? BT_EINVAL : Next(Call::Read);
  Record& record = Log(Call::Read, btd, status);
  record.address = xfer_off;
  record.count = xfer_len;
  if (xfer_len == 0) return status;
  *xfer_done_p = 0;
  if (status != BT_SUCCESS) return status;
  auto* bytes = static_cast<std::uint8_t*>(buf_p);
  const size_t done = xfer_len - std::min(xfer_len, State().shortBy);
  for (size_t i = 0; i < done; ++i) bytes[i] = State().memory[xfer_off + i];
  record.bytes.assign(bytes, bytes + done);
  *xfer_done_p = done;
  return status;
}

bt_error_t bt_write(bt_desc_t btd, void* buf_p, bt_devaddr_t xfer_off, size_t xfer_len,
                    size_t* xfer_done_p) {
  const bt_error_t status = !IsOpen(btd) ? BT_EDESC : xfer_len == 0 ? BT_EINVAL : Next(Call::Write);
  const auto* bytes = static_cast<const std::uint8_t*>(buf_p);
  Record& record = Log(Call::Write, btd, status);
  record.address = xfer_off;
  record.count = xfer_len;
  if (xfer_len == 0) return status;
  record.bytes.assign(bytes, bytes + xfer_len);
  *xfer_done_p = 0;
  if (status != BT_SUCCESS) return status;
  const size_t done = xfer_len - std::min(xfer_len, State().shortBy);
  for (size_t i = 0; i < done; ++i) State().memory[xfer_off + i] = bytes[i];
  *xfer_done_p = done;
  return status;
}

bt_error_t bt_get_info(bt_desc_t btd, bt_info_t param, bt_devdata_t* value_p) {
  const bt_error_t status = IsOpen(btd) ? Next(Call::GetInfo) : BT_EDESC;
  Record& record = Log(Call::GetInfo, btd, status);
  record.parameter = param;
  if (status == BT_SUCCESS) record.value = *value_p = btd->parameters[param];
  return status;
}

bt_error_t bt_set_info(bt_desc_t btd, bt_info_t param, bt_devdata_t value) {
  const bt_error_t status = IsOpen(btd) ? Next(Call::SetInfo) : BT_EDESC;
  Record& record = Log(Call::SetInfo, btd, status);
  record.parameter = param;
  record.value = value;
  if (status == BT_SUCCESS) btd->parameters[param] = value;
  return status;
}

#ifndef FAKE_SBS_WITHOUT_RESET
bt_error_t bt_reset(bt_desc_t btd) {
  const bt_error_t status = IsOpen(btd) ? Next(Call::Reset) : BT_EDESC;
  Log(Call::Reset, btd, status);
  return status;
}
#endif

}  // extern "C"
