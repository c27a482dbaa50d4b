// The main window's controls: names, captions, start states and places.
// Places are fixed, in three columns and a bottom strip, as operators know
// the panel; the window may be resized but its controls do not move.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

#include "ui/FMain.h"
#include "ui/FSelectValue.h"
#include "ui/ModulePanel.h"
#include "ui/RadioGroup.h"
#include "ui/SpinEdit.h"
#include "ui/WheelGuard.h"

namespace {

// Client area and the three columns.
constexpr int kClientWidth = 735;
constexpr int kClientHeight = 600;
constexpr int kLeft = 8;      // CSR1, CSR2, inhibits
constexpr int kMiddle = 204;  // B-Go tab, asynchronous cycles, TRIGWORD
constexpr int kRight = 531;   // RX, presets, help
// The panel's captions are sized for a small font; at this size even a wide
// sans font keeps every caption inside its control.
constexpr double kFontPointSize = 7.5;

const QString kNumberHint = QStringLiteral("Decyamal or Hexadecymal (with x on begin)");

template <class T>
T* Named(T* control, const char* name, const QRect& place) {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(place);
  return control;
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption,
                       const QRect& place) {
  return Named(new QPushButton(caption, parent), name, place);
}

QCheckBox* AddCheckBox(QWidget* parent, const char* name, const QString& caption,
                       const QRect& place, bool checked) {
  auto* box = Named(new QCheckBox(caption, parent), name, place);
  box->setChecked(checked);
  return box;
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, const QRect& place,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* label = Named(new QLabel(text, parent), name, place);
  label->setAlignment(alignment);
  return label;
}

QLineEdit* AddEdit(QWidget* parent, const char* name, const QString& text, const QRect& place,
                   int maxLength = 0) {
  auto* edit = Named(new QLineEdit(text, parent), name, place);
  if (maxLength > 0) edit->setMaxLength(maxLength);
  return edit;
}

QLineEdit* AddReadOut(QWidget* parent, const char* name, const QRect& place) {
  auto* edit = AddEdit(parent, name, QString(), place);
  edit->setReadOnly(true);
  return edit;
}

// A raised panel; with a caption it is a label drawn as a panel.
QFrame* AddPanel(QWidget* parent, const char* name, const QRect& place) {
  auto* panel = Named(new QFrame(parent), name, place);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  return panel;
}

QLabel* AddCaptionPanel(QWidget* parent, const char* name, const QString& caption,
                        const QRect& place, Qt::Alignment alignment) {
  auto* panel = AddLabel(parent, name, caption, place, alignment);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  return panel;
}

QGroupBox* AddGroup(QWidget* parent, const char* name, const QString& title, const QRect& place) {
  return Named(new QGroupBox(title, parent), name, place);
}

TSpinEdit* AddInhibitBox(QWidget* parent, const char* name, const QRect& place, int maximum) {
  // The inhibit boxes bring a typed value into range when they are left.
  auto* box = Named(new TSpinEdit(parent, TSpinEdit::ClampMode::OnLeave), name, place);
  box->setRange(0, maximum);
  box->SetValue(0);
  return box;
}

// A pick-only list. Its choice decides where later writes go (TTCrx address)
// or what they send (preset), so a stray scroll over it must not change it.
QComboBox* AddPickList(QWidget* parent, const char* name, const QRect& place) {
  auto* list = Named(new QComboBox(parent), name, place);
  RequireFocusForWheel(list);
  return list;
}

// Centres a control of the given size vertically on a radio group item.
QRect BesideItem(const TRadioGroup* group, int item, int x, int width, int height) {
  const QRect row = group->ItemRect(item).translated(group->pos());
  return {x, row.center().y() - height / 2 + 1, width, height};
}

}  // namespace

void TfrmMain::BuildControls() {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Quorvane"));
  QFont small = font();
  small.setPointSizeF(kFontPointSize);
  setFont(small);
  resize(kClientWidth, kClientHeight);

  BuildCsr1Panel();
  BuildCsr2Panel();
  BuildInhibitGroup();
  BuildBGoTab();
  BuildAsyncCycles();
  BuildTrigWordGroup();
  BuildRxGroup();
  BuildPresetGroup();
  BuildCornerControls();
}

void TfrmMain::MarkMkII(QWidget* control) {
  // The Mk II features wear the tool-tip background (pale yellow). Buttons
  // and check boxes fill with the button role by default; the mark is a
  // window-coloured background for every kind.
  QPalette marked = control->palette();
  marked.setColor(QPalette::Window, marked.color(QPalette::ToolTipBase));
  marked.setColor(QPalette::WindowText, marked.color(QPalette::ToolTipText));
  control->setPalette(marked);
  control->setBackgroundRole(QPalette::Window);
  control->setAutoFillBackground(true);
}

void TfrmMain::BuildCsr1Panel() {
  Panel3 = AddPanel(this, "Panel3", {kLeft, 8, 190, 262});
  Label11 = AddLabel(Panel3, "Label11", QStringLiteral("CSR1"), {6, 3, 60, 14});

  rgTriggerSource = Named(new TRadioGroup(Panel3), "rgTriggerSource", {5, 18, 110, 162});
  rgTriggerSource->setTitle(QStringLiteral("Trigger Source"));
  rgTriggerSource->SetItems({QStringLiteral("0 L1A ECL"), QStringLiteral("1 L1A NIM"),
                             QStringLiteral("2 L1A NIM"), QStringLiteral("3 L1A NIM"),
                             QStringLiteral("4 VME sended"), QStringLiteral("5 Random"),
                             QStringLiteral("6 Calibr.")});
  rgTriggerSource->SetItemIndex(-1);

  btVMETriger = AddButton(Panel3, "btVMETriger", QStringLiteral("Triger"),
                          BesideItem(rgTriggerSource, 4, 117, 68, 20));
  btVMETriger->setEnabled(false);

  cbRanGenRate =
      Named(new QComboBox(Panel3), "cbRanGenRate", BesideItem(rgTriggerSource, 5, 117, 70, 20));
  cbRanGenRate->setEditable(true);
  // Typed text stays typed: no completion and no new items, as in a plain
  // drop-down with an edit field.
  cbRanGenRate->setInsertPolicy(QComboBox::NoInsert);
  cbRanGenRate->setCompleter(nullptr);
  cbRanGenRate->addItems({QStringLiteral("1 Hz"), QStringLiteral("100 Hz"), QStringLiteral("1 kHz"),
                          QStringLiteral("5 kHz"), QStringLiteral("10 kHz"),
                          QStringLiteral("25 kHz"), QStringLiteral("50 kHz"),
                          QStringLiteral("100 kHz")});
  cbRanGenRate->setEnabled(false);
  RequireFocusForWheel(cbRanGenRate);

  // The calibration trigger exists only on the Mk II: its label is covered
  // by a marker in the highlight colour.
  const QRect item6 = rgTriggerSource->ItemRect(6).translated(rgTriggerSource->pos());
  Panel10 = AddLabel(Panel3, "Panel10", QStringLiteral("Calibr."),
                     {item6.left() + 18, item6.center().y() - 7, 46, 16}, Qt::AlignCenter);
  MarkMkII(Panel10);

  Panel1 = AddCaptionPanel(Panel3, "Panel1", QStringLiteral(" Orbit Signal"), {5, 184, 180, 24},
                           Qt::AlignLeft | Qt::AlignVCenter);
  chbOrbitSignalSel =
      AddCheckBox(Panel1, "chbOrbitSignalSel", QStringLiteral("internal"), {104, 3, 72, 18}, true);

  bL1AFIFOReset =
      AddButton(Panel3, "bL1AFIFOReset", QStringLiteral("L1A FIFO Reset"), {5, 212, 92, 22});
  bL1AFIFOReset->setToolTip(QStringLiteral("L1A  FIFO Reset"));

  Button1 = AddButton(Panel3, "Button1", QStringLiteral("READ CSR1"), {5, 237, 68, 22});
  eCSR1 = AddReadOut(Panel3, "eCSR1", {76, 238, 110, 20});
}

void TfrmMain::BuildCsr2Panel() {
  Panel2 = AddPanel(this, "Panel2", {kLeft, 274, 190, 87});
  Label10 = AddLabel(Panel2, "Label10", QStringLiteral("CSR2"), {6, 3, 60, 14});
  btReadCSR2 = AddButton(Panel2, "btReadCSR2", QStringLiteral("READ CSR2"), {5, 24, 68, 22});
  eCSR2 = AddReadOut(Panel2, "eCSR2", {76, 25, 110, 20});
  btCSR2ResetFIFO =
      AddButton(Panel2, "btCSR2ResetFIFO", QStringLiteral("RESET B-Go FIFO"), {5, 55, 104, 24});
}

void TfrmMain::BuildInhibitGroup() {
  GroupBox2 = AddGroup(this, "GroupBox2", QStringLiteral("Inhibit"), {kLeft, 365, 190, 193});
  AddLabel(GroupBox2, "lblInhDelay", QStringLiteral("Delay"), {66, 18, 56, 14}, Qt::AlignCenter);
  AddLabel(GroupBox2, "lblInhDuration", QStringLiteral("Duration"), {126, 18, 58, 14},
           Qt::AlignCenter);

  struct Row {
    const char* label;
    const char* caption;
    const char* delay;
    const char* duration;
    TSpinEdit** delayBox;
    TSpinEdit** durationBox;
  };
  const Row rows[] = {
      {"lblInhibit0", "Inhibit 0", "cseInh0Delay", "cseInh0Duration", &cseInh0Delay,
       &cseInh0Duration},
      {"lblInhibit1", "Inhibit 1", "cseInh1Delay", "cseInh1Duration", &cseInh1Delay,
       &cseInh1Duration},
      {"lblInhibit2", "Inhibit 2", "cseInh2Delay", "cseInh2Duration", &cseInh2Delay,
       &cseInh2Duration},
      {"lblInhibit3", "Inhibit 3", "cseInh3Delay", "cseInh3Duration", &cseInh3Delay,
       &cseInh3Duration},
  };
  int y = 36;
  for (const Row& row : rows) {
    AddLabel(GroupBox2, row.label, QString::fromLatin1(row.caption), {8, y, 56, 22});
    // Delay 12 bits, duration 8 bits.
    *row.delayBox = AddInhibitBox(GroupBox2, row.delay, {66, y, 56, 22}, 4095);
    *row.durationBox = AddInhibitBox(GroupBox2, row.duration, {128, y, 56, 22}, 255);
    y += 29;
  }
  btAplayInhSetings =
      AddButton(GroupBox2, "btAplayInhSetings", QStringLiteral("Apply"), {66, 158, 75, 24});

  bReset = AddButton(this, "bReset", QStringLiteral("Reset TTCvi"), {kLeft, 564, 90, 25});
}

void TfrmMain::BuildBGoTab() {
  // Four tabs over one page: the page's controls act on the channel of the
  // selected tab.
  TabControl1 = new QTabBar(this);
  TabControl1->setObjectName(QStringLiteral("TabControl1"));
  TabControl1->setDrawBase(false);
  TabControl1->setExpanding(false);
  for (int channel = 0; channel < 4; ++channel) {
    TabControl1->addTab(QStringLiteral("B-Go %1").arg(channel));
  }
  TabControl1->setCurrentIndex(0);
  // Changing the tab reloads the shared boxes, which can write CSR2: the
  // wheel switches tabs only when the operator has put the focus there.
  RequireFocusForWheel(TabControl1);
  const int tabHeight = TabControl1->sizeHint().height();
  TabControl1->setGeometry(kMiddle + 2, 8, 319, tabHeight);
  TabControl1Page = Named(new QFrame(this), "TabControl1Page",
                          {kMiddle, 8 + tabHeight - 1, 321, 225 - tabHeight + 1});
  TabControl1Page->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  TabControl1->raise();  // the selected tab joins the page
  QWidget* page = TabControl1Page;

  GroupBox3 = AddGroup(page, "GroupBox3", QStringLiteral("Setings"), {6, 6, 108, 120});
  chbEnable = AddCheckBox(GroupBox3, "chbEnable", QStringLiteral("Enable"), {8, 18, 96, 18}, false);
  chbSync = AddCheckBox(GroupBox3, "chbSync", QStringLiteral("Asynchron"), {8, 37, 96, 18}, false);
  chSingle =
      AddCheckBox(GroupBox3, "chSingle", QStringLiteral("Repetetive"), {8, 56, 96, 18}, false);
  chbFIFO = AddCheckBox(GroupBox3, "chbFIFO", QStringLiteral("FIFO"), {8, 75, 96, 18}, false);
  chbCalibration = AddCheckBox(GroupBox3, "chbCalibration", QStringLiteral("Calibration"),
                               {8, 95, 82, 18}, false);
  MarkMkII(chbCalibration);
  chbCalibration->setEnabled(false);  // only channel 2 has a calibration mode

  chbRetransmit =
      AddCheckBox(page, "chbRetransmit", QStringLiteral("Retransmit"), {14, 134, 96, 18}, true);

  Label15 = AddLabel(page, "Label15", QStringLiteral("Data"), {122, 6, 40, 14});
  lbB_GoDataSeq = Named(new QListWidget(page), "lbB_GoDataSeq", {122, 22, 112, 110});
  bAddData = AddButton(page, "bAddData", QStringLiteral("Add"), {240, 22, 74, 22});
  bDeleteData = AddButton(page, "bDeleteData", QStringLiteral("Delete"), {240, 48, 74, 22});
  bLoadFIFO = AddButton(page, "bLoadFIFO", QStringLiteral("Load FIFO"), {240, 84, 74, 22});
  btB_GoSignal = AddButton(page, "btB_GoSignal", QStringLiteral("B-Go Signal"), {240, 110, 74, 22});
  bFIFO0Reset = AddButton(page, "bFIFO0Reset", QStringLiteral("Reset FIFO"), {122, 164, 86, 24});
  bFIFOStaus = AddButton(page, "bFIFOStaus", QStringLiteral("FIFO Staus"), {214, 164, 86, 24});

  bReadBGoSettings = AddButton(this, "bReadBGoSettings", QStringLiteral("Read B-Go Settings"),
                               {kMiddle, 237, 112, 24});
  eBGoSeting = AddReadOut(this, "eBGoSeting", {kMiddle + 116, 239, 60, 20});
}

void TfrmMain::BuildAsyncCycles() {
  Panel4 = AddPanel(this, "Panel4", {kMiddle, 266, 200, 153});

  GroupBox4 = AddGroup(Panel4, "GroupBox4", QStringLiteral("Long-Format asynchronus cycles"),
                       {4, 4, 192, 86});
  chbLFACExt = AddCheckBox(GroupBox4, "chbLFACExt", QStringLiteral("External subadres"),
                           {8, 17, 150, 18}, true);
  AddLabel(GroupBox4, "lblLFACSubaddr", QStringLiteral("SUBADDR"), {8, 38, 56, 14});
  AddLabel(GroupBox4, "lblLFACData", QStringLiteral("DATA"), {68, 38, 50, 14});
  eLFACSubaddr = AddEdit(GroupBox4, "eLFACSubaddr", QStringLiteral("000"), {8, 55, 50, 21}, 3);
  eLFACData = AddEdit(GroupBox4, "eLFACData", QStringLiteral("000"), {68, 55, 50, 21}, 3);
  bLFACSend = AddButton(GroupBox4, "bLFACSend", QStringLiteral("Send"), {128, 54, 56, 23});

  GroupBox5 = AddGroup(Panel4, "GroupBox5", QStringLiteral("Short-Format asynchronous cycles"),
                       {4, 94, 192, 55});
  AddLabel(GroupBox5, "lblSFACCommand", QStringLiteral("COMMAND"), {8, 23, 58, 21});
  eSFACCommand = AddEdit(GroupBox5, "eSFACCommand", QStringLiteral("000"), {68, 23, 50, 21}, 3);
  bSFACSend = AddButton(GroupBox5, "bSFACSend", QStringLiteral("Send"), {128, 22, 56, 23});

  for (QLineEdit* edit : {eLFACSubaddr, eLFACData, eSFACCommand}) edit->setToolTip(kNumberHint);
}

void TfrmMain::BuildTrigWordGroup() {
  GroupBox7 =
      AddGroup(this, "GroupBox7", QStringLiteral("TRIGWORD Register"), {kMiddle, 423, 200, 86});
  MarkMkII(GroupBox7);
  chbTRIGRegEnable =
      AddCheckBox(GroupBox7, "chbTRIGRegEnable", QStringLiteral("Enable after-trigger tranfer"),
                  {8, 17, 180, 18}, true);
  chbTrigRegExt = AddCheckBox(GroupBox7, "chbTrigRegExt", QStringLiteral("External subadres"),
                              {8, 36, 150, 18}, true);
  // The group's label and check boxes are drawn on its yellow; the edit and
  // the button keep their usual colours: they paint their own base and
  // button roles.
  lblTRIGRegSad = AddLabel(GroupBox7, "lblTRIGRegSad", QStringLiteral("SUBADDR"), {8, 58, 54, 21});
  eTRIGRegSad = AddEdit(GroupBox7, "eTRIGRegSad", QStringLiteral("000"), {68, 58, 50, 21}, 3);
  eTRIGRegSad->setToolTip(kNumberHint);
  bTRIGRegSet = AddButton(GroupBox7, "bTRIGRegSet", QStringLiteral("Set"), {128, 57, 56, 23});
}

void TfrmMain::BuildRxGroup() {
  GroupBox1 = AddGroup(this, "GroupBox1", QStringLiteral("RX"), {kRight, 8, 196, 226});

  Panel7 = AddPanel(GroupBox1, "Panel7", {4, 17, 188, 56});
  AddLabel(Panel7, "lblRxAddres", QStringLiteral("Rx Addres"), {5, 4, 56, 21});
  cmbTTC = AddPickList(Panel7, "cmbTTC", {62, 4, 122, 21});
  eRxName = AddEdit(Panel7, "eRxName", QStringLiteral("Name"), {4, 30, 38, 21}, 4);
  eRxName->setToolTip(QStringLiteral("Name must be difrent!!!"));
  eRxAddres = AddEdit(Panel7, "eRxAddres", QStringLiteral("000000"), {45, 30, 52, 21}, 6);
  bAddRxAddres = AddButton(Panel7, "bAddRxAddres", QStringLiteral("Add"), {100, 29, 38, 23});
  bRxAddressDelete =
      AddButton(Panel7, "bRxAddressDelete", QStringLiteral("Delete"), {141, 29, 44, 23});

  struct Row {
    const char* label;
    const char* caption;
    const char* selector;
    TfrSelectValue** control;
    const char* hint;
  };
  const Row rows[] = {
      {"lblDeskew1", "Deskew 1", "frSelectReg0", &frSelectReg0, nullptr},
      {"lblDeskew2", "Deskew 2", "frSelectReg1", &frSelectReg1, nullptr},
      // The coarse delays shift these TTCrx outputs.
      {"lblCoarDel1", "Coar Del 1", "frSelectReg2", &frSelectReg2,
       "L1Accept, Brcst1, BcntRes, EvCntRes, Brcst<5:2>"},
      {"lblCoarDel2", "Coar Del 2", "frSelectReg3", &frSelectReg3, "BrcstStr2, Brs<7:6>"},
  };
  int y = 80;
  for (const Row& row : rows) {
    QLabel* label =
        AddLabel(GroupBox1, row.label, QString::fromLatin1(row.caption), {8, y, 66, 22});
    *row.control = Named(new TfrSelectValue(GroupBox1), row.selector, {80, y, 104, 22});
    if (row.hint != nullptr) {
      label->setToolTip(QString::fromLatin1(row.hint));
      (*row.control)->setToolTip(QString::fromLatin1(row.hint));
    }
    y += 26;
  }

  Panel5 = AddCaptionPanel(GroupBox1, "Panel5", QStringLiteral(" Control Register"),
                           {4, 186, 188, 34}, Qt::AlignLeft | Qt::AlignVCenter);
  pCntrolReg =
      AddLabel(Panel5, "pCntrolReg", QStringLiteral("10010011"), {110, 7, 70, 20}, Qt::AlignCenter);
  pCntrolReg->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  pCntrolReg->setToolTip(QStringLiteral("Bouble Click to edit"));
}

void TfrmMain::BuildPresetGroup() {
  GroupBox6 = AddGroup(this, "GroupBox6", QStringLiteral("Presettings"), {kRight, 244, 196, 108});
  lbPresettings = AddPickList(GroupBox6, "lbPresettings", {8, 19, 122, 21});
  bAplayPreset = AddButton(GroupBox6, "bAplayPreset", QStringLiteral("Apply"), {136, 18, 52, 23});
  bAddPreset = AddButton(GroupBox6, "bAddPreset", QStringLiteral("Add"), {8, 46, 58, 23});
  bDeletePreset = AddButton(GroupBox6, "bDeletePreset", QStringLiteral("Delete"), {72, 46, 58, 23});
  eNewPresetName =
      AddEdit(GroupBox6, "eNewPresetName", QStringLiteral("eNewPresetName"), {8, 77, 122, 21});
}

void TfrmMain::BuildCornerControls() {
  bHelp = AddButton(this, "bHelp", QStringLiteral("Help"), {kRight, 360, 75, 25});

  Panel6 = Named(new TModulePanel(this), "Panel6", {622, 487, 105, 105});

  Panel8 =
      AddCaptionPanel(this, "Panel8", QStringLiteral("Yellow things available only in TTCvi Mk II"),
                      {402, 575, 216, 17}, Qt::AlignCenter);
  Panel8->setFrameStyle(QFrame::NoFrame);
  MarkMkII(Panel8);
}
