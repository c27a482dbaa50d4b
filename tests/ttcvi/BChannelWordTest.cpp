#include <gtest/gtest.h>

#include "ttcvi/BChannelWord.h"

namespace {

TEST(BChannelWord, LongFormatExamples) {
  struct Case {
    std::uint32_t address;
    bool external;
    std::uint32_t subaddress, data, word;
  } const cases[] = {
      {0x1234, false, 3, 0x93, 0xA4680393},  {0x1234, true, 3, 0x93, 0xA4690393},
      {0, false, 0, 0, 0x80000000},          {0x3FFF, true, 0xFF, 0xFF, 0xFFFFFFFF},
      {0x7FFF, false, 0, 0, 0xFFFE0000},      // address cut to 14 bits
      {0x4001, false, 0, 0, 0x80020000},      // bit 14 of the address is dropped
      {0, false, 300, 0, 0x80002C00},         // subaddress cut to 8 bits
      {0, false, 0, 0xFFFFFFFF, 0x800000FF},  // data -1 gives 0xFF
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << "address 0x" << c.address << " sub 0x"
                                    << c.subaddress << " data 0x" << c.data);
    EXPECT_EQ(MakeLongWord(c.address, c.external, c.subaddress, c.data).to_ulong(), c.word);
  }
}

TEST(BChannelWord, LongFieldBitsLandInTheirPlaces) {
  for (unsigned i = 0; i < 14; ++i) {
    const auto word = MakeLongWord(1u << i, false, 0, 0);
    EXPECT_EQ(word.to_ulong(), 0x80000000u | 1u << (17 + i)) << "address bit " << i;
  }
  for (unsigned j = 0; j < 8; ++j) {
    EXPECT_EQ(MakeLongWord(0, false, 1u << j, 0).to_ulong(), 0x80000000u | 1u << (8 + j));
    EXPECT_EQ(MakeLongWord(0, false, 0, 1u << j).to_ulong(), 0x80000000u | 1u << j);
  }
  EXPECT_EQ(MakeLongWord(0, true, 0, 0).to_ulong(), 0x80010000u);
}

TEST(BChannelWord, ShortFormatPutsCommandInBits30To23) {
  EXPECT_EQ(MakeShortWord(0x2A).to_ulong(), 0x15000000u);
  EXPECT_EQ(MakeShortWord(0xFF).to_ulong(), 0x7F800000u);
  EXPECT_EQ(MakeShortWord(0x1FF).to_ulong(), 0x7F800000u);  // cut to 8 bits
  EXPECT_EQ(MakeShortWord(999).to_ulong(), MakeShortWord(999 & 0xFF).to_ulong());
  EXPECT_FALSE(IsLongWord(MakeShortWord(0xFF)));
}

TEST(BChannelWord, LongRoundTripKeepsTheFieldBits) {
  const std::uint32_t addresses[] = {0, 1, 0x1234, 0x2AAA, 0x3FFF, 0x7FFF, 0xFFFFFFFF};
  const std::uint32_t bytes[] = {0, 1, 0x5A, 0x93, 0xFF, 0x100, 0x1A5};
  for (std::uint32_t address : addresses) {
    for (bool external : {false, true}) {
      for (std::uint32_t sub : bytes) {
        for (std::uint32_t data : bytes) {
          const auto word = MakeLongWord(address, external, sub, data);
          ASSERT_TRUE(IsLongWord(word));
          const LongFields f = DecodeLong(word);
          EXPECT_EQ(f.address, address & 0x3FFF);
          EXPECT_EQ(f.external, external);
          EXPECT_EQ(f.subaddress, sub & 0xFF);
          EXPECT_EQ(f.data, data & 0xFF);
        }
      }
    }
  }
}

TEST(BChannelWord, ShortRoundTripAndZeroTail) {
  for (std::uint32_t command = 0; command < 0x300; ++command) {
    const auto word = MakeShortWord(command);
    ASSERT_FALSE(IsLongWord(word));
    EXPECT_EQ(DecodeShort(word), command & 0xFF);
    EXPECT_EQ(word.to_ulong() & 0x7FFFFF, 0u);
  }
}

TEST(BChannelWord, DecodeReadsArbitraryWordsByBit31) {
  const BChannelWord longWord(0xA4690393);
  ASSERT_TRUE(IsLongWord(longWord));
  const LongFields f = DecodeLong(longWord);
  EXPECT_EQ(f.address, 0x1234);
  EXPECT_TRUE(f.external);
  EXPECT_EQ(f.subaddress, 3);
  EXPECT_EQ(f.data, 0x93);
  // A short word read back ignores whatever sits in the low 23 bits.
  const BChannelWord shortWord(0x157FFFFF);
  ASSERT_FALSE(IsLongWord(shortWord));
  EXPECT_EQ(DecodeShort(shortWord), 0x2A);
}

}  // namespace

TEST(BChannelWord, DisplayTextIsDecimalFieldsOrTheCommand) {
  EXPECT_EQ(WordDisplayText(MakeLongWord(12, true, 3, 200)), "12, 1, 3, 200");
  EXPECT_EQ(WordDisplayText(MakeLongWord(0x3FFF, false, 0, 0)), "16383, 0, 0, 0");
  EXPECT_EQ(WordDisplayText(MakeShortWord(42)), "42");
  EXPECT_EQ(WordDisplayText(MakeShortWord(256)), "0");
}
