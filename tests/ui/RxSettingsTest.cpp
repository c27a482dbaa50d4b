// The group "RX" on the simulated crate: what the selected TTCrx holds after
// the operator moves a selector, types into a number box or edits the
// control register, and what the address list keeps across a restart.

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QSlider>

#include "SimPanel.h"
#include "support/ExampleConfigFile.h"
#include "ui/DlgRxControlReg.h"
#include "ui/FSelectValue.h"
#include "ui/SpinEdit.h"

namespace {

class RxSettings : public SimPanel {
 protected:
  TfrSelectValue* Selector(const char* name) { return Find<TfrSelectValue>(name); }
  static std::uint8_t Register(int address, int subaddress) {
    return sim::Crate::Instance().TTCrxRegister(static_cast<std::uint16_t>(address), subaddress);
  }
  // Opens the control register dialog with a click on its panel and answers it.
  void EditControlRegister(const std::function<void(TdlgRxControlRegister*)>& answer) {
    ModalAnswer modal(
        [&](QWidget* dialog) { answer(static_cast<TdlgRxControlRegister*>(dialog)); });
    QTest::mouseClick(Find<QLabel>("pCntrolReg"), Qt::LeftButton);
    EXPECT_TRUE(modal.Answered());
  }
};

TEST_F(RxSettings, FineDeskewSlidersSendTheirCodeToTheSelectedTTCrx) {
  AddRx("Rx5", "5");
  struct Case {
    const char* selector;
    int subaddress;
    int step;
    std::uint8_t code;
  };
  const Case cases[] = {{"frSelectReg0", 0, 30, 0x00},
                        {"frSelectReg0", 0, 239, 0xEF},
                        {"frSelectReg0", 0, 0, 0x0E},
                        {"frSelectReg1", 1, 100, 0xAA},
                        {"frSelectReg1", 1, 225, 0x0D}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.selector << " " << c.step);
    Crate().ClearBChannelCycles();
    Selector(c.selector)->SetValue(c.step);
    ASSERT_EQ(RxRegisterCycles().size(), 1u);
    EXPECT_EQ(RxRegisterCycles()[0].ttcrxAddress, 5);
    EXPECT_EQ(RxRegisterCycles()[0].subaddress, c.subaddress);
    EXPECT_EQ(Register(5, c.subaddress), c.code);
    EXPECT_EQ(Control<TSpinEdit>(Selector(c.selector), "seSpinEdit")->Value(), c.step);
  }
}

TEST_F(RxSettings, CoarseDelaysGoOutTogetherWhicheverMoved) {
  AddRx("Rx", "7");
  Selector("frSelectReg2")->SetValue(5);
  EXPECT_EQ(Register(7, 2), 0x05);
  Selector("frSelectReg3")->SetValue(3);
  EXPECT_EQ(Register(7, 2), 0x35);

  AddRx("Rx8", "8");  // the other TTCrx gets both delays from the first move
  Selector("frSelectReg3")->SetValue(4);
  Selector("frSelectReg3")->SetValue(3);
  EXPECT_EQ(Register(8, 2), 0x35);
  EXPECT_EQ(Crate().TTCrxWriteCount(8), 2u);
}

TEST_F(RxSettings, TypedNumbersMoveTheSliderAndAreBroughtIntoRange) {
  AddRx("Rx", "9");
  auto* box = Control<TSpinEdit>(Selector("frSelectReg0"), "seSpinEdit");
  Type(box->lineEdit(), QStringLiteral("300"));  // sends 3, 30, then 239
  EXPECT_EQ(Selector("frSelectReg0")->GetValue(), 239);
  EXPECT_EQ(box->text(), QStringLiteral("239"));
  std::vector<int> sent;
  for (const sim::BChannelCycle& cycle : RxRegisterCycles()) sent.push_back(cycle.data);
  EXPECT_EQ(sent, (std::vector<int>{0x3B, 0x00, 0xEF}));

  // A keystroke whose value clamps to the position sends nothing.
  Crate().ClearBChannelCycles();
  QTest::keyClick(box->lineEdit(), Qt::Key_End);
  QTest::keyClick(box->lineEdit(), Qt::Key_0);  // 2390
  EXPECT_TRUE(RxRegisterCycles().empty());
  EXPECT_EQ(box->text(), QStringLiteral("239"));

  // A cleared box reads as 0: the slider follows and the register is sent.
  Type(box->lineEdit(), QString());
  EXPECT_EQ(Selector("frSelectReg0")->GetValue(), 0);
  EXPECT_EQ(box->text(), QStringLiteral("0"));
  EXPECT_EQ(Register(9, 0), 0x0E);

  // The coarse boxes work the same way through the window's own handlers.
  auto* coarse = Control<TSpinEdit>(Selector("frSelectReg3"), "seSpinEdit");
  Type(coarse->lineEdit(), QStringLiteral("20"));
  EXPECT_EQ(Selector("frSelectReg3")->GetValue(), 15);
  EXPECT_EQ(Register(9, 2), 0xF0);
}

TEST_F(RxSettings, ControlRegisterOkSendsTheBoxesAndCancelSendsNothing) {
  AddRx("Rx", "x3F");
  EditControlRegister([](TdlgRxControlRegister* dialog) {
    for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) box->setChecked(true);
    PressOk(dialog);
  });
  EXPECT_EQ(Find<QLabel>("pCntrolReg")->text(), QStringLiteral("11111111"));
  EXPECT_EQ(Register(63, 3), 0xFF);

  Crate().ClearBChannelCycles();
  EditControlRegister([](TdlgRxControlRegister* dialog) {
    Control<QCheckBox>(dialog, "chb0")->setChecked(false);
    PressCancel(dialog);
  });
  EXPECT_TRUE(RxRegisterCycles().empty());
  EXPECT_EQ(Find<QLabel>("pCntrolReg")->text(), QStringLiteral("11111111"));
  // The boxes keep what the operator changed: the next OK sends it.
  EditControlRegister(PressOk);
  EXPECT_EQ(Register(63, 3), 0xFE);
  EXPECT_EQ(Find<QLabel>("pCntrolReg")->text(), QStringLiteral("11111110"));
}

TEST_F(RxSettings, EntriesAreFoundByNameWithoutRegardToCase) {
  AddRx("A", "1");
  AddRx("a", "2");  // selected: its name finds the first entry
  Selector("frSelectReg0")->SetValue(30);
  EXPECT_EQ(RxRegisterCycles().at(0).ttcrxAddress, 1);
  EXPECT_EQ(Crate().TTCrxWriteCount(2), 0u);

  AddRx("Rx", "000123");  // leading zeros are decimal
  Selector("frSelectReg0")->SetValue(31);
  EXPECT_EQ(Crate().TTCrxWriteCount(123), 1u);
}

TEST_F(RxSettings, WithoutAnAddressNothingIsSentAndTheValueStays) {
  QString text = AnsweredBox([&] { Selector("frSelectReg1")->SetValue(12); });
  EXPECT_EQ(text, QStringLiteral("'' is not a valid integer value."));
  EXPECT_EQ(Selector("frSelectReg1")->GetValue(), 12);

  AddRx("Rx", "12z");
  text = AnsweredBox([&] { Selector("frSelectReg1")->SetValue(13); });
  EXPECT_EQ(text, QStringLiteral("'12z' is not a valid integer value."));
  EXPECT_TRUE(Crate().BChannelCycles().empty());
}

TEST_F(RxSettings, AddressesBeyondFourteenBitsReachNoOtherTTCrx) {
  // Entries as a file gives them, and the TTCrx each reaches (-1: refused).
  const std::pair<const char*, int> cases[] = {
      {"Lo=-1", -1}, {"Min=0", 0}, {"Max=x3FFF", 16383}, {"Hi=16384", -1}};
  int step = 0;
  for (const auto& [entry, reached] : cases) {
    Windows = {};
    WriteTextFile(Dir.IniPath(),
                  std::string("[Rx_Addresses]\nNoOfRxAddresses=1\nRxAddress0=") + entry + "\n");
    Windows = CreateQuorvaneWindows(OpenBit3Connection);
    Main = Windows.frmMain.get();
    Crate().ClearBChannelCycles();
    const QString box = AnsweredBox([&] { Selector("frSelectReg0")->SetValue(++step); });
    EXPECT_EQ(box.contains(QStringLiteral("is 0 to 16383 (14 bits)")), reached < 0) << entry;
    const auto cycles = RxRegisterCycles();
    EXPECT_EQ(cycles.empty() ? -1 : cycles[0].ttcrxAddress, reached) << entry;
  }
  EXPECT_FALSE(AnsweredBox([&] { AddRx("Big", "x4000"); }).isEmpty()) << "typed: refused";
  EXPECT_EQ(EntryTextsOf(Find<QComboBox>("cmbTTC")), QStringList{"Hi=16384"});
}

TEST_F(RxSettings, AddAppendsAndSelectsDeleteLeavesNoneSelected) {
  auto* list = Find<QComboBox>("cmbTTC");
  AddRx("Rx1", "000001");
  AddRx("Rx2", "x1F");
  EXPECT_EQ(EntryTextsOf(list), (QStringList{"Rx1=000001", "Rx2=x1F"}));
  EXPECT_EQ(list->currentIndex(), 1);

  list->setCurrentIndex(0);
  Click("bRxAddressDelete");
  EXPECT_EQ(EntryTextsOf(list), (QStringList{"Rx2=x1F"}));
  EXPECT_EQ(list->currentIndex(), -1);
  Click("bRxAddressDelete");  // nothing selected: nothing happens
  EXPECT_EQ(list->count(), 1);
  EXPECT_TRUE(Crate().BChannelCycles().empty()) << "the list itself sends nothing";
}

TEST_F(RxSettings, RefusedWriteShowsTheWholeErrorAndThePanelGoesOn) {
  AddRx("Rx", "4");
  Crate().FailNext(sim::Call::Write, sim::kStatusBusError);
  const QString text = AnsweredBox([&] { Selector("frSelectReg0")->SetValue(30); });
  EXPECT_TRUE(text.startsWith(QStringLiteral("VME Error: write error device simbt0/a24: ")))
      << text.toStdString();
  Selector("frSelectReg0")->SetValue(31);
  EXPECT_EQ(Register(4, 0), 0x1F);
}

}  // namespace

namespace {

class RxAddressFile : public ::testing::Test {
 protected:
  void SetUp() override { sim::Crate::Instance().PowerUp(); }
  ScopedWorkDir Dir;
};

TEST_F(RxAddressFile, ListSurvivesACloseAndARestartAndTheRestOfTheFileStays) {
  WriteTextFile(Dir.IniPath(), kExampleConfigFile);
  {
    QuorvaneWindows windows = CreateQuorvaneWindows(OpenBit3Connection);
    auto* list = Control<QComboBox>(windows.frmMain.get(), "cmbTTC");
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_TRUE(sim::Crate::Instance().BChannelCycles().empty()) << "start-up sends no TTCrx";
    windows.frmMain->show();
    ASSERT_TRUE(windows.frmMain->close());
  }
  EXPECT_EQ(ReadTextFile(Dir.IniPath()), kExampleConfigFile);

  {
    QuorvaneWindows windows = CreateQuorvaneWindows(OpenBit3Connection);
    TfrmMain* main = windows.frmMain.get();
    main->show();
    Control<QLineEdit>(main, "eRxName")->setText(QStringLiteral("Rx3"));
    Control<QLineEdit>(main, "eRxAddres")->setText(QStringLiteral("x3FFF"));
    Control<QPushButton>(main, "bAddRxAddres")->click();
    ASSERT_TRUE(main->close());
  }
  std::string expected = kExampleConfigFile;
  expected.replace(expected.find("NoOfRxAddresses=2"), 17, "NoOfRxAddresses=3");
  EXPECT_EQ(ReadTextFile(Dir.IniPath()), expected + "RxAddress2=Rx3=x3FFF\n");
}

}  // namespace

namespace {

// Files written on Windows hold names in Windows-1252: they show decoded,
// a preset finds its TTCrx by the stored bytes, and a close with no edit
// writes every name back byte for byte.
TEST_F(RxAddressFile, Windows1252NamesShowDecodedAndAreWrittenBackAsRead) {
  std::string file = kExampleConfigFile;
  for (const auto& [from, to] :
       {std::pair<std::string, std::string>{"Caption=Trig", "Caption=D\xe9j\xe0"},
        {"Caption=Run1", "Caption=Caf\xe9"},
        {"RxName=Rx1", "RxName=Cr\xe8me"},
        {"RxAddress0=Rx1=", "RxAddress0=Cr\xe8me="},
        {"RxAddress1=Rx2=", "RxAddress1=Cr\xe9me="}})
    file.replace(file.find(from), from.size(), to);
  WriteTextFile(Dir.IniPath(), file);
  {
    QuorvaneWindows windows = CreateQuorvaneWindows(OpenBit3Connection);
    TfrmMain* main = windows.frmMain.get();
    main->show();
    EXPECT_EQ(Control<QListWidget>(main, "lbB_GoDataSeq")->item(0)->text(),
              QStringLiteral("D\u00e9j\u00e0"));
    auto* presets = Control<QComboBox>(main, "lbPresettings");
    EXPECT_EQ(presets->itemText(0), QStringLiteral("Caf\u00e9"));
    auto* rx = Control<QComboBox>(main, "cmbTTC");
    EXPECT_EQ(rx->itemText(1), QStringLiteral("Cr\u00e9me=x1F"));

    // The preset was taken on "Crème" (address 1), not on "Créme" (0x1F).
    rx->setCurrentIndex(1);
    presets->setCurrentIndex(0);
    Control<QPushButton>(main, "bAplayPreset")->click();
    EXPECT_EQ(rx->currentIndex(), 0);
    ASSERT_TRUE(main->close());
  }
  EXPECT_EQ(ReadTextFile(Dir.IniPath()), file);
}

}  // namespace
