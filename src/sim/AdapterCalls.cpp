// The nine adapter calls, answered by the simulated crate.

#include "sim/AdapterCalls.h"

#include <cstdio>
#include <cstring>

#include "sim/CrateImpl.h"
#include "sim/SimCrate.h"

namespace sim {

struct Adapter {
  static constexpr std::size_t kTextSize = Crate::Impl::kTextSize;
  static Crate::Impl& State() { return *Crate::Instance().Impl_; }
};

namespace {

constexpr std::size_t kLongestName = 19;  // a device name, without its terminator

}  // namespace

char* bt_gen_name(int unit, bt_dev_t logicalDevice, char* name, std::size_t maxLength) {
  if (name == nullptr || maxLength == 0) return name;
  char full[48];
  if (logicalDevice == BT_DEV_A24)
    std::snprintf(full, sizeof full, "simbt%d/a24", unit);
  else
    std::snprintf(full, sizeof full, "simbt%d/dev%d", unit, static_cast<int>(logicalDevice));
  // At most 19 characters, and never more than the caller's buffer holds.
  std::size_t length = std::strlen(full);
  if (length > kLongestName) length = kLongestName;
  if (length > maxLength - 1) length = maxLength - 1;
  std::memcpy(name, full, length);
  name[length] = '\0';
  return name;
}

bt_error_t bt_open(bt_desc_t* handle, const char* name, bt_accessflag_t flags) {
  return Adapter::State().Open(handle, name, flags);
}

bt_error_t bt_get_info(bt_desc_t handle, bt_info_t parameter, bt_devdata_t* value) {
  return Adapter::State().GetInfo(handle, parameter, value);
}

bt_error_t bt_set_info(bt_desc_t handle, bt_info_t parameter, bt_devdata_t value) {
  return Adapter::State().SetInfo(handle, parameter, value);
}

bt_error_t bt_write(bt_desc_t handle, const void* buffer, bt_devaddr_t address, std::size_t count,
                    std::size_t* transferred) {
  return Adapter::State().Write(handle, buffer, address, count, transferred);
}

bt_error_t bt_read(bt_desc_t handle, void* buffer, bt_devaddr_t address, std::size_t count,
                   std::size_t* transferred) {
  return Adapter::State().Read(handle, buffer, address, count, transferred);
}

bt_error_t bt_reset(bt_desc_t handle) { return Adapter::State().Reset(handle); }

bt_error_t bt_close(bt_desc_t handle) { return Adapter::State().Close(handle); }

// Writes prefix, ": " and the description, cut to bufferSize. The separator
// is written even after an empty prefix, so a caller's "device NAME" + text
// reads "device NAME: description".
char* bt_strerror(bt_desc_t, bt_error_t status, const char* prefix, char* buffer,
                  std::size_t bufferSize) {
  if (buffer == nullptr || bufferSize == 0) return nullptr;
  char scratch[Adapter::kTextSize];
  const char* text = Adapter::State().Describe(status, scratch);
  if (text == nullptr) return nullptr;
  std::snprintf(buffer, bufferSize, "%s: %s", prefix != nullptr ? prefix : "", text);
  return buffer;
}

AdapterLibrary SimulatedAdapterLibrary() {
  AdapterLibrary library;
  library.Calls = {bt_gen_name, bt_open,  bt_get_info, bt_set_info, bt_write,
                   bt_read,     bt_reset, bt_close,    bt_strerror};
  library.Kind = "sim";
  library.Name = "Simulated crate";
  library.Simulated = true;
  return library;
}

}  // namespace sim
