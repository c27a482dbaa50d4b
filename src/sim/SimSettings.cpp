#include "sim/SimSettings.h"

#include <cstdio>
#include <optional>

#include "base/ReadNumber.h"

namespace sim {

namespace {

// The TTCvi answers at base + 0x80 .. base + 0xCB: all of it inside A24.
constexpr std::int64_t kHighestBase = 0xFFFFFF - 0xCB;

std::string Hex(std::int64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%06llX", static_cast<long long>(value));
  return text;
}

}  // namespace

std::string ReadTTCviBase(std::string_view value, std::uint32_t& base) {
  // The panel's number rule; a 32-bit pattern with bit 31 set reads negative
  // and is refused as out of range below.
  const std::string text(value);
  const std::optional<std::int32_t> number = TryReadNumber(text);
  if (!number) return "base \"" + text + "\" is not a number (decimal, or hexadecimal after 0x)";
  const std::int64_t wide = *number;
  if (wide < 0 || wide > kHighestBase)
    return "base " + (wide < 0 ? "\"" + text + "\"" : Hex(wide)) +
           " puts the TTCvi's registers (base + 0x80 to base + 0xCB) outside the A24 space; the "
           "highest base is " +
           Hex(kHighestBase);
  base = static_cast<std::uint32_t>(wide);
  return {};
}

}  // namespace sim
