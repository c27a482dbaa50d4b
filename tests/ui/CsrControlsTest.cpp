// The trigger, orbit, inhibit and CSR controls of the main window, clicked
// as an operator does, with the register accesses they cause.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QWheelEvent>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "support/RecordingVME.h"
#include "ttcvi/TTTCvi.h"
#include "ui/FMain.h"
#include "ui/RadioGroup.h"
#include "ui/SpinEdit.h"

namespace {

constexpr std::uint32_t kBase = 0xFF1000;
constexpr std::uint32_t kCSR1 = kBase + 0x80;
constexpr std::uint32_t kCSR2 = kBase + 0x82;
constexpr std::uint16_t kOrbit = 0x0008;  // internal orbit, ticked at start

using Log = std::vector<RecordingVME::Access>;

class CsrControls : public ::testing::Test {
 protected:
  void SetUp() override {
    Window = std::make_unique<TfrmMain>([this] {
      auto connection = std::make_unique<RecordingVME>();
      Vme = connection.get();
      return connection;
    });
    Window->show();
    QApplication::setActiveWindow(Window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    Vme->Log.clear();  // start-up accesses are the start-up tests' business
  }

  template <class T>
  T* Find(const char* name) {
    return Control<T>(Window.get(), name);
  }

  // An operator's click on the radio indicator of a trigger source item.
  void ClickSource(int item) {
    QRadioButton* button = Find<TRadioGroup>("rgTriggerSource")->Button(item);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(7, button->height() / 2));
  }

  void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }

  // Types over the rate box's text as an operator does, key by key.
  void TypeRate(const QString& text) {
    QLineEdit* edit = Find<QComboBox>("cbRanGenRate")->lineEdit();
    edit->clear();  // from code: no change event
    QTest::keyClicks(edit, text);
  }

  ScopedWorkDir Dir;  // first: outlives the window
  RecordingVME* Vme = nullptr;
  std::unique_ptr<TfrmMain> Window;
};

TEST_F(CsrControls, EachSourceWritesCsr1AndEnablesOnlyItsOwnExtraControl) {
  auto* triger = Find<QPushButton>("btVMETriger");
  auto* rate = Find<QComboBox>("cbRanGenRate");
  for (int source = 0; source < 7; ++source) {
    SCOPED_TRACE(source);
    Vme->Log.clear();
    ClickSource(source);
    EXPECT_EQ(Find<TRadioGroup>("rgTriggerSource")->ItemIndex(), source);
    EXPECT_EQ(triger->isEnabled(), source == 4);
    EXPECT_EQ(rate->isEnabled(), source == 5);
    // "5 Random" writes the rate (1 Hz = 0) first, with the previous source.
    const Log expected = source == 5 ? Log{W16(kCSR1, kOrbit | 4), W16(kCSR1, kOrbit | 5)}
                                     : Log{W16(kCSR1, kOrbit | source)};
    EXPECT_EQ(Vme->Log, expected);
  }
}

TEST_F(CsrControls, ClickingTheChosenSourceAgainSendsNothing) {
  ClickSource(3);
  Vme->Log.clear();
  ClickSource(3);
  EXPECT_TRUE(Vme->Log.empty());
}

TEST_F(CsrControls, RandomSourceWritesTheShownRateFirstWithThePreviousSource) {
  ClickSource(2);
  auto* rate = Find<QComboBox>("cbRanGenRate");
  rate->setCurrentIndex(5);  // "25 kHz", set from code: sends nothing
  ASSERT_EQ(rate->currentText(), QStringLiteral("25 kHz"));
  Vme->Log.clear();

  ClickSource(5);
  EXPECT_EQ(Vme->Log, (Log{W16(kCSR1, 0x5000 | kOrbit | 2), W16(kCSR1, 0x5000 | kOrbit | 5)}));

  // The operator picks the next item with the keyboard: one rate write.
  Vme->Log.clear();
  rate->setFocus(Qt::TabFocusReason);
  QTest::keyClick(rate, Qt::Key_Down);
  EXPECT_EQ(rate->currentText(), QStringLiteral("50 kHz"));
  EXPECT_EQ(Vme->Log, (Log{W16(kCSR1, 0x6000 | kOrbit | 5)}));

  // The rate set last is carried by every later CSR1 write.
  Vme->Log.clear();
  ClickSource(0);
  EXPECT_FALSE(rate->isEnabled());
  EXPECT_EQ(Vme->Log, (Log{W16(kCSR1, 0x6000 | kOrbit | 0)}));
}

TEST_F(CsrControls, TypedRateMovesTheListToThatItem) {
  ClickSource(5);
  auto* rate = Find<QComboBox>("cbRanGenRate");
  rate->setFocus(Qt::TabFocusReason);
  TypeRate(QStringLiteral("25 kHz"));
  EXPECT_EQ(Vme->Log.back(), W16(kCSR1, 0x5000 | kOrbit | 5));
  EXPECT_EQ(rate->currentIndex(), 5);

  // The arrow steps from the typed item, not from the one shown before.
  Vme->Log.clear();
  QTest::keyClick(rate, Qt::Key_Down);
  EXPECT_EQ(rate->currentText(), QStringLiteral("50 kHz"));
  EXPECT_EQ(Vme->Log, (Log{W16(kCSR1, 0x6000 | kOrbit | 5)}));

  // A text that matches no item leaves no item chosen, and keeps the text.
  TypeRate(QStringLiteral("7 Hz"));
  EXPECT_EQ(rate->currentIndex(), -1);
  EXPECT_EQ(rate->currentText(), QStringLiteral("7 Hz"));
  EXPECT_EQ(Vme->Log.back(), W16(kCSR1, 0x7000 | kOrbit | 5));
}

TEST_F(CsrControls, PickingTheRateAlreadyShownSendsNothing) {
  ClickSource(5);
  auto* rate = Find<QComboBox>("cbRanGenRate");
  rate->setFocus(Qt::TabFocusReason);
  TypeRate(QStringLiteral("5 kHz"));
  Vme->Log.clear();

  rate->showPopup();
  // The highlighted item is the one shown.
  QTest::keyClick(static_cast<QWidget*>(rate->view()), Qt::Key_Return);
  EXPECT_EQ(rate->currentText(), QStringLiteral("5 kHz"));
  EXPECT_TRUE(Vme->Log.empty());
}

TEST_F(CsrControls, InhibitApplyFromCodeNeverWritesBeyondTheRange) {
  auto* delay = Find<TSpinEdit>("cseInh0Delay");
  delay->setFocus(Qt::MouseFocusReason);
  delay->selectAll();
  QTest::keyClicks(delay, "5000");
  ASSERT_TRUE(delay->hasFocus());  // not left: still 5000 as typed
  Find<QPushButton>("btAplayInhSetings")->click();
  ASSERT_FALSE(Vme->Log.empty());
  EXPECT_EQ(Vme->Log.front(), W16(kBase + 0x92, 4095));
}

TEST_F(CsrControls, TrigerSelectsTheVmeSourceThenFires) {
  ClickSource(4);
  Window->Module().SetTriggerSource(1);  // switched by other means
  Vme->Log.clear();

  Click("btVMETriger");
  EXPECT_EQ(Vme->Log, (Log{W16(kCSR1, kOrbit | 4), W16(kBase + 0x86, 0x000F)}));
  EXPECT_EQ(Find<TRadioGroup>("rgTriggerSource")->ItemIndex(), 4);
}

TEST_F(CsrControls, TypedRateTextIsItsItemOrNoItem) {
  struct Case {
    const char* typed;
    unsigned rateField;
  };
  const Case cases[] = {
      {"5 kHz", 3},                   // an item's text exactly
      {"100 kHz", 7},                 // the last item
      {"3 Hz", 7},                    // no item: index -1 keeps its three low bits
      {"1 Hz", 0},    {"25 khz", 7},  // not an item's text exactly
  };
  ClickSource(5);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    Vme->Log.clear();
    TypeRate(QString::fromLatin1(c.typed));
    // Every keystroke is a change and writes CSR1 once.
    ASSERT_EQ(Vme->Log.size(), std::strlen(c.typed));
    EXPECT_EQ(Vme->Log.back(), W16(kCSR1, (c.rateField << 12) | kOrbit | 5));
  }
}

// Turns the wheel one notch down over the middle of control.
void WheelDown(QWidget* control) {
  const QPoint centre = control->rect().center();
  QWheelEvent wheel(centre, control->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(control, &wheel);
}

TEST_F(CsrControls, WheelChangesRateBoxAndListsOnlyWithFocus) {
  ClickSource(5);  // the rate box is enabled
  for (const char* address : {"1", "2"}) {
    Find<QLineEdit>("eRxAddres")->setText(QString::fromLatin1(address));
    Find<QPushButton>("bAddRxAddres")->click();
  }
  Find<QComboBox>("lbPresettings")->addItems({QStringLiteral("one"), QStringLiteral("two")});
  Find<QComboBox>("cmbTTC")->setCurrentIndex(0);
  Find<QComboBox>("lbPresettings")->setCurrentIndex(0);

  auto index = [](QWidget* control) {
    if (auto* tabs = qobject_cast<QTabBar*>(control)) return tabs->currentIndex();
    return qobject_cast<QComboBox*>(control)->currentIndex();
  };
  for (const char* name : {"cbRanGenRate", "cmbTTC", "lbPresettings", "TabControl1"}) {
    SCOPED_TRACE(name);
    auto* control = Find<QWidget>(name);
    Find<QPushButton>("bHelp")->setFocus(Qt::TabFocusReason);
    Vme->Log.clear();
    WheelDown(control);
    EXPECT_EQ(index(control), 0);
    EXPECT_TRUE(Vme->Log.empty());

    control->setFocus(Qt::MouseFocusReason);  // the operator's choice: now it turns
    WheelDown(control);
    EXPECT_EQ(index(control), 1);
    // Only the rate box sends: its turn is an operator change to "100 Hz".
    const Log expected =
        std::string(name) == "cbRanGenRate" ? Log{W16(kCSR1, 0x1000 | kOrbit | 5)} : Log{};
    EXPECT_EQ(Vme->Log, expected);
  }
}

TEST_F(CsrControls, OrbitBoxSwitchesCsr1Bit3OnEveryChange) {
  auto* orbit = Find<QCheckBox>("chbOrbitSignalSel");
  QTest::mouseClick(orbit, Qt::LeftButton);
  QTest::mouseClick(orbit, Qt::LeftButton);
  orbit->setChecked(false);  // a change made from code counts as well
  EXPECT_EQ(Vme->Log, (Log{W16(kCSR1, 0x0000), W16(kCSR1, 0x0008), W16(kCSR1, 0x0000)}));
}

TEST_F(CsrControls, L1AFifoResetIsSentInOneWriteOnly) {
  Click("bL1AFIFOReset");
  ClickSource(1);
  EXPECT_EQ(Vme->Log, (Log{W16(kCSR1, 0x0040 | kOrbit), W16(kCSR1, kOrbit | 1)}));
}

struct ReadOut {
  const char* button;
  const char* edit;
  std::uint32_t address;
};
const ReadOut kReadOuts[] = {{"Button1", "eCSR1", kCSR1}, {"btReadCSR2", "eCSR2", kCSR2}};

TEST_F(CsrControls, ReadButtonsShowSixteenBitsMostSignificantFirst) {
  for (const ReadOut& r : kReadOuts) {
    SCOPED_TRACE(r.button);
    Vme->Log.clear();
    Vme->QueueReadValue(r.address, 0x2005);
    Vme->QueueReadValue(r.address, 0x8001);
    Click(r.button);
    EXPECT_EQ(Find<QLineEdit>(r.edit)->text(), QStringLiteral("0010000000000101"));
    Click(r.button);
    EXPECT_EQ(Find<QLineEdit>(r.edit)->text(), QStringLiteral("1000000000000001"));
    EXPECT_EQ(Vme->Log, (Log{R16(r.address, 0x2005), R16(r.address, 0x8001)}));
  }
  // What was read never goes into the next CSR1 write.
  Vme->Log.clear();
  ClickSource(1);
  EXPECT_EQ(Vme->Log, (Log{W16(kCSR1, kOrbit | 1)}));
}

TEST_F(CsrControls, FailedReadShowsTheErrorAndLeavesTheEdit) {
  for (const ReadOut& r : kReadOuts) {
    SCOPED_TRACE(r.button);
    Vme->SetReadValue(r.address, 0x00FF);
    Click(r.button);
    ASSERT_EQ(Find<QLineEdit>(r.edit)->text(), QStringLiteral("0000000011111111"));

    Vme->FailAccess(0);
    Vme->SetReadValue(r.address, 0xFF00);
    ModalAnswer answer(PressOk);
    Click(r.button);
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Title(), QStringLiteral("Quorvane"));
    EXPECT_EQ(answer.Text(),
              QStringLiteral("VME Error: read error device recordingInjected read failure."));
    EXPECT_EQ(Find<QLineEdit>(r.edit)->text(), QStringLiteral("0000000011111111"));

    Click(r.button);  // the panel goes on
    EXPECT_EQ(Find<QLineEdit>(r.edit)->text(), QStringLiteral("1111111100000000"));
  }
}

TEST_F(CsrControls, ResetBGoFifoPulsesAllFourWithTheRetransmitBits) {
  Window->Module().SetRetransmit(0b0101);  // retransmission off for channels 0 and 2
  Vme->Log.clear();
  Click("btCSR2ResetFIFO");
  Click("btCSR2ResetFIFO");
  EXPECT_EQ(Vme->Log, (Log{W16(kCSR2, 0xF500), W16(kCSR2, 0xF500)}));
  EXPECT_EQ(Window->Module().CSR2Shadow.to_ulong(), 0x0500u);
}

TEST_F(CsrControls, ResetTTCviWritesOnlyTheResetRegisterAndKeepsTheShadow) {
  auto* rate = Find<QComboBox>("cbRanGenRate");
  rate->setCurrentIndex(5);
  ClickSource(5);
  Vme->Log.clear();

  Click("bReset");
  EXPECT_EQ(Vme->Log, (Log{W16(kBase + 0x84, 0)}));
  EXPECT_EQ(Find<TRadioGroup>("rgTriggerSource")->ItemIndex(), 5);
  EXPECT_TRUE(rate->isEnabled());

  ClickSource(1);  // the next CSR1 write restores the settings
  EXPECT_EQ(Vme->Log.back(), W16(kCSR1, 0x5000 | kOrbit | 1));
}

TEST_F(CsrControls, InhibitApplyWritesEightRegistersWithValuesBroughtIntoRange) {
  auto* delay = Find<TSpinEdit>("cseInh2Delay");
  auto* duration = Find<TSpinEdit>("cseInh2Duration");
  Find<TSpinEdit>("cseInh0Delay")->SetValue(17);
  Find<TSpinEdit>("cseInh3Duration")->SetValue(3);

  delay->setFocus(Qt::MouseFocusReason);
  delay->selectAll();
  QTest::keyClicks(delay, "5000");
  EXPECT_EQ(delay->text(), QStringLiteral("5000"));  // out of range while typing
  duration->setFocus(Qt::MouseFocusReason);          // leaving the box brings it into range
  EXPECT_EQ(delay->Value(), 4095);
  duration->selectAll();
  QTest::keyClicks(duration, "300");
  ASSERT_EQ(duration->text(), QStringLiteral("300"));

  // The click takes the focus from the duration box first.
  Click("btAplayInhSetings");
  EXPECT_EQ(duration->Value(), 255);
  EXPECT_EQ(Vme->Log, (Log{W16(kBase + 0x92, 17), W16(kBase + 0x94, 0), W16(kBase + 0x9A, 0),
                           W16(kBase + 0x9C, 0), W16(kBase + 0xA2, 4095), W16(kBase + 0xA4, 255),
                           W16(kBase + 0xAA, 0), W16(kBase + 0xAC, 3)}));
}

TEST_F(CsrControls, VmeErrorInAHandlerIsShownAndThePanelStaysUsable) {
  Vme->FailAllWrites();
  {
    ModalAnswer answer(PressOk);
    ClickSource(4);
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Text(),
              QStringLiteral("VME Error: write error device recordingInjected write failure."));
  }
  // The enable state changed before the failing write stays changed.
  EXPECT_TRUE(Find<QPushButton>("btVMETriger")->isEnabled());
  EXPECT_TRUE(Vme->Log.empty());

  Vme->FailAllWrites(false);
  Click("btVMETriger");
  EXPECT_EQ(Vme->Log, (Log{W16(kCSR1, kOrbit | 4), W16(kBase + 0x86, 0x000F)}));
}

}  // namespace

namespace {

TEST_F(CsrControls, PickingTheRateShownSendsNothingFromTheFirstPickOn) {
  ClickSource(5);
  auto* rate = Find<QComboBox>("cbRanGenRate");
  Vme->Log.clear();
  emit rate->activated(0);  // the operator picks "1 Hz", already shown since start-up
  EXPECT_TRUE(Vme->Log.empty());
  rate->setCurrentIndex(2);
  emit rate->activated(2);
  EXPECT_EQ(Vme->Log, (Log{W16(kCSR1, 0x2000 | kOrbit | 5)}));
}

}  // namespace
