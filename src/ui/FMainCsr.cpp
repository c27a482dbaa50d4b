// The CSR1 panel (trigger source, random rate, orbit, L1A FIFO, CSR1
// read-out), the CSR2 panel (read-out, B-Go FIFO reset), the inhibits and
// the module reset: building, binding and handlers.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QString>
#include <algorithm>
#include <bitset>

#include "ui/EventGuard.h"
#include "ui/FMain.h"
#include "ui/FMainControls.h"
#include "ui/RadioGroup.h"
#include "ui/SpinEdit.h"

using namespace frm_main;

namespace {

constexpr int kVMETriggerSource = 4;
constexpr int kRandomTriggerSource = 5;

// A register as sixteen "0"/"1" characters, bit 15 first.
QString BitString(std::uint16_t value) {
  return QString::fromStdString(std::bitset<16>(value).to_string());
}

TSpinEdit* AddInhibitBox(QWidget* parent, const char* name, const QRect& place, int maximum) {
  // The inhibit boxes bring a typed value into range when they are left.
  auto* box = Named(new TSpinEdit(parent, TSpinEdit::ClampMode::OnLeave), name, place);
  box->setRange(0, maximum);
  box->SetValue(0);
  return box;
}

// Centres a control of the given size vertically on a radio group item.
QRect BesideItem(const TRadioGroup* group, int item, int x, int width, int height) {
  const QRect row = group->ItemRect(item).translated(group->pos());
  return {x, row.center().y() - height / 2 + 1, width, height};
}

}  // namespace

void TfrmMain::BuildCsrControls() {
  BuildCsr1Panel();
  BuildCsr2Panel();
  BuildInhibitGroup();
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

void TfrmMain::BindCsrControls() {
  Bind(rgTriggerSource, &TRadioGroup::Click, this, [this] { rgTriggerSourceClick(); });
  Bind(btVMETriger, &QPushButton::clicked, this, [this] { btVMETrigerClick(); });
  // The rate box changes on an operator's pick of another item and on every
  // edit of its text; a selection made from code is no change, and neither
  // is picking the item the box already shows.
  Bind(cbRanGenRate, &QComboBox::activated, this, [this] {
    if (cbRanGenRate->currentText() != RateTextSent) cbRanGenRateChange();
  });
  Bind(cbRanGenRate->lineEdit(), &QLineEdit::textEdited, this, [this] {
    FollowTypedRate();
    cbRanGenRateChange();
  });
  // A check box reports every change of its state, also one made from code.
  Bind(chbOrbitSignalSel, &QCheckBox::toggled, this, [this] { chbOrbitSignalSelClick(); });
  Bind(bL1AFIFOReset, &QPushButton::clicked, this, [this] { bL1AFIFOResetClick(); });
  Bind(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  Bind(btReadCSR2, &QPushButton::clicked, this, [this] { btReadCSR2Click(); });
  Bind(btCSR2ResetFIFO, &QPushButton::clicked, this, [this] { btCSR2ResetFIFOClick(); });
  Bind(bReset, &QPushButton::clicked, this, [this] { bResetClick(); });
  Bind(btAplayInhSetings, &QPushButton::clicked, this, [this] { btAplayInhSetingsClick(); });
}

void TfrmMain::FollowTypedRate() {
  // Typing changes only the text; the list's index must follow it, or the
  // arrow keys and the wheel would step from the item shown before.
  QLineEdit* edit = cbRanGenRate->lineEdit();
  const QString text = edit->text();
  const int cursor = edit->cursorPosition();
  const QSignalBlocker quiet(cbRanGenRate);
  cbRanGenRate->setCurrentIndex(cbRanGenRate->findText(text));
  if (edit->text() != text) edit->setText(text);  // index -1 clears the text
  edit->setCursorPosition(cursor);
}

int TfrmMain::RanGenRateIndex() const {
  // A typed text counts as an item only when it is that item's text exactly.
  return cbRanGenRate->findText(cbRanGenRate->currentText());
}

void TfrmMain::rgTriggerSourceClick() {
  const int source = rgTriggerSource->ItemIndex();
  btVMETriger->setEnabled(source == kVMETriggerSource);
  if (source == kRandomTriggerSource) {
    // The rate goes out first, with the previous source.
    cbRanGenRate->setEnabled(true);
    Module->SetRandomRate(RanGenRateIndex());
  } else {
    cbRanGenRate->setEnabled(false);
  }
  Module->SetTriggerSource(source);
}

void TfrmMain::btVMETrigerClick() { Module->VMETrigger(); }

void TfrmMain::cbRanGenRateChange() {
  RateTextSent = cbRanGenRate->currentText();
  // No item (-1) puts 7 in the rate field.
  Module->SetRandomRate(RanGenRateIndex());
}

void TfrmMain::chbOrbitSignalSelClick() { Module->SetOrbitSignal(chbOrbitSignalSel->isChecked()); }

void TfrmMain::bL1AFIFOResetClick() { Module->ResetL1AFIFO(true); }

void TfrmMain::Button1Click() {
  // The read completes before the edit changes: a failed read leaves it.
  const std::uint16_t value = Module->ReadCSR1();
  eCSR1->setText(BitString(value));
}

void TfrmMain::btReadCSR2Click() {
  const std::uint16_t value = Module->ReadCSR2();
  eCSR2->setText(BitString(value));
}

void TfrmMain::btCSR2ResetFIFOClick() { Module->ResetBGoFIFOs(std::bitset<4>(0b1111)); }

void TfrmMain::bResetClick() { Module->Reset(); }

void TfrmMain::btAplayInhSetingsClick() {
  // The values as they stand: a box the operator just left is already back
  // in range, as the click took the focus from it. A click from code while a
  // box still holds a typed 5000 must not reach a 12-bit register either.
  const auto value = [](const TSpinEdit* box) {
    return std::clamp(box->Value(), box->minimum(), box->maximum());
  };
  Module->SetInhibit0(value(cseInh0Delay), value(cseInh0Duration));
  Module->SetInhibit1(value(cseInh1Delay), value(cseInh1Duration));
  Module->SetInhibit2(value(cseInh2Delay), value(cseInh2Duration));
  Module->SetInhibit3(value(cseInh3Delay), value(cseInh3Duration));
}
