// Presets on the simulated crate: Add takes the panel and one sequence per
// FIFO, Apply puts it all back on the screen and sends it in its order.

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTabBar>

#include "PresetFile.h"
#include "SimPanel.h"
#include "operate/PanelModel.h"
#include "ui/DlgB_GoData.h"
#include "ui/DlgRxControlReg.h"
#include "ui/FDataForSave.h"
#include "ui/FSelectValue.h"
#include "ui/ModulePanel.h"
#include "ui/RadioGroup.h"
#include "ui/SpinEdit.h"

namespace {

struct Write {
  std::uint32_t offset;
  std::uint32_t value;
  bool operator==(const Write&) const = default;
};
void PrintTo(const Write& w, std::ostream* out) {
  *out << std::hex << "{0x" << w.offset << ", 0x" << w.value << "}";
}

class Presets : public SimPanel {
 protected:
  // Restarts the panel on a file.
  void StartWith(const std::string& content) {
    Windows = {};
    WriteTextFile(Dir.IniPath(), content);
    SetUp();
  }
  static std::vector<Write> Writes() {
    std::vector<Write> writes;
    for (const sim::BusCycle& cycle : sim::Crate::Instance().Cycles())
      if (cycle.write && cycle.status == 0)
        writes.push_back({cycle.address - sim::kTTCviBase, cycle.value});
    return writes;
  }
  QComboBox* List() { return Find<QComboBox>("lbPresettings"); }
  // Applies the selected preset, confirming every information box.
  QStringList Apply(std::size_t boxes = 4) {
    std::vector<ModalAnswer::Answer> answers(boxes, PressOk);
    ModalAnswers answer(answers);
    Click("bAplayPreset");
    return answer.Texts();
  }
  // Adds a preset, answering the four FIFO dialogs (or what comes instead).
  QStringList Add(std::vector<ModalAnswer::Answer> answers) {
    ModalAnswers answer(std::move(answers));
    Click("bAddPreset");
    return answer.Texts();
  }
  static ModalAnswer::Answer Choose(int row, QStringList* labels = nullptr) {
    return As<TfrmDataForSave>([row, labels](TfrmDataForSave* dialog) {
      if (labels != nullptr) *labels << Control<QLabel>(dialog, "lFIFONumber")->text();
      if (row >= 0) Control<QListWidget>(dialog, "lbB_GoDataSeq")->setCurrentRow(row);
      PressOk(dialog);
    });
  }
};

TEST_F(Presets, ApplyShowsThePresetAndSendsItInOrder) {
  StartWith(kPhysicsPresetFile);
  ASSERT_EQ(List()->count(), 1);
  EXPECT_EQ(List()->currentIndex(), -1);
  List()->setCurrentIndex(0);
  Find<QComboBox>("cmbTTC")->setCurrentIndex(1);  // Rx2 shown; the preset is for Rx1

  EXPECT_EQ(Apply(), QStringList{"B-Go Fifo [2] loaded"});

  const std::uint32_t csr1 = 0x5000 | 0x0008;  // 25 kHz, internal orbit
  const std::vector<Write> expected = {{0x80, csr1},       {0x80, csr1},
                                       {0x80, csr1 | 5},   {0x80, csr1 | 5},  // rate, source, orbit
                                       {0x92, 1},          {0x94, 5},
                                       {0x9A, 2},          {0x9C, 6},
                                       {0xA2, 3},          {0xA4, 7},
                                       {0xAA, 4},          {0xAC, 8},  // inhibits
                                       {0xC0, 0x800A},     {0xC2, 0x0000},
                                       {0xC0, 0x800A},     {0xC2, 0x01EF},
                                       {0xC0, 0x800A},     {0xC2, 0x0235},  // TTCrx 5
                                       {0x90, 0},          {0x98, 0},
                                       {0xA0, 0x19},       {0xA8, 0},       // modes
                                       {0xC0, 0x800A},     {0xC2, 0x0381},  // control
                                       {0x82, 0x0200},     {0x82, 0xF200},  // CSR2
                                       {0xB8, 0x800A03C8}, {0xB8, 0x15000000},
                                       {0xB8, 0x00000001}};
  EXPECT_EQ(Writes(), expected);

  // The screen shows the preset.
  EXPECT_EQ(Find<QComboBox>("cbRanGenRate")->currentText(), QStringLiteral("25 kHz"));
  EXPECT_EQ(Find<TRadioGroup>("rgTriggerSource")->ItemIndex(), 5);
  EXPECT_EQ(Find<TSpinEdit>("cseInh3Duration")->Value(), 8);
  EXPECT_EQ(Find<TfrSelectValue>("frSelectReg1")->GetValue(), 239);
  EXPECT_EQ(Find<QComboBox>("cmbTTC")->currentIndex(), 0);
  EXPECT_EQ(Find<QLabel>("pCntrolReg")->text(), QStringLiteral("10000001"));
  EXPECT_TRUE(Find<QCheckBox>("chbCalibration")->isChecked());
  EXPECT_EQ(Crate().TTCrxRegister(5, 2), 0x35);
  EXPECT_EQ(Crate().TTCrxWriteCount(6), 0u);
}

TEST_F(Presets, ApplyOnAnotherTabReloadsThatTabsBoxes) {
  StartWith(kPhysicsPresetFile);
  Find<QTabBar>("TabControl1")->setCurrentIndex(1);
  Crate().ClearCycles();
  List()->setCurrentIndex(0);
  Apply();
  // Channel 1's retransmission is off in the preset: its box shows it, and
  // clearing it wrote CSR2 once more with the same bits.
  EXPECT_FALSE(Find<QCheckBox>("chbRetransmit")->isChecked());
  std::vector<Write> csr2;
  for (const Write& w : Writes())
    if (w.offset == 0x82) csr2.push_back(w);
  EXPECT_EQ(csr2, (std::vector<Write>{{0x82, 0x0200}, {0x82, 0x0200}, {0x82, 0xF200}}));
  EXPECT_EQ(Crate().BGoMode(1), 0);
}

TEST_F(Presets, RxNameMatchingNoEntryStopsAtTheFirstTTCrxWrite) {
  std::string file = kPhysicsPresetFile;
  file.replace(file.find("RxName=rx1"), 10, "RxName=Rx9");
  StartWith(file);
  List()->setCurrentIndex(0);
  EXPECT_EQ(Apply(1), QStringList{"'' is not a valid integer value."});
  const std::vector<Write> writes = Writes();
  ASSERT_EQ(writes.size(), 12u) << "rate, source, orbit and inhibits only";
  EXPECT_EQ(writes.back(), (Write{0xAC, 8}));
  EXPECT_EQ(Find<QComboBox>("cmbTTC")->currentIndex(), -1);
  EXPECT_EQ(Find<TfrSelectValue>("frSelectReg0")->GetValue(), 30) << "the screen shows the preset";
  EXPECT_EQ(Find<QLabel>("pCntrolReg")->text(), QStringLiteral("10010011")) << "nothing sent";
}

TEST_F(Presets, ARefusedFirstWriteLeavesWhatTheSourceEnables) {
  StartWith(kPhysicsPresetFile);
  List()->setCurrentIndex(0);
  Crate().FailNext(sim::Call::Write, sim::kStatusInjected);  // the rate's CSR1 write
  EXPECT_EQ(Apply(1).size(), 1);
  // The preset's random source is shown, but never sent: the rate box stays disabled.
  EXPECT_EQ(Find<TRadioGroup>("rgTriggerSource")->ItemIndex(), 5);
  EXPECT_FALSE(Find<QComboBox>("cbRanGenRate")->isEnabled());
}

TEST_F(Presets, ApplyOrDeleteWithoutASelectionDoNothing) {
  StartWith(kPhysicsPresetFile);
  EXPECT_EQ(Apply(1), QStringList{"List index out of bounds (-1)"});
  EXPECT_TRUE(Writes().empty());
  Click("bDeletePreset");
  EXPECT_EQ(List()->count(), 1);
  List()->setCurrentIndex(0);
  Click("bDeletePreset");
  EXPECT_EQ(List()->count(), 0);
  EXPECT_EQ(List()->currentIndex(), -1);
}

TEST_F(Presets, AddTakesThePanelAndOneSequencePerFifo) {
  AddRx("Rx1", "5");
  AddRx("Rx2", "6");
  for (const char* name : {"S0", "S1"}) {
    ModalAnswer answer(As<TB_GoDataDlg>([name](TB_GoDataDlg* dialog) {
      Control<QLineEdit>(dialog, "eName")->setText(QString::fromLatin1(name));
      Control<QLineEdit>(dialog, "eCommand")->setText(QString::fromLatin1(name + 1));
      Control<QPushButton>(dialog, "AddShort")->click();
      PressOk(dialog);
    }));
    Click("bAddData");
  }
  Find<TRadioGroup>("rgTriggerSource")->Button(3)->click();
  Find<TSpinEdit>("cseInh2Delay")->SetValue(100);
  Find<TfrSelectValue>("frSelectReg3")->SetValue(7);
  Find<QTabBar>("TabControl1")->setCurrentIndex(2);
  Toggle("chbEnable");
  Toggle("chbRetransmit");
  Toggle("chbCalibration");
  Find<QComboBox>("cmbTTC")->setCurrentIndex(0);

  QStringList labels;
  const QStringList texts =
      Add({PressCancel, Choose(1, &labels), Choose(-1, &labels), Choose(0, &labels)});
  EXPECT_EQ(texts.size(), 4);
  EXPECT_EQ(labels, (QStringList{"1", "2", "3"}));
  ASSERT_EQ(List()->count(), 1);
  EXPECT_EQ(List()->itemText(0), QStringLiteral("eNewPresetName"));
  EXPECT_EQ(List()->currentIndex(), -1);

  const PreSettings preset = Main->Model().State().Presets.at(0).Settings;
  EXPECT_EQ(preset.TriggerSource, 3);
  EXPECT_EQ(preset.RanGenRate, 0);
  EXPECT_TRUE(preset.OrbitSignal);
  EXPECT_EQ(preset.InhibitDelay[2], 100);
  EXPECT_EQ(preset.CoarDel2, 7);
  EXPECT_EQ(preset.BGoSettings[2], (std::array<bool, 5>{true, false, false, false, true}));
  EXPECT_TRUE(preset.Calibration);
  EXPECT_EQ(preset.RxControlRegister, std::bitset<8>(0x93));
  EXPECT_EQ(preset.RxName, "Rx1");
  EXPECT_TRUE(preset.Sequences[0].empty());                                  // cancelled
  EXPECT_EQ(preset.Sequences[1], Main->Model().State().Sequences[1].Words);  // S1
  EXPECT_EQ(preset.Sequences[2],
            Main->Model().State().Sequences[1].Words);  // the choice carried over
  EXPECT_EQ(preset.Sequences[3], Main->Model().State().Sequences[0].Words);
  EXPECT_TRUE(Crate().Cycles().size() > 0);
}

TEST_F(Presets, OkWithNothingChosenEndsAddWithoutAPreset) {
  AddRx("Rx1", "5");
  const QStringList texts = Add({PressCancel, Choose(-1), PressOk});
  EXPECT_EQ(texts, (QStringList{"", "", "List index out of bounds (-1)"}));
  EXPECT_EQ(List()->count(), 0);
}

TEST_F(Presets, PresetWithoutSequencesResetsTheFifosAndLoadsNothing) {
  AddRx("Rx1", "5");
  Add({PressCancel, PressCancel, PressCancel, PressCancel});
  List()->setCurrentIndex(0);
  Crate().ClearCycles();
  EXPECT_TRUE(Apply().isEmpty());
  const std::vector<Write> writes = Writes();
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(writes.back(), (Write{0x82, 0xF000}));
}

TEST_F(Presets, EachPresetKeepsItsSequencesAcrossARestart) {
  AddRx("Rx1", "5");
  for (const char* name : {"A", "B"}) {
    ModalAnswer answer([name](QWidget* modal) {
      Control<QLineEdit>(modal, "eName")->setText(QString::fromLatin1(name));
      Control<QLineEdit>(modal, "eCommand")->setText(name[0] == 'A' ? "1" : "2");
      Control<QPushButton>(modal, "AddShort")->click();
      PressOk(modal);
    });
    Click("bAddData");
  }
  Find<QLineEdit>("eNewPresetName")->setText(QStringLiteral("First"));
  Add({Choose(0), PressCancel, PressCancel, PressCancel});
  Find<QLineEdit>("eNewPresetName")->setText(QStringLiteral("Second"));
  Add({Choose(1), PressCancel, PressCancel, PressCancel});
  const std::vector<NamedPreset> before = Main->Model().State().Presets;
  ASSERT_TRUE(Main->close());

  Windows = CreateQuorvaneWindows(OpenBit3Connection);
  Main = Windows.frmMain.get();
  EXPECT_EQ(Main->Model().State().Presets, before);
  EXPECT_NE(before[0].Settings.Sequences[0], before[1].Settings.Sequences[0]);
}

TEST(ConfigurationFile, AbsentFileGivesDefaultsAndACloseWritesAllFourSections) {
  ScopedWorkDir dir;
  sim::Crate::Instance().PowerUp();
  {
    QuorvaneWindows windows = CreateQuorvaneWindows(OpenBit3Connection);
    EXPECT_EQ(Control<TModulePanel>(windows.frmMain.get(), "Panel6")->Address(),
              QStringLiteral("A24 0xFF1000"));
    EXPECT_TRUE(windows.frmMain->Model().State().Sequences.empty());
    EXPECT_TRUE(windows.frmMain->Model().State().Presets.empty());
    windows.frmMain->show();
    ASSERT_TRUE(windows.frmMain->close());
  }
  EXPECT_EQ(ReadTextFile(dir.IniPath()),
            "[TTCvi_Address]\nTTCviAddress=16715776\n[B_GoSequnces]\nNoOfSeq=0\n[PreSettings]\n"
            "NoOfPreSets=0\n[Rx_Addresses]\nNoOfRxAddresses=0\n");
}

}  // namespace
