#pragma once

// Which CAEN bridge the caen adapter opens. The adapter reads it from a small
// settings file of its own, never from the program's command line or
// environment. Two places are looked at, and the first file that exists is
// used whole:
//   $XDG_CONFIG_HOME/quorvane/caen.conf (~/.config/quorvane/caen.conf), one user's
//   /etc/quorvane/caen.conf (the build's QUORVANE_CAEN_SETTINGS_FILE), the machine's
// The file holds "key = value" lines; "#" starts a comment:
//   bridge = V2718   # required: a name from BridgeName()
//   link = 0         # optical link, USB device number, or A4818/V4718 PID
//   node = 0         # CONET node in the optical daisy chain
//   host = vme-1     # V4718-ETH only: host name or IPv4 address

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace caen {

// The bridges and how the PC reaches them.
enum class Bridge {
  V1718,        // USB
  V2718,        // optical link of an A2818 (PCI) or A3818 (PCIe) card
  V2718_A4818,  // optical link of an A4818 USB adapter
  V3718,        // USB
  V3718_A2818,
  V3718_A3818,
  V3718_A4818,
  V4718,  // USB
  V4718_ETH,
  V4718_A2818,
  V4718_A3818,
  V4718_A4818,
};

struct Settings {
  Bridge Model = Bridge::V2718;
  std::uint32_t Link = 0;  // link or USB device number; the PID for A4818 and V4718 USB
  std::int16_t Node = 0;   // CONET node in the daisy chain
  std::string Host;        // V4718_ETH only
};

// The settings, or why there are none: a message for the operator that names
// the file and, where it can, the line.
struct SettingsResult {
  std::optional<Settings> Value;
  std::string Error;
  std::filesystem::path File;  // the file read; empty when none was found
};

// The bridge's name in the settings file ("V2718-A4818").
const char* BridgeName(Bridge model);
// Every bridge, in the order of the enumeration.
const std::vector<Bridge>& AllBridges();

// Parses the text of a settings file; source names it in error messages.
SettingsResult ParseSettings(std::string_view text, const std::string& source);

// The per-user file (when a home folder is known), then the machine's file.
std::vector<std::filesystem::path> SettingsFiles();
// The machine's file, fixed when building.
std::filesystem::path SystemSettingsFile();

// Reads the first of files that exists. A file that exists but cannot be
// used is an error, not a reason to look further: the operator meant it.
SettingsResult LoadSettings(const std::vector<std::filesystem::path>& files);

}  // namespace caen
