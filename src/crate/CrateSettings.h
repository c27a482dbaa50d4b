#pragma once

// The crate settings file: how this machine reaches its crate. One file per
// operator or machine; the first of these that exists is used whole:
//   $XDG_CONFIG_HOME/quorvane/crate.conf (~/.config/quorvane/crate.conf), one operator's
//   /etc/quorvane/crate.conf, the machine's
// "key = value" lines, "#" starts a comment, key names without regard to case:
//   adapter = caen          # sim (default), sbs or caen
//   base = 0xEE0000         # the simulated TTCvi's A24 base (default 0xFF1000);
//                           # with a real adapter an error: its base is quorvane.ini's
//   bridge = V2718          # the CAEN bridge, with link, node and host (CaenSettings.h)
//   link = 0
//   node = 0
//   sbs.library = /opt/sbs/lib/libbtp.so      # another file than libbtp.so
//   caen.library = /opt/caen/libCAENVME.so    # another file than libCAENVME.so
//   trace = off             # the connection's trace: off (default), on (standard
//                           # error stream) or the path of a file to append to
// A bad value is refused with a message naming the file, the line and the key.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "adapters/caen/CaenSettings.h"
#include "sim/SimSettings.h"

namespace crate {

// Where a value came from, for messages: "/etc/quorvane/crate.conf, line 3".
struct SettingPlace {
  std::string File;
  int Line = 0;  // 0: not given
  std::string Text() const;
};

struct CrateSettings {
  std::vector<std::filesystem::path> Places;  // looked at, in order
  std::filesystem::path File;                 // the file read; empty when none exists

  std::string Adapter;  // as written; empty when not given
  SettingPlace AdapterPlace;
  sim::CrateSettings Sim;
  SettingPlace BasePlace;  // line 0: no "base" given
  caen::Settings Caen;
  bool HaveBridge = false;
  bool HaveHost = false;
  SettingPlace BridgePlace;
  std::string SbsLibrary;   // empty: the vendor's usual file
  std::string CaenLibrary;  // empty: the vendor's usual file
  std::string Trace = "off";
  SettingPlace TracePlace;
};

// The per-operator file (when a home folder is known), then the machine's.
std::vector<std::filesystem::path> CrateSettingsPlaces();

// Reads the settings from text; source names it in messages. Raises
// Exception for a damaged line or a bad value.
CrateSettings ParseCrateSettings(std::string_view text, const std::string& source);

// Reads the first of places that exists; none gives the defaults (the
// simulated crate). A file that exists but cannot be read is an error, not a
// reason to look further. Raises Exception.
CrateSettings LoadCrateSettings(const std::vector<std::filesystem::path>& places);

}  // namespace crate
