// The register map by name.

#include <gtest/gtest.h>

#include <algorithm>

#include "ttcvi/RegisterNames.h"

namespace {

TEST(RegisterNames, EveryRegisterOfTheMapHasItsName) {
  const std::pair<std::uint32_t, const char*> named[] = {
      {0x80, "CSR1"},
      {0x82, "CSR2"},
      {0x84, "Software reset"},
      {0x86, "VME L1A"},
      {0x90, "B-Go 0 mode"},
      {0x92, "Inhibit 0 delay"},
      {0x94, "Inhibit 0 duration"},
      {0x96, "B-Go 0 signal"},
      {0xA8, "B-Go 3 mode"},
      {0xAA, "Inhibit 3 delay"},
      {0xAC, "Inhibit 3 duration"},
      {0xAE, "B-Go 3 signal"},
      {0xB0, "B-Go 0 FIFO"},
      {0xBC, "B-Go 3 FIFO"},
      {0xC0, "Long async 1"},
      {0xC2, "Long async 2"},
      {0xC4, "Short async"},
      {0xC8, "TRIGWORD address"},
      {0xCA, "TRIGWORD control"},
  };
  for (const auto& [offset, name] : named) EXPECT_EQ(TTCviRegisterName(offset), name) << offset;
  // Gaps of the map, odd offsets and the 32-bit FIFOs' upper halves.
  for (std::uint32_t offset : {0x00u, 0x7Eu, 0x81u, 0x88u, 0x8Eu, 0xB2u, 0xC6u, 0xCCu, 0x1080u})
    EXPECT_EQ(TTCviRegisterName(offset), "") << offset;
}

TEST(RegisterNames, TheListHoldsEachRegisterOnceInMapOrder) {
  const std::vector<std::uint32_t>& offsets = TTCviRegisterOffsets();
  ASSERT_EQ(offsets.size(), 4u + 16u + 4u + 5u);  // CSRs, B-Go block, FIFOs, B channel and TRIGWORD
  EXPECT_EQ(offsets.front(), 0x80u);
  EXPECT_EQ(offsets.back(), 0xCAu);
  EXPECT_TRUE(std::is_sorted(offsets.begin(), offsets.end()));
}

}  // namespace
