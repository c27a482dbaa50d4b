#include <gtest/gtest.h>

#include <string>

#include "base/Exception.h"
#include "settings/ConfigFile.h"
#include "support/TempFolder.h"

namespace {

class TTCviAddressTest : public ::testing::Test {
 protected:
  std::string Ini() const { return Dir.File("quorvane.ini"); }
  TempFolder Dir;
};

TEST_F(TTCviAddressTest, AbsentFileOrKeyGivesTheDefaultBase) {
  TIniFile file(Ini());
  EXPECT_EQ(ReadTTCviAddress(file, "TTCvi_Address"), 0xFF1000);
  WriteRaw(Ini(), "[TTCvi_Address]\nother=1\n");
  TIniFile withoutKey(Ini());
  EXPECT_EQ(ReadTTCviAddress(withoutKey, "TTCvi_Address"), 16715776);
}

TEST_F(TTCviAddressTest, HexadecimalSpellingsReadAsTheSameAddress) {
  for (const char* text : {"0xff1000", "0XFF1000", "$FF1000", "x00FF1000", "16715776"}) {
    WriteRaw(Ini(), std::string("[TTCvi_Address]\nTTCviAddress=") + text + "\n");
    TIniFile file(Ini());
    EXPECT_EQ(ReadTTCviAddress(file, "TTCvi_Address"), 16715776) << text;
  }
}

TEST_F(TTCviAddressTest, TextThatIsNoNumberGivesTheDefault) {
  // Trailing letters; hexadecimal beyond 32 bits; a prefix without digits.
  for (const char* text : {"16715776abc", "0xEE0000abc", "0x"}) {
    WriteRaw(Ini(), std::string("[TTCvi_Address]\nTTCviAddress=") + text + "\n");
    TIniFile file(Ini());
    EXPECT_EQ(ReadTTCviAddress(file, "TTCvi_Address"), kDefaultTTCviAddress) << text;
  }
}

TEST_F(TTCviAddressTest, BaseMustKeepTheModulesRegistersInsideA24) {
  // The value as the file holds it (and in hexadecimal); empty: it is read.
  const std::pair<const char*, std::string> cases[] = {
      {"0xFFFF34", ""}, {"16777013", "=16777013 (0xFFFF35)"}, {"-128", "=-128"}};
  for (const auto& [text, shown] : cases) {
    WriteRaw(Ini(), std::string("[TTCvi_Address]\nTTCviAddress=") + text + "\n");
    TIniFile file(Ini());
    try {
      EXPECT_EQ(ReadTTCviAddress(file, "TTCvi_Address"), 0xFFFF34) << text;
    } catch (const Exception& error) {
      EXPECT_EQ(error.Message(), Ini() + ", section [TTCvi_Address]: TTCviAddress" + shown +
                                     " puts the TTCvi's registers (base + 0x80 to base + 0xCB) "
                                     "outside the A24 space; the highest base is 0xFFFF34");
    }
  }
}

TEST_F(TTCviAddressTest, IsWrittenBackInDecimalInItsSection) {
  WriteRaw(Ini(), "[TTCvi_Address]\nTTCviAddress=0xEE0000\n");
  {
    TIniFile file(Ini());
    const std::int32_t address = ReadTTCviAddress(file, "TTCvi_Address");
    EXPECT_EQ(address, 0xEE0000);
    WriteTTCviAddress(file, "TTCvi_Address", address);
    file.UpdateFile();
  }
  EXPECT_EQ(ReadRaw(Ini()), "[TTCvi_Address]\nTTCviAddress=15597568\n");
}

TEST_F(TTCviAddressTest, SectionIsTheCallersChoice) {
  {
    TIniFile file(Ini());
    WriteTTCviAddress(file, "Spare", 0x123400);
    file.UpdateFile();
  }
  TIniFile file(Ini());
  EXPECT_EQ(ReadTTCviAddress(file, "Spare"), 0x123400);
  EXPECT_EQ(ReadTTCviAddress(file, "TTCvi_Address"), kDefaultTTCviAddress);
}

// --- the stored B-channel word --------------------------------------------------

TEST(WordText, IsThirtyTwoCharactersBit31First) {
  EXPECT_EQ(WordToText(std::bitset<32>(0x80000005u)), "10000000000000000000000000000101");
  EXPECT_EQ(WordToText(std::bitset<32>(0)), std::string(32, '0'));
  EXPECT_EQ(WordToText(std::bitset<32>(0xFFFFFFFFu)), std::string(32, '1'));
}

struct WordCase {
  std::string Text;
  bool Valid;
  std::uint32_t Expected;
};

void PrintTo(const WordCase& c, std::ostream* os) { *os << '"' << c.Text << '"'; }

class TextToWordTest : public ::testing::TestWithParam<WordCase> {};

TEST_P(TextToWordTest, ReadsFromTheRightEnd) {
  const WordCase& c = GetParam();
  std::bitset<32> word(0xA5A5A5A5u);
  EXPECT_EQ(TextToWord(c.Text, word), c.Valid);
  // A bad text leaves the word as it was.
  EXPECT_EQ(word.to_ulong(), c.Valid ? c.Expected : 0xA5A5A5A5u);
}

const WordCase kWords[] = {
    {"101", true, 5},
    {"", true, 0},
    {"0", true, 0},
    {"1", true, 1},
    {"10000000000000000000000000000101", true, 0x80000005u},
    {"00000000000000000000000000000001", true, 1},
    {std::string(32, '1'), true, 0xFFFFFFFFu},
    // 40 characters: only the last 32 are used, whatever the first 8 are.
    {"11111111"
     "00000000000000000000000000000011",
     true, 3},
    {"abcdefgh"
     "10000000000000000000000000000000",
     true, 0x80000000u},
    {"102", false, 0},
    {"1 01", false, 0},
    {" 101", false, 0},
    {"x101", false, 0},
    {"1000000000000000000000000000000a", false, 0},
    {"a0000000000000000000000000000000", false, 0},
};
INSTANTIATE_TEST_SUITE_P(Stored, TextToWordTest, ::testing::ValuesIn(kWords));

TEST(WordText, RoundTripsThroughTheStore) {
  TempFolder dir;
  const std::bitset<32> word(0x9ABCDEF1u);
  {
    TIniFile file(dir.File("q.ini"));
    file.WriteString("B_GoSequncesSeq0", "vector0", WordToText(word));
    file.UpdateFile();
  }
  TIniFile file(dir.File("q.ini"));
  std::bitset<32> back;
  ASSERT_TRUE(TextToWord(file.ReadString("B_GoSequncesSeq0", "vector0", "0"), back));
  EXPECT_EQ(back, word);
  ASSERT_TRUE(TextToWord(file.ReadString("B_GoSequncesSeq0", "vector1", "0"), back));
  EXPECT_EQ(back.to_ulong(), 0u);
}

}  // namespace
