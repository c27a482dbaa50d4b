// The main window's controls: names, kinds, captions, start states, hints,
// limits, places and the Mk II colour marking.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabBar>
#include <QTest>
#include <memory>
#include <set>
#include <string>

#include "UiTestSupport.h"
#include "support/RecordingVME.h"
#include "ui/FMain.h"
#include "ui/RadioGroup.h"
#include "ui/SpinEdit.h"

namespace {

constexpr const char* kNoHint = "";
const char* const kNumberHint = "Decyamal or Hexadecymal (with x on begin)";
const char* const kCoarse1Hint = "L1Accept, Brcst1, BcntRes, EvCntRes, Brcst<5:2>";
const char* const kCoarse2Hint = "BrcstStr2, Brs<7:6>";

struct Expected {
  const char* name;
  const char* kind;  // class name the control must be (or derive from)
  const char* text;  // caption, title or text at start; nullptr: has none
  bool enabled;
  const char* hint;
  int maxLength;  // line edits only; 0: no limit
};

// Every named control of the main window.
const Expected kControls[] = {
    {"Panel3", "QFrame", nullptr, true, kNoHint, 0},
    {"Label11", "QLabel", "CSR1", true, kNoHint, 0},
    {"rgTriggerSource", "TRadioGroup", "Trigger Source", true, kNoHint, 0},
    {"btVMETriger", "QPushButton", "Triger", false, kNoHint, 0},
    {"cbRanGenRate", "QComboBox", "1 Hz", false, kNoHint, 0},
    {"Panel10", "QLabel", "Calibr.", true, kNoHint, 0},
    {"Panel1", "QLabel", " Orbit Signal", true, kNoHint, 0},
    {"chbOrbitSignalSel", "QCheckBox", "internal", true, kNoHint, 0},
    {"bL1AFIFOReset", "QPushButton", "L1A FIFO Reset", true, "L1A  FIFO Reset", 0},
    {"Button1", "QPushButton", "READ CSR1", true, kNoHint, 0},
    {"eCSR1", "QLineEdit", "", true, kNoHint, 0},
    {"Panel2", "QFrame", nullptr, true, kNoHint, 0},
    {"Label10", "QLabel", "CSR2", true, kNoHint, 0},
    {"btReadCSR2", "QPushButton", "READ CSR2", true, kNoHint, 0},
    {"eCSR2", "QLineEdit", "", true, kNoHint, 0},
    {"btCSR2ResetFIFO", "QPushButton", "RESET B-Go FIFO", true, kNoHint, 0},
    {"GroupBox2", "QGroupBox", "Inhibit", true, kNoHint, 0},
    {"lblInhDelay", "QLabel", "Delay", true, kNoHint, 0},
    {"lblInhDuration", "QLabel", "Duration", true, kNoHint, 0},
    {"lblInhibit0", "QLabel", "Inhibit 0", true, kNoHint, 0},
    {"lblInhibit1", "QLabel", "Inhibit 1", true, kNoHint, 0},
    {"lblInhibit2", "QLabel", "Inhibit 2", true, kNoHint, 0},
    {"lblInhibit3", "QLabel", "Inhibit 3", true, kNoHint, 0},
    {"cseInh0Delay", "TSpinEdit", "0", true, kNoHint, 0},
    {"cseInh0Duration", "TSpinEdit", "0", true, kNoHint, 0},
    {"cseInh1Delay", "TSpinEdit", "0", true, kNoHint, 0},
    {"cseInh1Duration", "TSpinEdit", "0", true, kNoHint, 0},
    {"cseInh2Delay", "TSpinEdit", "0", true, kNoHint, 0},
    {"cseInh2Duration", "TSpinEdit", "0", true, kNoHint, 0},
    {"cseInh3Delay", "TSpinEdit", "0", true, kNoHint, 0},
    {"cseInh3Duration", "TSpinEdit", "0", true, kNoHint, 0},
    {"btAplayInhSetings", "QPushButton", "Apply", true, kNoHint, 0},
    {"bReset", "QPushButton", "Reset TTCvi", true, kNoHint, 0},
    {"TabControl1", "QTabBar", nullptr, true, kNoHint, 0},
    {"TabControl1Page", "QFrame", nullptr, true, kNoHint, 0},
    {"GroupBox3", "QGroupBox", "Setings", true, kNoHint, 0},
    {"chbEnable", "QCheckBox", "Enable", true, kNoHint, 0},
    {"chbSync", "QCheckBox", "Asynchron", true, kNoHint, 0},
    {"chSingle", "QCheckBox", "Repetetive", true, kNoHint, 0},
    {"chbFIFO", "QCheckBox", "FIFO", true, kNoHint, 0},
    {"chbCalibration", "QCheckBox", "Calibration", false, kNoHint, 0},
    {"chbRetransmit", "QCheckBox", "Retransmit", true, kNoHint, 0},
    {"Label15", "QLabel", "Data", true, kNoHint, 0},
    {"lbB_GoDataSeq", "QListWidget", nullptr, true, kNoHint, 0},
    {"bAddData", "QPushButton", "Add", true, kNoHint, 0},
    {"bDeleteData", "QPushButton", "Delete", true, kNoHint, 0},
    {"bLoadFIFO", "QPushButton", "Load FIFO", true, kNoHint, 0},
    {"btB_GoSignal", "QPushButton", "B-Go Signal", true, kNoHint, 0},
    {"bFIFO0Reset", "QPushButton", "Reset FIFO", true, kNoHint, 0},
    {"bFIFOStaus", "QPushButton", "FIFO Staus", true, kNoHint, 0},
    {"bReadBGoSettings", "QPushButton", "Read B-Go Settings", true, kNoHint, 0},
    {"eBGoSeting", "QLineEdit", "", true, kNoHint, 0},
    {"Panel4", "QFrame", nullptr, true, kNoHint, 0},
    {"GroupBox4", "QGroupBox", "Long-Format asynchronus cycles", true, kNoHint, 0},
    {"chbLFACExt", "QCheckBox", "External subadres", true, kNoHint, 0},
    {"lblLFACSubaddr", "QLabel", "SUBADDR", true, kNoHint, 0},
    {"lblLFACData", "QLabel", "DATA", true, kNoHint, 0},
    {"eLFACSubaddr", "QLineEdit", "000", true, kNumberHint, 3},
    {"eLFACData", "QLineEdit", "000", true, kNumberHint, 3},
    {"bLFACSend", "QPushButton", "Send", true, kNoHint, 0},
    {"GroupBox5", "QGroupBox", "Short-Format asynchronous cycles", true, kNoHint, 0},
    {"lblSFACCommand", "QLabel", "COMMAND", true, kNoHint, 0},
    {"eSFACCommand", "QLineEdit", "000", true, kNumberHint, 3},
    {"bSFACSend", "QPushButton", "Send", true, kNoHint, 0},
    {"GroupBox7", "QGroupBox", "TRIGWORD Register", true, kNoHint, 0},
    {"chbTRIGRegEnable", "QCheckBox", "Enable after-trigger tranfer", true, kNoHint, 0},
    {"chbTrigRegExt", "QCheckBox", "External subadres", true, kNoHint, 0},
    {"lblTRIGRegSad", "QLabel", "SUBADDR", true, kNoHint, 0},
    {"eTRIGRegSad", "QLineEdit", "000", true, kNumberHint, 3},
    {"bTRIGRegSet", "QPushButton", "Set", true, kNoHint, 0},
    {"GroupBox1", "QGroupBox", "RX", true, kNoHint, 0},
    {"Panel7", "QFrame", nullptr, true, kNoHint, 0},
    {"lblRxAddres", "QLabel", "Rx Addres", true, kNoHint, 0},
    {"cmbTTC", "QComboBox", "", true, kNoHint, 0},
    {"eRxName", "QLineEdit", "Name", true, "Name must be difrent!!!", 4},
    {"eRxAddres", "QLineEdit", "000000", true, kNoHint, 6},
    {"bAddRxAddres", "QPushButton", "Add", true, kNoHint, 0},
    {"bRxAddressDelete", "QPushButton", "Delete", true, kNoHint, 0},
    {"lblDeskew1", "QLabel", "Deskew 1", true, kNoHint, 0},
    {"frSelectReg0", "TfrSelectValue", nullptr, true, kNoHint, 0},
    {"lblDeskew2", "QLabel", "Deskew 2", true, kNoHint, 0},
    {"frSelectReg1", "TfrSelectValue", nullptr, true, kNoHint, 0},
    {"lblCoarDel1", "QLabel", "Coar Del 1", true, kCoarse1Hint, 0},
    {"frSelectReg2", "TfrSelectValue", nullptr, true, kCoarse1Hint, 0},
    {"lblCoarDel2", "QLabel", "Coar Del 2", true, kCoarse2Hint, 0},
    {"frSelectReg3", "TfrSelectValue", nullptr, true, kCoarse2Hint, 0},
    {"Panel5", "QLabel", " Control Register", true, kNoHint, 0},
    {"pCntrolReg", "QLabel", "10010011", true, "Bouble Click to edit", 0},
    {"GroupBox6", "QGroupBox", "Presettings", true, kNoHint, 0},
    {"lbPresettings", "QComboBox", "", true, kNoHint, 0},
    {"bAplayPreset", "QPushButton", "Apply", true, kNoHint, 0},
    {"bAddPreset", "QPushButton", "Add", true, kNoHint, 0},
    {"bDeletePreset", "QPushButton", "Delete", true, kNoHint, 0},
    {"eNewPresetName", "QLineEdit", "eNewPresetName", true, kNoHint, 0},
    {"bHelp", "QPushButton", "Help", true, kNoHint, 0},
    {"Panel6", "QFrame", nullptr, true, kNoHint, 0},
    {"Panel8", "QLabel", "Yellow things available only in TTCvi Mk II", true, kNoHint, 0},
};

// Named parts inside composite controls (the selectors' slider and box, the
// tab bar's scroll buttons, a combo box's editor), not controls of the window.
bool IsPartOfAComposite(const QWidget* widget) {
  for (const QWidget* w = widget->parentWidget(); w != nullptr; w = w->parentWidget()) {
    if (w->inherits("TfrSelectValue") || w->inherits("QTabBar") || w->inherits("QComboBox") ||
        w->inherits("QAbstractSpinBox") || w->inherits("QAbstractScrollArea")) {
      return true;
    }
  }
  return widget->objectName().startsWith(QLatin1String("qt_"));
}

QString TextOf(const QWidget* widget) {
  if (const auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
  if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(widget)) return spin->text();
  if (const auto* combo = qobject_cast<const QComboBox*>(widget)) return combo->currentText();
  return {};
}

// The colour a widget shows behind its content: its own fill, the base or
// button face it paints itself, or else what its parent shows.
QColor VisibleBackground(const QWidget* widget) {
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    const bool paintsOwnFace =
        qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPushButton*>(w) ||
        qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QComboBox*>(w) ||
        qobject_cast<const QAbstractItemView*>(w);
    if (w->autoFillBackground() || paintsOwnFace || w->isWindow()) {
      return w->palette().color(w->backgroundRole());
    }
  }
  return {};
}

class MainLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    Window = std::make_unique<TfrmMain>([] { return std::make_unique<RecordingVME>(); });
    Window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
  }

  ScopedWorkDir Dir;
  std::unique_ptr<TfrmMain> Window;
};

TEST_F(MainLayout, WindowIsTheQuorvaneMainWindow) {
  EXPECT_EQ(Window->objectName(), QStringLiteral("frmMain"));
  EXPECT_EQ(Window->windowTitle(), QStringLiteral("Quorvane"));
  // About 734 x 623 with its frame; resizable.
  EXPECT_NEAR(Window->width(), 726, 30);
  EXPECT_NEAR(Window->height(), 596, 30);
  EXPECT_LT(Window->minimumWidth(), Window->width());
  EXPECT_GT(Window->maximumWidth(), Window->width());
}

TEST_F(MainLayout, EveryControlHasItsNameKindTextStateAndHint) {
  for (const Expected& e : kControls) {
    SCOPED_TRACE(e.name);
    auto* control = Window->findChild<QWidget*>(QString::fromLatin1(e.name));
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(control->inherits(e.kind)) << control->metaObject()->className();
    if (e.text != nullptr) {
      EXPECT_EQ(TextOf(control), QString::fromLatin1(e.text));
    }
    EXPECT_EQ(control->isEnabled(), e.enabled);
    EXPECT_TRUE(control->isVisibleTo(Window.get()));
    EXPECT_EQ(control->toolTip(), QString::fromLatin1(e.hint));
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
      EXPECT_EQ(edit->maxLength(), e.maxLength > 0 ? e.maxLength : 32767);
      const bool readOut = std::string(e.name) == "eCSR1" || std::string(e.name) == "eCSR2" ||
                           std::string(e.name) == "eBGoSeting";
      EXPECT_EQ(edit->isReadOnly(), readOut);
    }
  }
}

TEST_F(MainLayout, NoNamedControlIsMissingFromTheList) {
  std::set<std::string> listed;
  for (const Expected& e : kControls) listed.insert(e.name);
  for (QWidget* widget : Window->findChildren<QWidget*>()) {
    if (widget->objectName().isEmpty() || IsPartOfAComposite(widget)) continue;
    EXPECT_EQ(listed.count(widget->objectName().toStdString()), 1u)
        << "unlisted control " << widget->objectName().toStdString();
  }
}

TEST_F(MainLayout, TriggerSourcesRatesAndTabsHaveTheirTexts) {
  auto* sources = Control<TRadioGroup>(Window.get(), "rgTriggerSource");
  const QStringList sourceTexts = {"0 L1A ECL",    "1 L1A NIM", "2 L1A NIM", "3 L1A NIM",
                                   "4 VME sended", "5 Random",  "6 Calibr."};
  ASSERT_EQ(sources->Count(), sourceTexts.size());
  for (int i = 0; i < sources->Count(); ++i) EXPECT_EQ(sources->ItemText(i), sourceTexts[i]);
  EXPECT_EQ(sources->ItemIndex(), -1);

  auto* rates = Control<QComboBox>(Window.get(), "cbRanGenRate");
  const QStringList rateTexts = {"1 Hz",   "100 Hz", "1 kHz",  "5 kHz",
                                 "10 kHz", "25 kHz", "50 kHz", "100 kHz"};
  ASSERT_EQ(rates->count(), rateTexts.size());
  for (int i = 0; i < rates->count(); ++i) EXPECT_EQ(rates->itemText(i), rateTexts[i]);
  EXPECT_TRUE(rates->isEditable());

  auto* tabs = Control<QTabBar>(Window.get(), "TabControl1");
  ASSERT_EQ(tabs->count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(tabs->tabText(i), QStringLiteral("B-Go %1").arg(i));
  EXPECT_EQ(tabs->currentIndex(), 0);

  // Pick-only lists, empty at start.
  for (const char* name : {"cmbTTC", "lbPresettings"}) {
    auto* list = Control<QComboBox>(Window.get(), name);
    EXPECT_FALSE(list->isEditable()) << name;
    EXPECT_EQ(list->count(), 0) << name;
  }
}

TEST_F(MainLayout, CheckBoxesStartAsOperatorsKnowThem) {
  const std::pair<const char*, bool> boxes[] = {
      {"chbOrbitSignalSel", true}, {"chbEnable", false}, {"chbSync", false},
      {"chSingle", false},         {"chbFIFO", false},   {"chbCalibration", false},
      {"chbRetransmit", true},     {"chbLFACExt", true}, {"chbTRIGRegEnable", true},
      {"chbTrigRegExt", true},
  };
  for (const auto& [name, checked] : boxes) {
    EXPECT_EQ(Control<QCheckBox>(Window.get(), name)->isChecked(), checked) << name;
  }
}

TEST_F(MainLayout, InhibitBoxesRangeOverTheirRegisterWidths) {
  for (int n = 0; n < 4; ++n) {
    SCOPED_TRACE(n);
    const std::string delay = "cseInh" + std::to_string(n) + "Delay";
    const std::string duration = "cseInh" + std::to_string(n) + "Duration";
    auto* delayBox = Control<TSpinEdit>(Window.get(), delay.c_str());
    auto* durationBox = Control<TSpinEdit>(Window.get(), duration.c_str());
    EXPECT_EQ(delayBox->minimum(), 0);
    EXPECT_EQ(delayBox->maximum(), 4095);
    EXPECT_EQ(durationBox->minimum(), 0);
    EXPECT_EQ(durationBox->maximum(), 255);
    EXPECT_EQ(delayBox->Value(), 0);
    EXPECT_EQ(durationBox->Value(), 0);
    EXPECT_EQ(delayBox->singleStep(), 1);
    // The arrows stop at the top of the range.
    delayBox->SetValue(4095);
    delayBox->stepUp();
    EXPECT_EQ(delayBox->Value(), 4095);
    durationBox->SetValue(255);
    durationBox->stepUp();
    EXPECT_EQ(durationBox->Value(), 255);
  }
}

TEST_F(MainLayout, OnlyTheMkIIFeaturesAreYellow) {
  const QColor yellow = QApplication::palette().color(QPalette::ToolTipBase);
  ASSERT_NE(yellow, QApplication::palette().color(QPalette::Window));
  const std::set<std::string> marked = {"Panel8",       "Panel10",          "chbCalibration",
                                        "GroupBox7",    "chbTRIGRegEnable", "chbTrigRegExt",
                                        "lblTRIGRegSad"};
  for (const Expected& e : kControls) {
    auto* control = Window->findChild<QWidget*>(QString::fromLatin1(e.name));
    ASSERT_NE(control, nullptr) << e.name;
    EXPECT_EQ(VisibleBackground(control) == yellow, marked.count(e.name) == 1) << e.name;
  }
  // The unnamed radio items too keep the usual colour.
  for (QRadioButton* item : Window->findChildren<QRadioButton*>()) {
    EXPECT_NE(VisibleBackground(item), yellow) << item->text().toStdString();
  }
  // The TRIGWORD edit and button keep their usual faces.
  EXPECT_EQ(VisibleBackground(Control<QLineEdit>(Window.get(), "eTRIGRegSad")),
            QApplication::palette().color(QPalette::Base));
  EXPECT_EQ(VisibleBackground(Control<QPushButton>(Window.get(), "bTRIGRegSet")),
            QApplication::palette().color(QPalette::Button));
}

TEST_F(MainLayout, ControlsLieInsideTheirContainersWithoutOverlapping) {
  // Intended overlaps: the Mk II marker covers the seventh choice's label,
  // and the selected tab joins the page below it.
  const std::set<std::pair<std::string, std::string>> allowed = {
      {"Panel10", "rgTriggerSource"}, {"TabControl1", "TabControl1Page"}};
  std::vector<QWidget*> controls;
  for (const Expected& e : kControls) {
    controls.push_back(Window->findChild<QWidget*>(QString::fromLatin1(e.name)));
  }
  for (QWidget* control : controls) {
    ASSERT_NE(control, nullptr);
    const std::string name = control->objectName().toStdString();
    EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry()))
        << name << " sticks out of " << control->parentWidget()->objectName().toStdString();
    for (QWidget* other : controls) {
      if (other == control || other->parentWidget() != control->parentWidget()) continue;
      const std::string otherName = other->objectName().toStdString();
      if (allowed.count({name, otherName}) || allowed.count({otherName, name})) continue;
      EXPECT_FALSE(control->geometry().intersects(other->geometry()))
          << name << " overlaps " << otherName;
    }
  }
}

TEST_F(MainLayout, CaptionsFitTheirControls) {
  for (const Expected& e : kControls) {
    auto* control = Window->findChild<QWidget*>(QString::fromLatin1(e.name));
    ASSERT_NE(control, nullptr) << e.name;
    const QFontMetrics metrics(control->font());
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
      EXPECT_LE(metrics.horizontalAdvance(group->title()) + 8, group->width()) << e.name;
    } else if (qobject_cast<QPushButton*>(control) != nullptr) {
      const QString text = qobject_cast<QPushButton*>(control)->text();
      EXPECT_LE(metrics.horizontalAdvance(text) + 8, control->width()) << e.name;
    } else if (qobject_cast<QCheckBox*>(control) != nullptr ||
               qobject_cast<QLabel*>(control) != nullptr) {
      EXPECT_LE(control->sizeHint().width(), control->width()) << e.name;
      EXPECT_LE(metrics.height(), control->height()) << e.name;
    }
  }
  for (QRadioButton* item : Window->findChildren<QRadioButton*>()) {
    EXPECT_LE(item->sizeHint().width(), item->width()) << item->text().toStdString();
  }
  // A CSR read-out shows all sixteen bits.
  auto* readOut = Control<QLineEdit>(Window.get(), "eCSR1");
  readOut->setText(QStringLiteral("0000000000000000"));
  EXPECT_LE(QFontMetrics(readOut->font()).horizontalAdvance(readOut->text()) + 6, readOut->width());
}

}  // namespace
