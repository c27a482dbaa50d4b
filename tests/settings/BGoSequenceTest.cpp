#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/BGoSequence.h"
#include "settings/IniFile.h"
#include "support/TempFolder.h"

namespace {

class BGoSequenceFile : public ::testing::Test {
 protected:
  std::string Ini() const { return Dir.File("quorvane.ini"); }
  std::vector<BGoDataSequence> Read() {
    TIniFile file(Ini());
    ListBudget budget;
    return ReadSequenceList(file, "B_GoSequnces", budget);
  }
  TempFolder Dir;
};

TEST_F(BGoSequenceFile, WordsAreReadFromTheRightEnd) {
  struct Case {
    const char* value;
    unsigned long word;
  };
  const Case cases[] = {
      {"101", 5},
      {"", 0},
      {"10000000000000000000000000000101", 0x80000005},
      {"11111111"
       "00000000000000000000000000000011",
       3},          // 40 characters: the last 32
      {"10x1", 0},  // malformed: the word 0
  };
  std::string content = "[S]\nNoOfVectors=" + std::to_string(std::size(cases)) + "\n";
  for (std::size_t j = 0; j < std::size(cases); ++j)
    content += "vector" + std::to_string(j) + "=" + cases[j].value + "\n";
  WriteRaw(Ini(), content);
  TIniFile file(Ini());
  ListBudget budget;
  const BGoWords words = ReadWordList(file, "S", budget);
  ASSERT_EQ(words.size(), std::size(cases));
  for (std::size_t j = 0; j < words.size(); ++j)
    EXPECT_EQ(words[j].to_ulong(), cases[j].word) << cases[j].value;
}

TEST_F(BGoSequenceFile, ListRoundTripKeepsEmptySequencesAndNames) {
  const std::vector<BGoDataSequence> sequences = {
      {"Trig", {std::bitset<32>(0x80000005), std::bitset<32>(1)}}, {"", {}}, {"Trig", {}}};
  {
    TIniFile file(Ini());
    WriteSequenceList(file, "B_GoSequnces", sequences);
    file.UpdateFile();
  }
  EXPECT_EQ(ReadRaw(Ini()),
            "[B_GoSequnces]\nNoOfSeq=3\n[B_GoSequncesSeq0]\nCaption=Trig\nNoOfVectors=2\n"
            "vector0=10000000000000000000000000000101\nvector1=00000000000000000000000000000001\n"
            "[B_GoSequncesSeq1]\nCaption=\nNoOfVectors=0\n[B_GoSequncesSeq2]\nCaption=Trig\n"
            "NoOfVectors=0\n");
  EXPECT_EQ(Read(), sequences);
}

TEST_F(BGoSequenceFile, LeftoverSectionsOfALongerListStayAndAreNotRead) {
  WriteRaw(Ini(),
           "[B_GoSequnces]\nNoOfSeq=1\n[B_GoSequncesSeq0]\nCaption=A\n"
           "[B_GoSequncesSeq1]\nCaption=B\nNoOfVectors=1\nvector0=1\n");
  EXPECT_EQ(Read(), (std::vector<BGoDataSequence>{{"A", {}}}));
}

TEST_F(BGoSequenceFile, HugeCountsEndAtTheLastEntryAndGapsSpendTheBudget) {
  WriteRaw(Ini(),
           "[B_GoSequnces]\nNoOfSeq=2000000000\n[B_GoSequncesSeq0]\nCaption=A\n"
           "NoOfVectors=2000000000\nvector0=1\nvector5000=1\n");
  TIniFile file(Ini());
  ListBudget budget(1000);
  const std::vector<BGoDataSequence> sequences = ReadSequenceList(file, "B_GoSequnces", budget);
  ASSERT_FALSE(sequences.empty());
  EXPECT_EQ(sequences[0].Words.size(), 1001u);  // vector0, then the budget's worth of zeros
  EXPECT_EQ(sequences[0].Words[0].to_ulong(), 1u);
  EXPECT_EQ(sequences.size(), 1u);
  EXPECT_TRUE(budget.Spent());
}

}  // namespace

namespace {

TEST_F(BGoSequenceFile, EmptyAndAbsentCaptionsBothReadAsAnEmptyName) {
  WriteRaw(Ini(),
           "[B_GoSequnces]\nNoOfSeq=2\n[B_GoSequncesSeq0]\nCaption=\nNoOfVectors=0\n"
           "[B_GoSequncesSeq1]\nNoOfVectors=1\nvector0=1\n");
  EXPECT_EQ(Read(), (std::vector<BGoDataSequence>{{"", {}}, {"", {std::bitset<32>(1)}}}));
}

}  // namespace
