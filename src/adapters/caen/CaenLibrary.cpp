// The nine adapter calls over the CAEN VME library (libCAENVME, 3.3 or
// later), loaded at start. One bridge, the one the crate settings file
// describes. Every access is one single cycle with the A24 non-privileged
// data address modifier (0x39), D16 for 2 bytes and D32 for 4. The handle is
// the library's; its statuses (0 and negative) pass through and
// CAENVME_DecodeError describes them. The adapter's own refusals have
// statuses of their own, above 1000.

#include "adapters/caen/CaenLibrary.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <utility>

#include "adapters/VendorLibrary.h"
#include "adapters/caen/CaenVendor.h"
#include "base/Exception.h"

namespace caen {

namespace {

using namespace vendor;

constexpr bt_devdata_t kA24NonPrivilegedData = 0x39;
static_assert(cvA24_U_DATA == kA24NonPrivilegedData);
constexpr bt_devaddr_t kHighestA24Address = 0xFFFFFF;
constexpr std::int32_t kA24Window = 2;  // the logical device the connection opens

// Refusals of the adapter itself, beside the library's statuses.
enum AdapterStatus : bt_error_t {
  kNoSuchDevice = 1002,
  kUnknownParameter = 1003,
  kOtherModifier = 1004,
  kNotOneCycle = 1005,
  kOutsideA24 = 1006,
  kNoHostAddress = 1007,
};

struct Adapter {
  vendor::Init2 Init2 = nullptr;
  vendor::End End = nullptr;
  vendor::ReadCycle ReadCycle = nullptr;
  vendor::WriteCycle WriteCycle = nullptr;
  vendor::SystemReset SystemReset = nullptr;
  vendor::DecodeError DecodeError = nullptr;
  Settings Bridge;
  std::map<bt_error_t, std::string> Reasons;  // the latest text for each own status
};

Adapter& State() {
  static Adapter adapter;
  return adapter;
}

bt_error_t Refuse(AdapterStatus status, std::string reason) {
  State().Reasons[status] = std::move(reason);
  return status;
}

bool OwnStatus(bt_error_t status) { return status > 1000 && status <= kNoHostAddress; }

// Statuses of later releases that CAENVME_DecodeError calls "Unknown error".
const char* LaterStatusText(bt_error_t status) {
  switch (status) {
    case cvAlreadyOpenError:
      return "the bridge is already open (by another program, or twice by this one)";
    case cvMaxBoardCountError:
      return "the library has as many bridges open as it can";
    case cvNotSupported:
      return "the bridge does not support this function";
    default:
      return nullptr;
  }
}

CVBoardTypes BoardType(Bridge model) {
  switch (model) {
    case Bridge::V1718:
      return cvV1718;
    case Bridge::V2718:
      return cvV2718;
    case Bridge::V2718_A4818:
      return cvUSB_A4818_V2718;
    case Bridge::V3718:
      return cvUSB_V3718;
    case Bridge::V3718_A2818:
      return cvPCI_A2818_V3718;
    case Bridge::V3718_A3818:
      return cvPCIE_A3818_V3718;
    case Bridge::V3718_A4818:
      return cvUSB_A4818_V3718;
    case Bridge::V4718:
      return cvUSB_V4718;
    case Bridge::V4718_ETH:
      return cvETH_V4718;
    case Bridge::V4718_A2818:
      return cvPCI_A2818_V4718;
    case Bridge::V4718_A3818:
      return cvPCIE_A3818_V4718;
    case Bridge::V4718_A4818:
      return cvUSB_A4818_V4718;
  }
  return cvInvalid;
}

std::string Ipv4Address(const std::string& host, std::string* why = nullptr);

// "caen-v2718-0-0": the bridge, its link (or host) and node. The way the
// link is made (A4818, Ethernet) is left to the adapter's name.
std::string DeviceName(const Settings& settings) {
  std::string name = "caen-";
  for (const char* c = BridgeName(settings.Model); *c != '\0' && *c != '-'; ++c)
    name += static_cast<char>(*c == 'V' ? 'v' : *c);
  if (settings.Model == Bridge::V4718_ETH) {
    // One module, one name: a host name and its address name the same
    // bridge, so the module's lock is the same whichever was written.
    const std::string address = Ipv4Address(settings.Host);
    name += "-" + (address.empty() ? settings.Host : address);
  } else
    name += "-" + std::to_string(settings.Link) + "-" + std::to_string(settings.Node);
  return name;
}

std::string Hex(unsigned long value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%lx", value);
  return text;
}

// The data width of a single cycle of count bytes, or none.
bool CycleWidth(std::size_t count, CVDataWidth& width) {
  if (count == 2) width = cvD16;
  if (count == 4) width = cvD32;
  return count == 2 || count == 4;
}

bt_error_t CheckCycle(bt_devaddr_t address, std::size_t count, CVDataWidth& width) {
  if (!CycleWidth(count, width))
    return Refuse(kNotOneCycle,
                  "a single cycle moves 2 bytes (D16) or 4 (D32), not " + std::to_string(count));
  if (address > kHighestA24Address - (count - 1))
    return Refuse(kOutsideA24, "address " + Hex(address) + " is outside the A24 space");
  return BT_SUCCESS;
}

// One D16 or D32 cycle with A24 non-privileged data access. The library
// takes and gives a host integer of the cycle's width.
bt_error_t SingleCycle(bt_desc_t handle, void* buffer, bt_devaddr_t address, std::size_t count,
                       std::size_t* transferred, bool write) {
  if (transferred != nullptr) *transferred = 0;
  CVDataWidth width = cvD16;
  if (const bt_error_t refused = CheckCycle(address, count, width)) return refused;
  std::uint32_t wide = 0;
  std::uint16_t narrow = 0;
  void* data = width == cvD16 ? static_cast<void*>(&narrow) : static_cast<void*>(&wide);
  if (write) std::memcpy(data, buffer, count);
  const CVErrorCodes status = write ? State().WriteCycle(handle, address, data, cvA24_U_DATA, width)
                                    : State().ReadCycle(handle, address, data, cvA24_U_DATA, width);
  if (status != cvSuccess) return status;
  if (!write) std::memcpy(buffer, data, count);
  if (transferred != nullptr) *transferred = count;
  return BT_SUCCESS;
}

char* GenName(int unit, bt_dev_t logicalDevice, char* name, std::size_t maxLength) {
  if (name == nullptr || maxLength == 0) return name;
  const std::string made =
      unit != 0 || logicalDevice != kA24Window
          ? "caen-unit" + std::to_string(unit) + "-dev" + std::to_string(logicalDevice)
          : DeviceName(State().Bridge);
  const std::size_t length = std::min(made.size(), maxLength - 1);
  std::memcpy(name, made.data(), length);
  name[length] = '\0';
  return name;
}

// The library takes the Ethernet V4718's address only as dotted IPv4 text
// (it makes 255.255.255.255 of a name), so a host name is looked up here.
// Empty, with why, when the host has no IPv4 address.
std::string Ipv4Address(const std::string& host, std::string* why) {
  in_addr dotted{};
  if (inet_pton(AF_INET, host.c_str(), &dotted) == 1) return host;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int error = getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (error != 0 || found == nullptr) {
    if (why != nullptr) *why = error != 0 ? gai_strerror(error) : "none found";
    return {};
  }
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr, text,
            sizeof text);
  freeaddrinfo(found);
  return text;
}

bt_error_t HostAddress(const std::string& host, std::string& address) {
  std::string why;
  address = Ipv4Address(host, &why);
  if (address.empty())
    return Refuse(kNoHostAddress,
                  "host \"" + host + "\" has no IPv4 address (" + why +
                      "): write the V4718's IPv4 address as \"host\" in the crate settings file");
  return BT_SUCCESS;
}

bt_error_t Open(bt_desc_t* handle, const char* name, bt_accessflag_t) {
  const Settings& bridge = State().Bridge;
  const std::string expected = DeviceName(bridge);
  if (name == nullptr || expected != name)
    return Refuse(kNoSuchDevice, "no CAEN device is named \"" + std::string(name ? name : "") +
                                     "\"; the crate settings describe " + expected +
                                     " (unit 0, logical device 2: the A24 window)");
  const void* link = &bridge.Link;
  std::string address;
  if (bridge.Model == Bridge::V4718_ETH) {
    if (const bt_error_t refused = HostAddress(bridge.Host, address)) return refused;
    link = address.c_str();
  }
  std::int32_t opened = 0;
  const CVErrorCodes status = State().Init2(BoardType(bridge.Model), link, bridge.Node, &opened);
  if (status != cvSuccess) return status;
  *handle = opened;
  return BT_SUCCESS;
}

// Parameters 6 and 13 are the DMA and PIO address modifiers. Every cycle of
// this adapter uses 0x39, so both read 0x39 and accept only that.
bt_error_t GetInfo(bt_desc_t, bt_info_t parameter, bt_devdata_t* value) {
  if (parameter != BT_INFO_DMA_AMOD && parameter != BT_INFO_PIO_AMOD)
    return Refuse(kUnknownParameter, "parameter " + std::to_string(parameter) +
                                         " is not offered (6 and 13, the address modifiers, are)");
  *value = kA24NonPrivilegedData;
  return BT_SUCCESS;
}

bt_error_t SetInfo(bt_desc_t, bt_info_t parameter, bt_devdata_t value) {
  if (parameter != BT_INFO_DMA_AMOD && parameter != BT_INFO_PIO_AMOD)
    return Refuse(kUnknownParameter, "parameter " + std::to_string(parameter) +
                                         " is not offered (6 and 13, the address modifiers, are)");
  if (value != kA24NonPrivilegedData)
    return Refuse(kOtherModifier, "address modifier " + Hex(value) +
                                      " is not offered: every cycle is A24 non-privileged "
                                      "data (0x39)");
  return BT_SUCCESS;
}

bt_error_t Write(bt_desc_t handle, const void* buffer, bt_devaddr_t address, std::size_t count,
                 std::size_t* transferred) {
  return SingleCycle(handle, const_cast<void*>(buffer), address, count, transferred, true);
}

bt_error_t Read(bt_desc_t handle, void* buffer, bt_devaddr_t address, std::size_t count,
                std::size_t* transferred) {
  return SingleCycle(handle, buffer, address, count, transferred, false);
}

// A reset of the adapter is a VME system reset, as with the Bit3 adapter.
bt_error_t Reset(bt_desc_t handle) { return State().SystemReset(handle); }

bt_error_t Close(bt_desc_t handle) { return State().End(handle); }

// Writes prefix, ": " and the description, as the simulated crate does, so a
// message reads "device caen-v2718-0-0: bus error".
char* StrError(bt_desc_t, bt_error_t status, const char* prefix, char* buffer,
               std::size_t bufferSize) {
  if (buffer == nullptr || bufferSize == 0) return nullptr;
  std::string text;
  if (OwnStatus(status)) {
    const auto reason = State().Reasons.find(status);
    if (reason == State().Reasons.end()) return nullptr;
    text = reason->second;
  } else if (const char* later = LaterStatusText(status)) {
    text = later;
  } else {
    // Every other status came from the library, in its own enumeration.
    const char* decoded = State().DecodeError(static_cast<CVErrorCodes>(status));
    if (decoded == nullptr) return nullptr;
    text = decoded;
  }
  std::snprintf(buffer, bufferSize, "%s: %s", prefix != nullptr ? prefix : "", text.c_str());
  return buffer;
}

}  // namespace

int ReleaseNumber(const std::string& release) {
  unsigned major = 0, minor = 0, patch = 0;
  char rest = 0;
  const int read = std::sscanf(release.c_str(), "%u.%u.%u%c", &major, &minor, &patch, &rest);
  if (read < 2 || major > 99 || minor > 99 || patch > 99) return -1;
  return static_cast<int>(major * 10000 + minor * 100 + (read >= 3 ? patch : 0));
}

AdapterLibrary LoadCaenLibrary(const std::string& file, const Settings& settings) {
  const std::string install = "install CAENVMELib 3.3 or later from CAEN";
  adapters::VendorLibrary library(file, {"the CAEN VME library", install, "caen.library"});
  // Every release of the library has these two; a file with neither is
  // another library (the SBS one, say), not an old release of this one.
  if (library.Find<void*>("CAENVME_SWRelease") == nullptr &&
      library.Find<void*>("CAENVME_DecodeError") == nullptr)
    throw Exception(library.Path() + " is not the CAEN VME library (it has no CAENVME_ " +
                    "functions): " + install + ", or name its file with \"caen.library = " +
                    "<path>\" in the crate settings file");
  Adapter calls;
  calls.Init2 = library.Take<vendor::Init2>("CAENVME_Init2", "CAENVMELib 3.3 or later has it");
  calls.End = library.Take<vendor::End>("CAENVME_End");
  calls.ReadCycle = library.Take<vendor::ReadCycle>("CAENVME_ReadCycle");
  calls.WriteCycle = library.Take<vendor::WriteCycle>("CAENVME_WriteCycle");
  calls.SystemReset = library.Take<vendor::SystemReset>("CAENVME_SystemReset");
  calls.DecodeError = library.Take<vendor::DecodeError>("CAENVME_DecodeError");
  const auto swRelease = library.Take<vendor::SWRelease>("CAENVME_SWRelease");
  calls.Bridge = settings;

  char text[64] = {};
  const std::string release =
      swRelease(text) == cvSuccess ? std::string(text, strnlen(text, sizeof text - 1)) : "";
  const int number = ReleaseNumber(release);
  const std::string named = library.Path() + " (CAENVMELib " + release + ")";
  if (number < 0) {
    // CAENVME_Init2 is there, so the library is 3.3 or later: usable, but
    // its faults below cannot be told apart.
    std::cerr << "warning: the release of " << library.Path() << " cannot be read ("
              << (release.empty() ? std::string("none given") : "\"" + release + "\"")
              << "); it has CAENVME_Init2, so it is taken as CAENVMELib 3.3 or later, but the "
                 "releases refused for known faults cannot be told apart: make sure it is 3.4.0 "
                 "or later\n";
  } else if (number < 30300) {
    throw Exception(named + " is older than 3.3: " + install);
  }
  const Bridge model = settings.Model;
  const bool v4718 = model == Bridge::V4718 || model == Bridge::V4718_ETH ||
                     model == Bridge::V4718_A2818 || model == Bridge::V4718_A3818 ||
                     model == Bridge::V4718_A4818;
  const bool a4818 =
      model == Bridge::V2718_A4818 || model == Bridge::V3718_A4818 || model == Bridge::V4718_A4818;
  const bool known = number >= 0;
  if (known && v4718 && number < 30308)
    throw Exception(named + " makes faulty D16 cycles on the V4718, and every register of the " +
                    "TTCvi is written with D16: install CAENVMELib 3.3.8 or later");
  if (known && a4818 && number == 30307)
    throw Exception(named + " has a regression with the A4818 that 3.3.8 fixes: install " +
                    "CAENVMELib 3.3.8 or later");
  const bool pid = model == Bridge::V2718_A4818 || model == Bridge::V3718_A4818 ||
                   model == Bridge::V4718 || model == Bridge::V4718_A4818;
  if (known && pid && settings.Link > 32767 && number < 30400)
    throw Exception(named + " cannot open a bridge by a PID above 32767 (link = " +
                    std::to_string(settings.Link) + "): install CAENVMELib 3.4.0 or later");

  library.Keep();
  State() = std::move(calls);
  AdapterLibrary adapter;
  adapter.Calls = {GenName, Open, GetInfo, SetInfo, Write, Read, Reset, Close, StrError};
  adapter.Name = std::string("CAEN ") + BridgeName(model);
  adapter.Release = "CAENVMELib " + (release.empty() ? std::string("(release unknown)") : release);
  return adapter;
}

}  // namespace caen
