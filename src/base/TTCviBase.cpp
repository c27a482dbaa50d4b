#include "base/TTCviBase.h"

#include <cstdio>

std::string HexAddress(std::int64_t address) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%06llX", static_cast<long long>(address));
  return text;
}

std::string TTCviBaseProblem(std::int64_t base, const std::string& shown) {
  if (base >= 0 && base <= kHighestTTCviBase) return {};
  return shown +
         " puts the TTCvi's registers (base + 0x80 to base + 0xCB) outside the A24 space; the "
         "highest base is " +
         HexAddress(kHighestTTCviBase);
}
