#include "adapters/sbs/SbsLibrary.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "adapters/VendorLibrary.h"
#include "adapters/sbs/SbsVendor.h"

namespace sbs {

namespace {

namespace v = vendor;

// Statuses of the adapter itself, beside the library's (all below 0x2000).
enum OwnStatus : bt_error_t {
  kNotOpen = 0x7001,      // a handle this adapter did not hand out
  kTooManyOpen = 0x7002,  // every descriptor slot in use
  kUnknownParameter = 0x7003,
};

constexpr std::size_t kSlots = 8;

struct Library {
  v::GenName GenName = nullptr;
  v::Open Open = nullptr;
  v::Close Close = nullptr;
  v::StrError StrError = nullptr;
  v::Read Read = nullptr;
  v::Write Write = nullptr;
  v::GetInfo GetInfo = nullptr;
  v::SetInfo SetInfo = nullptr;
  v::Reset Reset = nullptr;
  // The connection's handle n is slot n - 1: the library's descriptor is a
  // pointer, the connection's handle 32 bits.
  std::array<v::bt_desc_t, kSlots> Descriptors{};
  // The latest refused call: the connection asks for its text right after.
  bt_error_t Failed = BT_SUCCESS;
  bool FailedTransfer = false;  // a bt_read or bt_write of some bytes: the status is errno
  std::string OpenHint;         // a refused open: what the device file says
};

Library& Loaded() {
  static Library library;
  return library;
}

// Remembers a refused call's status, and what belongs to its text.
bt_error_t Failure(bt_error_t status, bool transfer = false, std::string openHint = {}) {
  if (status == BT_SUCCESS) return status;
  Library& library = Loaded();
  library.Failed = status;
  library.FailedTransfer = transfer;
  library.OpenHint = std::move(openHint);
  return status;
}

v::bt_desc_t Descriptor(bt_desc_t handle) {
  if (handle < 1 || handle > static_cast<bt_desc_t>(kSlots)) return nullptr;
  return Loaded().Descriptors[static_cast<std::size_t>(handle - 1)];
}

// The connection numbers logical devices as the Windows library does; the
// Linux library has its own numbers for the same windows.
bool VendorDevice(bt_dev_t device, v::bt_dev_t& vendorDevice) {
  constexpr v::bt_dev_t kDevices[] = {v::BT_DEV_DP,  v::BT_DEV_A16, v::BT_DEV_A24,
                                      v::BT_DEV_A32, v::BT_DEV_LM,  v::BT_DEV_NIO};
  if (device < 0 || device >= static_cast<bt_dev_t>(std::size(kDevices))) return false;
  vendorDevice = kDevices[device];
  return true;
}

// Why a device file could not be opened, in the operator's terms; empty
// when the file is there and usable.
std::string DeviceFileHint(const char* name) {
  if (name == nullptr || *name == '\0')
    return "the library made no device name (unit or logical device out of its range)";
  if (access(name, F_OK) != 0)
    return std::string(name) +
           " does not exist: load the SBS/Bit3 driver (btp) and create its device files";
  if (access(name, R_OK | W_OK) != 0)
    return std::string(name) + " is not readable and writable for this user (" +
           std::strerror(errno) +
           "): give the operator access, for example through the group that owns the device "
           "files";
  return {};
}

char* GenName(int unit, bt_dev_t logicalDevice, char* name, std::size_t maxLength) {
  if (name == nullptr || maxLength == 0) return name;
  name[0] = '\0';
  v::bt_dev_t device = v::BT_DEV_NIO;
  if (VendorDevice(logicalDevice, device) &&
      Loaded().GenName(unit, device, name, maxLength) == nullptr)
    name[0] = '\0';
  // Always the caller's buffer: an empty name is refused by Open below with
  // a message that says why.
  return name;
}

bt_error_t Open(bt_desc_t* handle, const char* name, bt_accessflag_t) {
  Library& library = Loaded();
  std::size_t slot = 0;
  while (slot < kSlots && library.Descriptors[slot] != nullptr) ++slot;
  if (slot == kSlots) return kTooManyOpen;
  v::bt_desc_t descriptor = nullptr;
  const v::bt_error_t status =
      name != nullptr && *name != '\0' ? library.Open(&descriptor, name, v::BT_RDWR) : v::BT_EINVAL;
  if (status != v::BT_SUCCESS) return Failure(status, false, DeviceFileHint(name));
  library.Descriptors[slot] = descriptor;
  // What an earlier refused open said about the device file is past.
  library.Failed = BT_SUCCESS;
  library.OpenHint.clear();
  *handle = static_cast<bt_desc_t>(slot + 1);
  return BT_SUCCESS;
}

bool Parameter(bt_info_t parameter, v::bt_info_t& vendorParameter) {
  if (parameter == BT_INFO_DMA_AMOD) vendorParameter = v::BT_INFO_DMA_AMOD;
  if (parameter == BT_INFO_PIO_AMOD) vendorParameter = v::BT_INFO_PIO_AMOD;
  return parameter == BT_INFO_DMA_AMOD || parameter == BT_INFO_PIO_AMOD;
}

bt_error_t GetInfo(bt_desc_t handle, bt_info_t parameter, bt_devdata_t* value) {
  v::bt_info_t vendorParameter{};
  if (!Parameter(parameter, vendorParameter)) return kUnknownParameter;
  const v::bt_desc_t descriptor = Descriptor(handle);
  if (descriptor == nullptr) return kNotOpen;
  return Failure(Loaded().GetInfo(descriptor, vendorParameter, value));
}

bt_error_t SetInfo(bt_desc_t handle, bt_info_t parameter, bt_devdata_t value) {
  v::bt_info_t vendorParameter{};
  if (!Parameter(parameter, vendorParameter)) return kUnknownParameter;
  const v::bt_desc_t descriptor = Descriptor(handle);
  if (descriptor == nullptr) return kNotOpen;
  return Failure(Loaded().SetInfo(descriptor, vendorParameter, value));
}

bt_error_t Write(bt_desc_t handle, const void* buffer, bt_devaddr_t address, std::size_t count,
                 std::size_t* transferred) {
  const v::bt_desc_t descriptor = Descriptor(handle);
  if (descriptor == nullptr) return kNotOpen;
  // The library's prototype is not const-correct; it only reads the buffer.
  // A transfer the driver refused returns the system's error number; the
  // library's own checks (a zero length) return its statuses.
  return Failure(Loaded().Write(descriptor, const_cast<void*>(buffer), address, count, transferred),
                 count != 0);
}

bt_error_t Read(bt_desc_t handle, void* buffer, bt_devaddr_t address, std::size_t count,
                std::size_t* transferred) {
  const v::bt_desc_t descriptor = Descriptor(handle);
  if (descriptor == nullptr) return kNotOpen;
  return Failure(Loaded().Read(descriptor, buffer, address, count, transferred), count != 0);
}

bt_error_t Reset(bt_desc_t handle) {
  const v::bt_desc_t descriptor = Descriptor(handle);
  if (descriptor == nullptr) return kNotOpen;
  return Failure(Loaded().Reset(descriptor));
}

bt_error_t Close(bt_desc_t handle) {
  const v::bt_desc_t descriptor = Descriptor(handle);
  if (descriptor == nullptr) return kNotOpen;
  const bt_error_t status = Failure(Loaded().Close(descriptor));
  if (status == BT_SUCCESS) Loaded().Descriptors[static_cast<std::size_t>(handle - 1)] = nullptr;
  return status;
}

char* StrError(bt_desc_t handle, bt_error_t status, const char* prefix, char* buffer,
               std::size_t bufferSize) {
  if (buffer == nullptr || bufferSize == 0) return nullptr;
  const std::string lead = std::string(prefix != nullptr ? prefix : "") + ": ";
  const char* own = status == kNotOpen            ? "handle not open"
                    : status == kTooManyOpen      ? "too many open handles"
                    : status == kUnknownParameter ? "unknown adapter parameter"
                                                  : nullptr;
  const Library& library = Loaded();
  const bool latest = status == library.Failed;
  std::string text;
  if (own != nullptr) {
    text = lead + own;
  } else if (latest && library.FailedTransfer) {
    // The library would read errno as one of its own statuses (EIO, 5, as
    // BT_EACCESS): the system's text is the true one.
    text = lead + std::strerror(status);
  } else {
    // The library writes "prefix: BT_ENXIO: ..." for its own statuses and
    // gives null for a status it does not know.
    char vendorText[256] = {};
    const char* described = library.StrError(Descriptor(handle), static_cast<v::bt_error_t>(status),
                                             prefix, vendorText, sizeof vendorText);
    if (described != nullptr) text = described;
    if (latest && !library.OpenHint.empty())
      text = (text.empty() ? lead : text + "; ") + library.OpenHint;
    if (text.empty()) return nullptr;
  }
  std::snprintf(buffer, bufferSize, "%s", text.c_str());
  return buffer;
}

}  // namespace

AdapterLibrary LoadSbsLibrary(const std::string& file) {
  adapters::VendorLibrary library(
      file,
      {"the SBS/Bit3 library",
       "install the SBS/Bit3 Linux driver package (1003) with its library libbtp", "sbs.library"});
  Library calls;
  calls.GenName = library.Take<v::GenName>("bt_gen_name");
  calls.Open = library.Take<v::Open>("bt_open");
  calls.Close = library.Take<v::Close>("bt_close");
  calls.StrError = library.Take<v::StrError>("bt_strerror");
  calls.Read = library.Take<v::Read>("bt_read");
  calls.Write = library.Take<v::Write>("bt_write");
  calls.GetInfo = library.Take<v::GetInfo>("bt_get_info");
  calls.SetInfo = library.Take<v::SetInfo>("bt_set_info");
  calls.Reset = library.Take<v::Reset>("bt_reset");
  library.Keep();
  Loaded() = calls;

  AdapterLibrary adapter;
  adapter.Calls = {GenName, Open, GetInfo, SetInfo, Write, Read, Reset, Close, StrError};
  adapter.Name = "SBS/Bit3 PCI-to-VME";
  adapter.Release = library.RealName();
  return adapter;
}

}  // namespace sbs
