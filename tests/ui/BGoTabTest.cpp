// The B-Go tab on the simulated crate: mode registers, retransmission, FIFO
// resets, loads and status, the software B-Go, and the sequence editor.

#include <QCheckBox>
#include <QListWidget>
#include <QTabBar>

#include "SimPanel.h"
#include "operate/PanelModel.h"
#include "support/RecordingVME.h"
#include "ttcvi/BChannelWord.h"
#include "ui/DlgB_GoData.h"

namespace {

constexpr std::uint32_t kCSR2 = 0x82;

class BGoTab : public SimPanel {
 protected:
  void ShowTab(int channel) { Find<QTabBar>("TabControl1")->setCurrentIndex(channel); }
  // The values written to one register, oldest first.
  static std::vector<std::uint32_t> WritesAt(std::uint32_t offset) {
    std::vector<std::uint32_t> values;
    for (const sim::BusCycle& cycle : sim::Crate::Instance().Cycles())
      if (cycle.write && cycle.address == sim::kTTCviBase + offset) values.push_back(cycle.value);
    return values;
  }
  // Composes a sequence in the editor with the tab's Add button.
  void AddSequence(const QString& name, const std::function<void(TB_GoDataDlg*)>& compose) {
    ModalAnswer answer(As<TB_GoDataDlg>([&](TB_GoDataDlg* dialog) {
      Control<QLineEdit>(dialog, "eName")->setText(name);
      compose(dialog);
      PressOk(dialog);
    }));
    Click("bAddData");
    ASSERT_TRUE(answer.Answered());
  }
  static void AddLong(TB_GoDataDlg* dialog, const QString& rx, const QString& subaddress,
                      const QString& data) {
    Control<QLineEdit>(dialog, "eRxAddres")->setText(rx);
    Control<QLineEdit>(dialog, "eSubaddr")->setText(subaddress);
    Control<QLineEdit>(dialog, "eData")->setText(data);
    Control<QPushButton>(dialog, "bAddLong")->click();
  }
  static void AddShort(TB_GoDataDlg* dialog, const QString& command) {
    Control<QLineEdit>(dialog, "eCommand")->setText(command);
    Control<QPushButton>(dialog, "AddShort")->click();
  }
  QListWidget* Sequences() { return Find<QListWidget>("lbB_GoDataSeq"); }
  void SelectSequence(int row) { Sequences()->setCurrentRow(row); }
  // Opens the selected sequence with a double-click and answers the editor.
  void EditSequence(const std::function<void(TB_GoDataDlg*)>& answer) {
    ModalAnswer modal([&](QWidget* dialog) { answer(static_cast<TB_GoDataDlg*>(dialog)); });
    QListWidget* list = Sequences();
    const QRect line = list->visualItemRect(list->currentItem());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line.center());
    ASSERT_TRUE(modal.Answered());
  }
  static QStringList Lines(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
  }
};

TEST_F(BGoTab, ModeBoxesWriteTheShownChannelAndTabsRestoreThem) {
  ShowTab(1);
  Toggle("chbEnable");
  Toggle("chbSync");
  EXPECT_EQ(WritesAt(0x98), (std::vector<std::uint32_t>{0x0001, 0x0003}));

  ShowTab(3);  // never touched: all clear, and no mode register written
  for (const char* box : {"chbEnable", "chbSync", "chSingle", "chbFIFO"})
    EXPECT_FALSE(Find<QCheckBox>(box)->isChecked()) << box;
  ShowTab(1);
  EXPECT_TRUE(Find<QCheckBox>("chbEnable")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>("chbSync")->isChecked());
  EXPECT_EQ(WritesAt(0x98).size(), 2u);
  EXPECT_TRUE(WritesAt(0xA8).empty());
  EXPECT_EQ(Crate().BGoMode(1), 0x0003);

  Click("bReadBGoSettings");
  EXPECT_EQ(Find<QLineEdit>("eBGoSeting")->text(), QStringLiteral("00011"));
}

TEST_F(BGoTab, CalibrationOnlyOnChannelTwo) {
  auto* calibration = Find<QCheckBox>("chbCalibration");
  EXPECT_FALSE(calibration->isEnabled());
  ShowTab(2);
  ASSERT_TRUE(calibration->isEnabled());
  calibration->click();
  EXPECT_EQ(Crate().BGoMode(2), 0x0010);
  Toggle("chbFIFO");
  EXPECT_EQ(Crate().BGoMode(2), 0x0018);

  ShowTab(3);  // disabled, still ticked, and never sent for channel 3
  EXPECT_FALSE(calibration->isEnabled());
  EXPECT_TRUE(calibration->isChecked());
  Toggle("chbFIFO");
  EXPECT_EQ(Crate().BGoMode(3), 0x0008);
}

TEST_F(BGoTab, RetransmitAndFifoResetShareCsr2) {
  Toggle("chbRetransmit");  // tab 0: retransmission off
  // The box follows channel 3 (on): its change writes the unchanged bits once.
  ShowTab(3);
  EXPECT_EQ(WritesAt(kCSR2), (std::vector<std::uint32_t>{0x0100, 0x0100}));
  Click("bFIFO0Reset");
  EXPECT_EQ(WritesAt(kCSR2).back(), 0x8100u);

  // The CSR2 panel's reset carries the retransmit bits too, and the next
  // write carries no reset bit.
  Click("btCSR2ResetFIFO");
  ShowTab(0);
  Toggle("chbRetransmit");
  EXPECT_EQ(WritesAt(kCSR2),
            (std::vector<std::uint32_t>{0x0100, 0x0100, 0x8100, 0xF100, 0x0100, 0x0000}));
}

TEST_F(BGoTab, FailedFifoResetDoesNotFireAgainOnAnotherChannel) {
  ShowTab(1);
  Crate().FailNext(sim::Call::Write, sim::kStatusInjected);
  EXPECT_FALSE(AnsweredBox([&] { Click("bFIFO0Reset"); }).isEmpty());
  ShowTab(2);
  Click("bFIFO0Reset");
  ASSERT_FALSE(WritesAt(kCSR2).empty());
  EXPECT_EQ(WritesAt(kCSR2).back(), 0x4000u);
}

TEST_F(BGoTab, LoadedWordsGoOutOnTheSignalAndRetransmissionDecidesIfTheyStay) {
  AddRx("Rx", "9");
  AddSequence(QStringLiteral("Three"), [](TB_GoDataDlg* dialog) {
    Control<QCheckBox>(dialog, "chbExternal")->setChecked(false);
    AddLong(dialog, QStringLiteral("9"), QStringLiteral("0"), QStringLiteral("200"));
    AddShort(dialog, QStringLiteral("42"));
    AddLong(dialog, QStringLiteral("9"), QStringLiteral("3"), QStringLiteral("x55"));
  });
  ShowTab(2);
  SelectSequence(0);
  Click("bLoadFIFO");
  const std::vector<std::uint32_t> words = {0x801200C8, 0x15000000, 0x80120355};
  EXPECT_EQ(Crate().BGoFifo(2), words);
  EXPECT_EQ(WritesAt(0xB8), words);
  EXPECT_EQ(AnsweredBox([&] { Click("bFIFOStaus"); }), QStringLiteral("B-Go Fifo [2] LOADED"));

  Toggle("chbEnable");
  Toggle("chbFIFO");
  Click("btB_GoSignal");
  EXPECT_EQ(Crate().BChannelCycles().size(), 3u);
  EXPECT_EQ(Crate().TTCrxRegister(9, 0), 200);  // E = 0 reached the TTCrx
  EXPECT_EQ(Crate().TTCrxRegister(9, 3), 0x55);
  Click("btB_GoSignal");  // retransmission on: sent again
  EXPECT_EQ(Crate().BChannelCycles().size(), 6u);

  Toggle("chbRetransmit");  // off: the next signal empties the FIFO
  Click("btB_GoSignal");
  Click("btB_GoSignal");
  EXPECT_EQ(Crate().BChannelCycles().size(), 9u);
  EXPECT_EQ(AnsweredBox([&] { Click("bFIFOStaus"); }), QStringLiteral("B-Go Fifo [2] EMPTY"));
}

TEST_F(BGoTab, LoadingMoreThanTheFifoHoldsLosesWordsAndReportsFull) {
  AddRx("Rx", "1");
  AddSequence(QStringLiteral("Long"), [](TB_GoDataDlg* dialog) {
    for (int i = 0; i < 300; ++i) AddShort(dialog, QString::number(i % 256));
  });
  SelectSequence(0);
  Click("bLoadFIFO");
  EXPECT_EQ(WritesAt(0xB0).size(), 300u);
  EXPECT_EQ(Crate().BGoFifoSize(0), sim::kBGoFifoDepth);
  EXPECT_EQ(Crate().BGoLostWords(0), 300u - sim::kBGoFifoDepth);
  EXPECT_EQ(AnsweredBox([&] { Click("bFIFOStaus"); }), QStringLiteral("B-Go Fifo [0] FULL"));
}

TEST_F(BGoTab, ListErrorsAndMissingTTCrx) {
  // No TTCrx: the editor does not open.
  EXPECT_EQ(AnsweredBox([&] { Click("bAddData"); }),
            QStringLiteral("'' is not a valid integer value."));
  EXPECT_EQ(Sequences()->count(), 0);
  AddRx("Rx", "1");
  AddSequence(QStringLiteral("A"), [](TB_GoDataDlg*) {});
  Sequences()->clearSelection();
  EXPECT_EQ(AnsweredBox([&] { Click("bLoadFIFO"); }),
            QStringLiteral("List index out of bounds (-1)"));
  EXPECT_EQ(AnsweredBox([&] {
              QTest::mouseDClick(Sequences()->viewport(), Qt::LeftButton, {}, QPoint(5, 100));
            }),
            QStringLiteral("List index out of bounds (-1)"));
  Click("bDeleteData");  // nothing selected: nothing happens
  EXPECT_EQ(Sequences()->count(), 1);
  EXPECT_TRUE(WritesAt(0xB0).empty());
}

TEST_F(BGoTab, DeletingASequenceLeavesNothingSelected) {
  AddRx("Rx", "1");
  for (const char* name : {"A", "B", "C"})
    AddSequence(QString::fromLatin1(name), [](TB_GoDataDlg* dialog) { AddShort(dialog, "7"); });
  SelectSequence(1);
  Click("bDeleteData");
  EXPECT_EQ(Lines(Sequences()), (QStringList{"A", "C"}));
  Click("bDeleteData");  // nothing picked since: nothing deleted
  EXPECT_EQ(Lines(Sequences()), (QStringList{"A", "C"}));
  EXPECT_EQ(AnsweredBox([&] { Click("bLoadFIFO"); }),
            QStringLiteral("List index out of bounds (-1)"));
  EXPECT_EQ(Crate().BGoFifoSize(0), 0u);
  EXPECT_TRUE(WritesAt(0xB0).empty());
}

TEST_F(BGoTab, AddingASequenceLeavesTheLinePickedAsItWas) {
  AddRx("Rx", "1");
  AddSequence(QStringLiteral("A"), [](TB_GoDataDlg* dialog) { AddShort(dialog, "5"); });
  SelectSequence(0);
  AddSequence(QStringLiteral("B"), [](TB_GoDataDlg* dialog) { AddShort(dialog, "6"); });
  EXPECT_EQ(Lines(Sequences()), (QStringList{"A", "B"}));
  Click("bLoadFIFO");
  EXPECT_EQ(Crate().BGoFifo(0),
            (std::vector<std::uint32_t>{static_cast<std::uint32_t>(MakeShortWord(5).to_ulong())}));
}

TEST_F(BGoTab, EditorShowsLinesAsTypedUntilReopened) {
  AddRx("Rx", "x3FFF");
  AddSequence(QStringLiteral("Seq"), [](TB_GoDataDlg* dialog) {
    Control<QCheckBox>(dialog, "chbExternal")->setChecked(true);
    AddLong(dialog, QStringLiteral("x3FFF"), QStringLiteral("1"), QStringLiteral("2"));
    AddShort(dialog, QStringLiteral("256"));
    EXPECT_EQ(Lines(Control<QListWidget>(dialog, "lbB_BoData")),
              (QStringList{"x3FFF, 1, 1, 2", "256"}));
  });
  SelectSequence(0);
  QStringList reopened;
  EditSequence([&](TB_GoDataDlg* dialog) {
    reopened = Lines(Control<QListWidget>(dialog, "lbB_BoData"));
    PressCancel(dialog);
  });
  EXPECT_EQ(reopened, (QStringList{"16383, 1, 1, 2", "0"}));

  // Loaded as stored: address 16383, E = 1, subaddress 1, data 2; command 0.
  Click("bLoadFIFO");
  EXPECT_EQ(Crate().BGoFifo(0), (std::vector<std::uint32_t>{0xFFFF0102, 0x00000000}));
}

TEST_F(BGoTab, EditingWorksOnACopyUntilOk) {
  AddRx("Rx", "5");
  AddSequence(QStringLiteral("Three"), [](TB_GoDataDlg* dialog) {
    for (const char* command : {"1", "2", "3"}) AddShort(dialog, QString::fromLatin1(command));
  });
  SelectSequence(0);
  EditSequence([](TB_GoDataDlg* dialog) {  // changes, then Cancel
    Control<QListWidget>(dialog, "lbB_BoData")->setCurrentRow(0);
    Control<QPushButton>(dialog, "bDelete")->click();
    AddShort(dialog, QStringLiteral("9"));
    Control<QLineEdit>(dialog, "eName")->setText(QStringLiteral("Renamed"));
    PressCancel(dialog);
  });
  EXPECT_EQ(Lines(Sequences()), QStringList{"Three"});

  QStringList afterDelete;
  EditSequence([&](TB_GoDataDlg* dialog) {
    Control<QListWidget>(dialog, "lbB_BoData")->setCurrentRow(1);
    Control<QPushButton>(dialog, "bDelete")->click();
    afterDelete = Lines(Control<QListWidget>(dialog, "lbB_BoData"));
    PressOk(dialog);
  });
  EXPECT_EQ(afterDelete, (QStringList{"1", "3"}));
  Click("bLoadFIFO");
  EXPECT_EQ(Crate().BGoFifo(0), (std::vector<std::uint32_t>{0x00800000, 0x01800000}));
  EXPECT_EQ(Sequences()->currentRow(), 0) << "the line stays in place and selected";
}

TEST_F(BGoTab, PickedLineShowsItsFieldsAndRaisesItsFormatFrame) {
  AddRx("Rx", "7");
  AddSequence(QStringLiteral("Mixed"), [](TB_GoDataDlg* dialog) {
    AddLong(dialog, QStringLiteral("12"), QStringLiteral("3"), QStringLiteral("200"));
    AddShort(dialog, QStringLiteral("42"));
  });
  SelectSequence(0);
  EditSequence([](TB_GoDataDlg* dialog) {
    Control<QLineEdit>(dialog, "eRxAddres")->clear();
    Control<QListWidget>(dialog, "lbB_BoData")->setCurrentRow(1);
    EXPECT_EQ(Control<QFrame>(dialog, "Panel2")->frameShadow(), QFrame::Raised);
    EXPECT_EQ(Control<QFrame>(dialog, "Panel1")->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(Control<QLineEdit>(dialog, "eCommand")->text(), QStringLiteral("42"));
    EXPECT_TRUE(Control<QLineEdit>(dialog, "eRxAddres")->text().isEmpty())
        << "the other format's edits stay";
    Control<QListWidget>(dialog, "lbB_BoData")->setCurrentRow(0);
    EXPECT_EQ(Control<QFrame>(dialog, "Panel1")->frameShadow(), QFrame::Raised);
    EXPECT_EQ(Control<QFrame>(dialog, "Panel2")->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(Control<QLineEdit>(dialog, "eRxAddres")->text(), QStringLiteral("12"));
    EXPECT_EQ(Control<QLineEdit>(dialog, "eData")->text(), QStringLiteral("200"));
    Control<QPushButton>(dialog, "bCurRx")->click();
    EXPECT_EQ(Control<QLineEdit>(dialog, "eRxAddres")->text(), QStringLiteral("7"));
    PressCancel(dialog);
  });
}

TEST_F(BGoTab, SequencesSurviveACloseAndARestart) {
  AddRx("Rx", "1");
  AddSequence(QStringLiteral("Trig"), [](TB_GoDataDlg* dialog) { AddShort(dialog, "5"); });
  AddSequence(QStringLiteral("Empty"), [](TB_GoDataDlg*) {});
  ASSERT_TRUE(Main->close());
  Windows = CreateQuorvaneWindows(OpenBit3Connection);
  Main = Windows.frmMain.get();
  EXPECT_EQ(Lines(Sequences()), (QStringList{"Trig", "Empty"}));
  const std::vector<BGoDataSequence> sequences = Main->Model().State().Sequences;
  ASSERT_EQ(sequences.size(), 2u);
  EXPECT_EQ(sequences[0].Words, (BGoWords{std::bitset<32>(0x02800000)}));
  EXPECT_TRUE(sequences[1].Words.empty());
  Crate().ClearCycles();
  SelectSequence(1);
  Click("bLoadFIFO");  // an empty sequence loads nothing
  EXPECT_TRUE(Crate().Cycles().empty());
}

// The status texts for CSR2 values the simulated FIFOs cannot show at once.
TEST(BGoFifoStatus, EmptyAndFullBitsOfTheShownChannel) {
  ScopedWorkDir dir;
  RecordingVME* vme = nullptr;
  TfrmMain window([&] {
    auto connection = std::make_unique<RecordingVME>();
    vme = connection.get();
    return connection;
  });
  window.show();
  Control<QTabBar>(&window, "TabControl1")->setCurrentIndex(1);
  const std::pair<std::uint32_t, const char*> cases[] = {{0x0000, "LOADED"},
                                                         {0x0004, "EMPTY"},
                                                         {0x0008, "FULL"},
                                                         {0x000C, "FULL"},
                                                         {0x0003, "LOADED"}};
  for (const auto& [csr2, status] : cases) {
    SCOPED_TRACE(csr2);
    vme->SetReadValue(0xFF1000 + kCSR2, csr2);
    ModalAnswer answer(PressOk);
    Control<QPushButton>(&window, "bFIFOStaus")->click();
    EXPECT_EQ(answer.Text(), QStringLiteral("B-Go Fifo [1] ") + QString::fromLatin1(status));
  }
}

}  // namespace

namespace {

// A window whose dialogs were never handed over reports it; it never crashes.
TEST(WindowWithoutDialogs, HandlersThatNeedADialogShowAnError) {
  ScopedWorkDir dir;
  TfrmMain window([] { return std::make_unique<RecordingVME>(); });
  window.show();
  Control<QLineEdit>(&window, "eRxAddres")->setText(QStringLiteral("1"));
  Control<QPushButton>(&window, "bAddRxAddres")->click();
  for (const char* button : {"bAddData", "bAddPreset"}) {
    SCOPED_TRACE(button);
    ModalAnswer answer(PressOk);
    Control<QPushButton>(&window, button)->click();
    EXPECT_EQ(answer.Text(), QStringLiteral("The dialogs of the panel were not created."));
  }
}

}  // namespace
