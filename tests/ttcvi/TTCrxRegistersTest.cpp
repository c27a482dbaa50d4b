#include <gtest/gtest.h>

#include "ttcvi/TTCrxRegisters.h"

namespace {

TEST(TTCrxRegisters, DeskewCodesOfTheVernierScales) {
  struct Case {
    int step;
    unsigned code;
  };
  const Case cases[] = {{0, 0x0E},
                        {1, 0x1D},
                        {2, 0x2C},
                        {14, 0xE0},
                        {15, 0x0F},
                        {16, 0x1E},
                        {30, 0x00},
                        {100, 0xAA},
                        {224, 0xEE},
                        {225, 0x0D},
                        {239, 0xEF},
                        // Beyond the scale: the nearest end, never a wrapped code.
                        {-1, 0x0E},
                        {240, 0xEF},
                        {300, 0xEF}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    EXPECT_EQ(ttcrx::DeskewCode(c.step), c.code);
  }
}

TEST(TTCrxRegisters, EveryDeskewStepHasItsOwnCode) {
  bool seen[256] = {};
  for (int step = 0; step <= ttcrx::kMaxFineDeskew; ++step) {
    const std::uint8_t code = ttcrx::DeskewCode(step);
    EXPECT_FALSE(seen[code]) << "step " << step;
    EXPECT_LT(code >> 4, 15) << "n counts 0..14";
    seen[code] = true;
  }
}

TEST(TTCrxRegisters, CoarseDelaysShareOneByteCutToFourBitsEach) {
  EXPECT_EQ(ttcrx::CoarseDelayByte(5, 3), 0x35);
  EXPECT_EQ(ttcrx::CoarseDelayByte(15, 0), 0x0F);
  EXPECT_EQ(ttcrx::CoarseDelayByte(0, 15), 0xF0);
  EXPECT_EQ(ttcrx::CoarseDelayByte(16 + 2, 16 + 1), 0x12);
}

TEST(TTCrxRegisters, RegisterShownBitSevenFirst) {
  EXPECT_EQ(ttcrx::RegisterBits(ttcrx::kControlRegisterAtPowerUp), "10010011");
  EXPECT_EQ(ttcrx::RegisterBits(0x01), "00000001");
}

}  // namespace
