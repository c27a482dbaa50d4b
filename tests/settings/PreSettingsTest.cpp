#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/BGoSequence.h"
#include "settings/ConfigFile.h"
#include "settings/Configuration.h"
#include "settings/IniFile.h"
#include "settings/PreSettings.h"
#include "settings/RxAddresses.h"
#include "support/ExampleConfigFile.h"
#include "support/TempFolder.h"

namespace {

NamedPreset Run1() {
  NamedPreset run1{"Run1", {}};
  run1.Settings.TriggerSource = 5;
  run1.Settings.OrbitSignal = true;
  run1.Settings.BGoSettings[0][PreSettings::kEnable] = true;
  run1.Settings.BGoSettings[0][PreSettings::kFIFO] = true;
  run1.Settings.RxControlRegister = 0x93;
  run1.Settings.RxName = "Rx1";
  return run1;
}

BGoWords Words(std::initializer_list<unsigned long> values) {
  BGoWords words;
  for (unsigned long value : values) words.emplace_back(value);
  return words;
}

class PresetFile : public ::testing::Test {
 protected:
  std::string Ini() const { return Dir.File("quorvane.ini"); }
  void Write(const std::vector<NamedPreset>& presets) const {
    TIniFile file(Ini());
    WritePresetList(file, "PreSettings", presets);
    file.UpdateFile();
  }
  std::vector<NamedPreset> Read(std::int64_t budget = ListBudget::kAbsentEntries) const {
    TIniFile file(Ini());
    ListBudget left(budget);
    return ReadPresetList(file, "PreSettings", left);
  }
  TempFolder Dir;
};

TEST_F(PresetFile, WholeFileIsWrittenInItsOrderIntoANewFile) {
  const StoredConfiguration example{kDefaultTTCviAddress,
                                    {{"Trig", Words({0x80000005, 1})}},
                                    {Run1()},
                                    {"Rx1=000001", "Rx2=x1F"}};
  {
    TIniFile file(Ini());
    WriteConfiguration(file, example);
    file.UpdateFile();
  }
  EXPECT_EQ(ReadRaw(Ini()), kExampleConfigFile);
  TIniFile file(Ini());
  ListBudget budget;
  EXPECT_EQ(ReadConfiguration(file, budget), example);
}

TEST_F(PresetFile, EveryMemberReadsBackFromItsKey) {
  NamedPreset full{"Full", {}};
  PreSettings& p = full.Settings;
  p.RanGenRate = -1;
  p.TriggerSource = 6;
  p.InhibitDelay = {1, 2, 3, 4095};
  p.InhibitDuration = {5, 6, 7, 255};
  p.Deskew1 = 239;
  p.Deskew2 = 1;
  p.CoarDel1 = 15;
  p.CoarDel2 = 3;
  p.RxControlRegister = 0xA5;
  p.BGoSettings[2] = {true, true, false, true, true};
  p.BGoSettings[3][PreSettings::kRetransmitOff] = true;
  p.Calibration = true;
  p.RxName = "";
  p.Sequences = {Words({1}), Words({}), Words({0x80000000, 2}), Words({3})};
  Write({full});
  EXPECT_EQ(Read(), std::vector<NamedPreset>{full});
  // The key B_Go21 holds flag 1 (Asynchron) of channel 2.
  EXPECT_NE(ReadRaw(Ini()).find("B_Go21=1\n"), std::string::npos);
}

TEST_F(PresetFile, EachPresetGetsItsOwnSequencesBack) {
  NamedPreset a{"A", {}}, b{"B", {}}, c{"C", {}};
  a.Settings.Sequences[2] = Words({1, 2, 3});
  b.Settings.Sequences[0] = Words({7});
  c.Settings.Sequences[2] = Words({9});
  Write({a, b, c});
  EXPECT_EQ(Read(), (std::vector<NamedPreset>{a, b, c}));

  // The shared sections hold the last preset's sequences, with the longer
  // earlier one's keys left beyond the count.
  const std::string text = ReadRaw(Ini());
  const std::size_t shared = text.find("[PreSettingsSeq2]\nNoOfVectors=1\n");
  ASSERT_NE(shared, std::string::npos);
  EXPECT_EQ(text.find("vector2=00000000000000000000000000000011\n", shared) != std::string::npos,
            true);
  EXPECT_EQ(text.find("[PreSettingsPreset2Seq"), std::string::npos) << "the last needs none";
}

TEST_F(PresetFile, FileWrittenWithoutOwnSectionsGivesEveryPresetTheSharedOnes) {
  WriteRaw(Ini(),
           "[PreSettings]\nNoOfPreSets=2\n[PreSettingsPreset0]\nCaption=A\n"
           "[PreSettingsPreset1]\nCaption=B\n[PreSettingsSeq1]\nNoOfVectors=1\n"
           "vector0=101\n");
  const std::vector<NamedPreset> presets = Read();
  ASSERT_EQ(presets.size(), 2u);
  for (const NamedPreset& preset : presets) {
    SCOPED_TRACE(preset.Name);
    EXPECT_EQ(preset.Settings.Sequences[1], Words({5}));
    EXPECT_TRUE(preset.Settings.Sequences[0].empty());
    EXPECT_TRUE(preset.Settings.RxName.empty());
  }
}

TEST_F(PresetFile, StaleOwnSectionIsOverwritten) {
  NamedPreset a{"A", {}}, b{"B", {}};
  a.Settings.Sequences[0] = Words({1});
  Write({a, b});
  ASSERT_NE(ReadRaw(Ini()).find("[PreSettingsPreset0Seq0]"), std::string::npos);
  // Now A's sequence equals the shared one; its old own section must not win.
  a.Settings.Sequences[0].clear();
  Write({a, b});
  EXPECT_EQ(Read(), (std::vector<NamedPreset>{a, b}));
  // And a list that shrank to its first preset still reads its own words.
  a.Settings.Sequences[0] = Words({4});
  Write({a, b});
  Write({b});
  EXPECT_EQ(Read(), (std::vector<NamedPreset>{b}));
}

TEST_F(PresetFile, HugeCountEndsAtTheLastPresetOrWithTheBudget) {
  const std::string hostile =
      "[PreSettings]\nNoOfPreSets=2147483647\n[PreSettingsSeq0]\nNoOfVectors=2000000000\n";
  WriteRaw(Ini(), hostile);
  EXPECT_TRUE(Read(500).empty());
  // A preset far beyond the others: the absent ones before it cost the budget.
  WriteRaw(Ini(), hostile + "[PreSettingsPreset700]\nCaption=Far\n");
  EXPECT_EQ(Read(500).size(), 500u);
}

}  // namespace
