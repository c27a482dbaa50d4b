#pragma once

// The simulated crate's own settings file, read when the crate powers up in
// the program, so that the panel can run on the simulator with a site's own
// configuration file: the simulated TTCvi answers at the base address that
// file names. Two places are looked at, and the first file that exists is
// used whole:
//   $XDG_CONFIG_HOME/quorvane/sim.conf (~/.config/quorvane/sim.conf), one user's
//   /etc/quorvane/sim.conf (the build's QUORVANE_SIM_SETTINGS_FILE), the machine's
// The file holds "key = value" lines; "#" starts a comment; case does not
// matter:
//   base = 0xEE0000   # the TTCvi's A24 base address (default 0xFF1000)
// Numbers are read as the panel reads typed numbers: decimal, or hexadecimal
// after "0x", "x" or "$".

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "sim/SimCrate.h"

namespace sim {

struct CrateSettings {
  std::uint32_t TTCviBase = kTTCviBase;
  bool operator==(const CrateSettings&) const = default;
};

// The settings, or why the file cannot be used: a message for the operator
// that names the file and, where it can, the line. Settings holds the
// defaults then.
struct CrateSettingsResult {
  CrateSettings Settings;
  std::string Error;
  std::filesystem::path File;  // the file read; empty when none was found
};

// Parses the text of a settings file; source names it in error messages.
CrateSettingsResult ParseCrateSettings(std::string_view text, const std::string& source);

// The per-user file (when a home folder is known), then the machine's file.
std::vector<std::filesystem::path> CrateSettingsFiles();

// Reads the first of files that exists; none gives the defaults. A file that
// exists but cannot be used is an error, not a reason to look further.
CrateSettingsResult LoadCrateSettings(const std::vector<std::filesystem::path>& files);

}  // namespace sim
