// The whole configuration file as other editors and programs leave it: a
// byte order mark, counts that promise more than the file holds, names in
// the Windows code page.

#include <gtest/gtest.h>

#include <string>

#include "settings/Configuration.h"
#include "settings/IniFile.h"
#include "support/ExampleConfigFile.h"
#include "support/TempFolder.h"

namespace {

class ConfigurationDamageTest : public ::testing::Test {
 protected:
  std::string Ini() const { return Dir.File("quorvane.ini"); }

  StoredConfiguration Read() const {
    TIniFile file(Ini());
    ListBudget budget;
    return ReadConfiguration(file, budget);
  }
  // What the panel's close does with what its start read.
  StoredConfiguration ReadAndClose() const {
    const StoredConfiguration read = Read();
    TIniFile file(Ini());
    WriteConfiguration(file, read);
    file.UpdateFile();
    return read;
  }
  TempFolder Dir;
};

const std::string kBom = "\xEF\xBB\xBF";

TEST_F(ConfigurationDamageTest, ByteOrderMarkReadsAsNothingAndIsKept) {
  struct Case {
    std::string Content;
    std::int32_t Address;
    std::string Saved;
  };
  const Case cases[] = {
      {kBom + "[TTCvi_Address]\nTTCviAddress=0xEE0000\n", 0xEE0000,
       kBom + "[TTCvi_Address]\nTTCviAddress=15597568\n"},
      {kBom + "[TTCvi_Address]\r\nTTCviAddress=$EE0000\r\n", 0xEE0000,
       kBom + "[TTCvi_Address]\r\nTTCviAddress=15597568\r\n"},
      {kBom, 0xFF1000, kBom + "[TTCvi_Address]\nTTCviAddress=16715776\n"},
  };
  for (const Case& c : cases) {
    WriteRaw(Ini(), c.Content);
    TIniFile file(Ini());
    const std::int32_t address = ReadTTCviAddress(file, kTTCviAddressSection);
    EXPECT_EQ(address, c.Address) << c.Content;
    WriteTTCviAddress(file, kTTCviAddressSection, address);
    file.UpdateFile();
    EXPECT_EQ(ReadRaw(Ini()), c.Saved);
  }
}

TEST_F(ConfigurationDamageTest, CountFarBeyondTheEntriesEndsAtTheLastOne) {
  struct Case {
    const char* Name;
    std::string Content;
    std::size_t Sequences, Words, Presets, PresetWords, RxAddresses;
  };
  const Case cases[] = {
      {"CountsAFewTooHighReadAsCounted",
       "[B_GoSequnces]\nNoOfSeq=3\n[B_GoSequncesSeq0]\nNoOfVectors=4\nvector0=1\n"
       "[PreSettings]\nNoOfPreSets=1\n[PreSettingsSeq0]\nNoOfVectors=17\nvector0=1\n"
       "[Rx_Addresses]\nNoOfRxAddresses=18\nRxAddress0=A=1\nRxAddress1=B=2\n",
       3, 4, 1, 17, 18},
      {"SeventeenAbsentAfterTheLastEndTheList",
       "[B_GoSequnces]\nNoOfSeq=18\n[B_GoSequncesSeq0]\nNoOfVectors=18\nvector0=1\n"
       "[PreSettings]\nNoOfPreSets=18\n[PreSettingsPreset0]\nCaption=P\n"
       "[PreSettingsSeq0]\nNoOfVectors=18\nvector0=1\n"
       "[Rx_Addresses]\nNoOfRxAddresses=19\nRxAddress0=A=1\nRxAddress1=B=2\n",
       1, 1, 1, 1, 2},
      {"HostileCountsWithNothingBehindThem",
       "[B_GoSequnces]\nNoOfSeq=2147483647\n[PreSettings]\nNoOfPreSets=2147483647\n"
       "[Rx_Addresses]\nNoOfRxAddresses=2147483647\n",
       0, 0, 0, 0, 0},
      {"GapsBeforeTheLastEntryReadAsCounted",
       "[B_GoSequnces]\nNoOfSeq=1\n[B_GoSequncesSeq0]\nNoOfVectors=2147483647\nvector0=1\n"
       "vector40=1\n[Rx_Addresses]\nNoOfRxAddresses=100\nRxAddress0=A=1\nRxAddress90=B=2\n",
       1, 41, 0, 0, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteRaw(Ini(), c.Content);
    const StoredConfiguration read = ReadAndClose();
    ASSERT_EQ(read.Sequences.size(), c.Sequences);
    if (c.Sequences > 0) {
      EXPECT_EQ(read.Sequences[0].Words.size(), c.Words);
    }
    ASSERT_EQ(read.Presets.size(), c.Presets);
    if (c.Presets > 0) {
      EXPECT_EQ(read.Presets[0].Settings.Sequences[0].size(), c.PresetWords);
    }
    EXPECT_EQ(read.RxAddresses.size(), c.RxAddresses);
    // The counts written at close are the real ones: the next start reads the same.
    EXPECT_EQ(Read(), read);
    TIniFile file(Ini());
    EXPECT_EQ(file.ReadInteger(kPresetSection, "NoOfPreSets", -1), std::int32_t(c.Presets));
    EXPECT_EQ(file.ReadInteger(kRxAddressSection, "NoOfRxAddresses", -1),
              std::int32_t(c.RxAddresses));
  }
}

TEST_F(ConfigurationDamageTest, NamesInTheWindowsCodePageSurviveAStartAndAClose) {
  std::string content = kExampleConfigFile;
  const auto rename = [&](const std::string& from, const std::string& to) {
    content.replace(content.find(from), from.size(), to);
  };
  rename("Caption=Trig", "Caption=D\xE9j\xE0");
  rename("Caption=Run1", "Caption=D\xE9j\xE1");
  rename("RxAddress1=Rx2", "RxAddress1=R\x9Ax2");
  WriteRaw(Ini(), content);
  const StoredConfiguration read = ReadAndClose();
  EXPECT_EQ(ReadRaw(Ini()), content);
  EXPECT_NE(read.Sequences.at(0).Name, read.Presets.at(0).Name);
  EXPECT_EQ(read.RxAddresses.at(1), "R\x9Ax2=x1F");
}

}  // namespace
