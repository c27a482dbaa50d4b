#include "FakeSbs.h"

#include <cstdio>
#include <cstring>
#include <set>

// The library's private data behind a descriptor.
struct bt_lib_data_s {
  int unit = 0;
  bt_dev_t device = BT_DEV_NIO;
  std::map<bt_info_t, bt_devdata_t> parameters;
};

namespace fake_sbs {

namespace {

constexpr int kDeviceBits = 5;  // a device file's minor number is unit << 5 | device

std::set<bt_desc_t>& Open() {
  static std::set<bt_desc_t> open;
  return open;
}

bool IsOpen(bt_desc_t descriptor) { return Open().count(descriptor) != 0; }

bt_error_t Next(Call call) {
  auto& queue = State().statuses[call];
  if (queue.empty()) return BT_SUCCESS;
  const bt_error_t status = queue.front();
  queue.pop_front();
  return status;
}

Record& Log(Call call, bt_desc_t descriptor, bt_error_t status) {
  Record record;
  record.call = call;
  record.descriptor = descriptor;
  record.status = status;
  State().log.push_back(record);
  return State().log.back();
}

bool KnownDevice(int device) {
  switch (device) {
    case BT_DEV_NIO:
    case BT_DEV_DP:
    case BT_DEV_A16:
    case BT_DEV_A32:
    case BT_DEV_A24:
    case BT_DEV_LM:
      return true;
    default:
      return false;
  }
}

// The unit and device a name from DeviceName() stands for; false for others.
bool ParseName(const char* name, int& unit, bt_dev_t& device) {
  if (name == nullptr) return false;
  unsigned minor = 0;
  char rest = 0;
  if (std::sscanf(name, "/dev/btp%u%c", &minor, &rest) != 1) return false;
  const int number = static_cast<int>(minor & ((1u << kDeviceBits) - 1));
  if (!KnownDevice(number) ||
      name != DeviceName(static_cast<int>(minor >> kDeviceBits), static_cast<bt_dev_t>(number)))
    return false;
  unit = static_cast<int>(minor >> kDeviceBits);
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

void Queue(Call call, std::initializer_list<bt_error_t> statuses) {
  auto& queue = State().statuses[call];
  queue.insert(queue.end(), statuses.begin(), statuses.end());
}

std::vector<Record> CallsOf(Call call) {
  std::vector<Record> calls;
  for (const Record& record : State().log)
    if (record.call == call) calls.push_back(record);
  return calls;
}

std::size_t OpenDescriptors() { return Open().size(); }

std::string Description(bt_error_t status) {
  const auto text = State().texts.find(status);
  return text != State().texts.end() ? text->second : "error " + std::to_string(status);
}

std::string DeviceName(int unit, bt_dev_t device) {
  const unsigned minor =
      (static_cast<unsigned>(unit) << kDeviceBits) | static_cast<unsigned>(device);
  return "/dev/btp" + std::to_string(minor);
}

}  // namespace fake_sbs

using namespace fake_sbs;

extern "C" {

char* bt_gen_name(int unit, bt_dev_t logdev, char* devname_p, size_t max_devname) {
  Record& record = Log(Call::GenName, nullptr, BT_SUCCESS);
  record.unit = unit;
  record.device = logdev;
  record.size = max_devname;
  if (devname_p == nullptr || unit < 0 || !KnownDevice(logdev)) return nullptr;
  const std::string name = DeviceName(unit, logdev);
  if (name.size() + 1 > max_devname) return nullptr;  // does not fit: no name at all
  std::memcpy(devname_p, name.c_str(), name.size() + 1);
  record.text = name;
  return devname_p;
}

bt_error_t bt_open(bt_desc_t* btd_p, const char* devname_p, bt_accessflag_t flags) {
  int unit = 0;
  bt_dev_t device = BT_DEV_NIO;
  bt_error_t status = Next(Call::Open);
  if (status == BT_SUCCESS && !ParseName(devname_p, unit, device)) status = BT_ENXIO;
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

char* bt_strerror(bt_desc_t btd, bt_error_t status, const char* msg_p, char* buf_p,
                  size_t buf_len) {
  Record& record = Log(Call::StrError, btd, status);
  record.text = msg_p != nullptr ? msg_p : "";
  record.size = buf_len;
  if (State().strerrorGivesNull || buf_p == nullptr || buf_len == 0) return nullptr;
  std::snprintf(buf_p, buf_len, "%s: %s", record.text.c_str(), Description(status).c_str());
  return buf_p;
}

bt_error_t bt_read(bt_desc_t btd, void* buf_p, bt_devaddr_t xfer_off, size_t xfer_len,
                   size_t* xfer_done_p) {
  const bt_error_t status = IsOpen(btd) ? Next(Call::Read) : BT_EDESC;
  Record& record = Log(Call::Read, btd, status);
  record.address = xfer_off;
  record.count = xfer_len;
  *xfer_done_p = 0;
  if (status != BT_SUCCESS) return status;
  auto* bytes = static_cast<std::uint8_t*>(buf_p);
  for (size_t i = 0; i < xfer_len; ++i) bytes[i] = State().memory[xfer_off + i];
  record.bytes.assign(bytes, bytes + xfer_len);
  *xfer_done_p = xfer_len;
  return status;
}

bt_error_t bt_write(bt_desc_t btd, void* buf_p, bt_devaddr_t xfer_off, size_t xfer_len,
                    size_t* xfer_done_p) {
  const bt_error_t status = IsOpen(btd) ? Next(Call::Write) : BT_EDESC;
  const auto* bytes = static_cast<const std::uint8_t*>(buf_p);
  Record& record = Log(Call::Write, btd, status);
  record.address = xfer_off;
  record.count = xfer_len;
  record.bytes.assign(bytes, bytes + xfer_len);
  *xfer_done_p = 0;
  if (status != BT_SUCCESS) return status;
  for (size_t i = 0; i < xfer_len; ++i) State().memory[xfer_off + i] = bytes[i];
  *xfer_done_p = xfer_len;
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

bt_error_t bt_reset(bt_desc_t btd) {
  const bt_error_t status = IsOpen(btd) ? Next(Call::Reset) : BT_EDESC;
  Log(Call::Reset, btd, status);
  return status;
}

}  // extern "C"
