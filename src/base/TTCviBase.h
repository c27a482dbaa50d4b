#pragma once

#include <cstdint>
#include <string>

// The TTCvi answers at base + 0x80 .. base + 0xCB, all of which must lie in
// the 24-bit A24 space: a base beyond this would put its registers past the
// top, and the adapter would drive other addresses or other modules.
inline constexpr std::int64_t kHighestTTCviBase = 0xFFFFFF - 0xCB;

// An A24 address as operators write it: "0x" and at least six hex digits.
std::string HexAddress(std::int64_t address);

// Empty when base keeps the TTCvi's registers inside A24; else why not, with
// the base named as `shown` (for example "base 0x1000000").
std::string TTCviBaseProblem(std::int64_t base, const std::string& shown);
