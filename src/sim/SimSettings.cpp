#include "sim/SimSettings.h"

#include <optional>

#include "base/ReadNumber.h"
#include "base/TTCviBase.h"

namespace sim {

std::string ReadTTCviBase(std::string_view value, std::uint32_t& base) {
  // The panel's number rule; a 32-bit pattern with bit 31 set reads negative
  // and is refused as out of range below.
  const std::string text(value);
  const std::optional<std::int32_t> number = TryReadNumber(text);
  if (!number) return "base \"" + text + "\" is not a number (decimal, or hexadecimal after 0x)";
  const std::int32_t address = *number;
  std::string problem =
      TTCviBaseProblem(address, "base " + (address < 0 ? "\"" + text + "\"" : HexAddress(address)));
  if (!problem.empty()) return problem;
  base = static_cast<std::uint32_t>(address);
  return {};
}

}  // namespace sim
