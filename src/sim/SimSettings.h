#pragma once

// What the crate settings file (src/crate) says about the simulated crate:
//   base = 0xEE0000   # the TTCvi's A24 base address (default 0xFF1000)
// so that a site's own configuration file runs on the simulator. Numbers are
// read as the panel reads typed numbers: decimal, or hexadecimal after "0x",
// "x" or "$".

#include <cstdint>
#include <string>
#include <string_view>

#include "sim/SimCrate.h"

namespace sim {

struct CrateSettings {
  std::uint32_t TTCviBase = kTTCviBase;
  bool operator==(const CrateSettings&) const = default;
};

// Reads the value of "base" into base. Empty when it is good; else why not,
// for a message that the caller prefixes with the file and line.
std::string ReadTTCviBase(std::string_view value, std::uint32_t& base);

}  // namespace sim
