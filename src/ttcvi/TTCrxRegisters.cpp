#include "ttcvi/TTCrxRegisters.h"

#include <algorithm>

#include "base/Text.h"

namespace ttcrx {

std::uint8_t DeskewCode(int step) {
  const int k = std::clamp(step, 0, kMaxFineDeskew);
  const int n = k % 15;
  const int m = (k / 15 - n + 14) % 16;  // never negative for k in 0..239
  return static_cast<std::uint8_t>(16 * n + m);
}

std::uint8_t CoarseDelayByte(int delay1, int delay2) {
  return static_cast<std::uint8_t>(((delay2 & 0xF) << 4) | (delay1 & 0xF));
}

std::string RegisterBits(std::bitset<8> value) {
  return BitString(static_cast<std::uint32_t>(value.to_ulong()), 8);
}

}  // namespace ttcrx
