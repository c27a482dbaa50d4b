#pragma once

#include <bitset>
#include <cstdint>
#include <string>

// The TTCrx registers the panel writes over the B channel (long-format
// cycles with E = 0), and the codes they take.
namespace ttcrx {

// Subaddresses of the registers inside the TTCrx.
constexpr int kFineDeskew1 = 0;
constexpr int kFineDeskew2 = 1;
constexpr int kCoarseDelays = 2;
constexpr int kControlRegister = 3;

constexpr int kMaxFineDeskew = 239;  // 240 steps of about 104 ps
constexpr int kMaxCoarseDelay = 15;  // 4 bits each
// Bunch and event counters, ClockL1Accept and the non-deskewed Clock40 on.
constexpr std::uint8_t kControlRegisterAtPowerUp = 0x93;

// The fine-deskew register byte for a step K of 0..239: the chip counts in
// two vernier scales, n = K mod 15 in bits 7..4 and
// m = (K div 15 - n + 14) mod 16 in bits 3..0. Steps outside 0..239 are
// brought to the nearest end first.
std::uint8_t DeskewCode(int step);

// The coarse-delay register: delay 1 in bits 3..0, delay 2 in bits 7..4,
// each cut to its 4 bits. Both go out together whichever one moved.
std::uint8_t CoarseDelayByte(int delay1, int delay2);

// A register shown as eight "1"/"0" characters, bit 7 first.
std::string RegisterBits(std::bitset<8> value);

}  // namespace ttcrx
