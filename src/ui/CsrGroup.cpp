#include "ui/CsrGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <bitset>

#include "operate/ModuleSender.h"
#include "ui/EventGuard.h"
#include "ui/GroupControls.h"
#include "ui/RadioGroup.h"
#include "ui/SpinEdit.h"

using namespace group_controls;

namespace {

constexpr int kVMETriggerSource = 4;

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

CsrGroup::CsrGroup(QWidget* window) : QWidget(window) {
  BuildCsr1Panel();
  BuildCsr2Panel();
  BuildInhibitGroup();
  FitToControls(this);
}

void CsrGroup::BuildCsr1Panel() {
  QFrame* Panel3 = AddPanel(this, "Panel3", {kLeft, 8, 190, 262});
  AddLabel(Panel3, "Label11", QStringLiteral("CSR1"), {6, 3, 60, 14});

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
  MarkMkII(AddLabel(Panel3, "Panel10", QStringLiteral("Calibr."),
                    {item6.left() + 18, item6.center().y() - 7, 46, 16}, Qt::AlignCenter));

  QLabel* Panel1 = AddCaptionPanel(Panel3, "Panel1", QStringLiteral(" Orbit Signal"),
                                   {5, 184, 180, 24}, Qt::AlignLeft | Qt::AlignVCenter);
  chbOrbitSignalSel =
      AddCheckBox(Panel1, "chbOrbitSignalSel", QStringLiteral("internal"), {104, 3, 72, 18}, true);

  bL1AFIFOReset =
      AddButton(Panel3, "bL1AFIFOReset", QStringLiteral("L1A FIFO Reset"), {5, 212, 92, 22});
  bL1AFIFOReset->setToolTip(QStringLiteral("L1A  FIFO Reset"));

  Button1 = AddButton(Panel3, "Button1", QStringLiteral("READ CSR1"), {5, 237, 68, 22});
  eCSR1 = AddReadOut(Panel3, "eCSR1", {76, 238, 110, 20});
}

void CsrGroup::BuildCsr2Panel() {
  QFrame* Panel2 = AddPanel(this, "Panel2", {kLeft, 274, 190, 87});
  AddLabel(Panel2, "Label10", QStringLiteral("CSR2"), {6, 3, 60, 14});
  btReadCSR2 = AddButton(Panel2, "btReadCSR2", QStringLiteral("READ CSR2"), {5, 24, 68, 22});
  eCSR2 = AddReadOut(Panel2, "eCSR2", {76, 25, 110, 20});
  btCSR2ResetFIFO =
      AddButton(Panel2, "btCSR2ResetFIFO", QStringLiteral("RESET B-Go FIFO"), {5, 55, 104, 24});
}

void CsrGroup::BuildInhibitGroup() {
  QGroupBox* GroupBox2 =
      AddGroup(this, "GroupBox2", QStringLiteral("Inhibit"), {kLeft, 365, 190, 193});
  AddLabel(GroupBox2, "lblInhDelay", QStringLiteral("Delay"), {66, 18, 56, 14}, Qt::AlignCenter);
  AddLabel(GroupBox2, "lblInhDuration", QStringLiteral("Duration"), {126, 18, 58, 14},
           Qt::AlignCenter);
  int y = 36;
  for (int n = 0; n < 4; ++n) {
    const std::string label = "lblInhibit" + std::to_string(n);
    const std::string delay = "cseInh" + std::to_string(n) + "Delay";
    const std::string duration = "cseInh" + std::to_string(n) + "Duration";
    AddLabel(GroupBox2, label.c_str(), QStringLiteral("Inhibit %1").arg(n), {8, y, 56, 22});
    InhibitDelay[n] =
        AddInhibitBox(GroupBox2, delay.c_str(), {66, y, 56, 22}, ModuleSender::kMaxInhibitDelay);
    InhibitDuration[n] = AddInhibitBox(GroupBox2, duration.c_str(), {128, y, 56, 22},
                                       ModuleSender::kMaxInhibitDuration);
    y += 29;
  }
  btAplayInhSetings =
      AddButton(GroupBox2, "btAplayInhSetings", QStringLiteral("Apply"), {66, 158, 75, 24});

  bReset = AddButton(this, "bReset", QStringLiteral("Reset TTCvi"), {kLeft, 564, 90, 25});
}

void CsrGroup::ShowFirstRate() {
  // Selecting from code is no operator change: nothing is sent, and a later
  // pick of the item shown is none either.
  cbRanGenRate->setCurrentIndex(0);
  RateTextSent = cbRanGenRate->currentText();
}

void CsrGroup::SendOrbit(ModuleSender& sender) const {
  sender.SendOrbit(chbOrbitSignalSel->isChecked());
}

void CsrGroup::Bind(ModuleSender& sender) {
  Sender = &sender;
  ::Bind(
      rgTriggerSource, &TRadioGroup::Click, this,
      [this] {
        const int source = rgTriggerSource->ItemIndex();
        return "Trigger Source " +
               (source < 0 ? std::string("none") : rgTriggerSource->ItemText(source).toStdString());
      },
      [this] { rgTriggerSourceClick(); });
  ::Bind(btVMETriger, &QPushButton::clicked, this, "VME trigger (Triger)",
         [this] { Sender->Module().VMETrigger(); });
  // The rate box changes on an operator's pick of another item and on every
  // edit of its text; a selection made from code is no change, and neither
  // is picking the item the box already shows. Its editor is part of it.
  ::Bind(
      cbRanGenRate, &QComboBox::activated, this,
      [this] { return "Random rate '" + cbRanGenRate->currentText().toStdString() + "'"; },
      [this] {
        if (cbRanGenRate->currentText() != RateTextSent) cbRanGenRateChange();
      });
  ::Bind(cbRanGenRate->lineEdit(), &QLineEdit::textEdited, this, [this] {
    FollowTypedRate();
    cbRanGenRateChange();
  });
  // A check box reports every change of its state, also one made from code.
  ::Bind(
      chbOrbitSignalSel, &QCheckBox::toggled, this,
      [this] {
        return std::string("Orbit Signal ") +
               (chbOrbitSignalSel->isChecked() ? "internal" : "external");
      },
      [this] { SendOrbit(*Sender); });
  ::Bind(bL1AFIFOReset, &QPushButton::clicked, this, "L1A FIFO Reset",
         [this] { Sender->Module().ResetL1AFIFO(true); });
  ::Bind(Button1, &QPushButton::clicked, this, "READ CSR1", [this] { Button1Click(); });
  ::Bind(btReadCSR2, &QPushButton::clicked, this, "READ CSR2", [this] { btReadCSR2Click(); });
  ::Bind(btCSR2ResetFIFO, &QPushButton::clicked, this, "RESET B-Go FIFO",
         [this] { Sender->Module().ResetBGoFIFOs(std::bitset<4>(0b1111)); });
  ::Bind(bReset, &QPushButton::clicked, this, "Reset TTCvi", [this] { Sender->Module().Reset(); });
  ::Bind(btAplayInhSetings, &QPushButton::clicked, this, "Apply inhibits",
         [this] { btAplayInhSetingsClick(); });
}

void CsrGroup::FollowTypedRate() {
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

int CsrGroup::RateIndex() const {
  // A typed text counts as an item only when it is that item's text exactly.
  return cbRanGenRate->findText(cbRanGenRate->currentText());
}

void CsrGroup::EnableForSource(int source) {
  btVMETriger->setEnabled(source == kVMETriggerSource);
  cbRanGenRate->setEnabled(source == ModuleSender::kRandomTriggerSource);
}

void CsrGroup::SendingTriggerSource(int source) { EnableForSource(source); }

void CsrGroup::rgTriggerSourceClick() {
  const int source = rgTriggerSource->ItemIndex();
  EnableForSource(source);
  Sender->SendTriggerSource(source, RateIndex());
}

void CsrGroup::cbRanGenRateChange() {
  RateTextSent = cbRanGenRate->currentText();
  // No item (-1) puts 7 in the rate field.
  Sender->SendRate(RateIndex());
}

void CsrGroup::Button1Click() {
  // The read completes before the edit changes: a failed read leaves it.
  const std::uint16_t value = Sender->Module().ReadCSR1();
  eCSR1->setText(BitString(value));
}

void CsrGroup::btReadCSR2Click() {
  const std::uint16_t value = Sender->Module().ReadCSR2();
  eCSR2->setText(BitString(value));
}

void CsrGroup::btAplayInhSetingsClick() {
  // The values as they stand: a box the operator just left is already back
  // in range, as the click took the focus from it; one still holding a typed
  // 5000 is brought into range by the sender.
  ModuleSender::Inhibits delays{};
  ModuleSender::Inhibits durations{};
  for (std::size_t n = 0; n < 4; ++n) {
    delays[n] = InhibitDelay[n]->Value();
    durations[n] = InhibitDuration[n]->Value();
  }
  Sender->SendInhibits(delays, durations);
}

void CsrGroup::CopyTo(PreSettings& preset) const {
  preset.RanGenRate = RateIndex();
  preset.TriggerSource = rgTriggerSource->ItemIndex();
  preset.OrbitSignal = chbOrbitSignalSel->isChecked();
  for (std::size_t n = 0; n < 4; ++n) {
    preset.InhibitDelay[n] = InhibitDelay[n]->Value();
    preset.InhibitDuration[n] = InhibitDuration[n]->Value();
  }
}

void CsrGroup::Show(const PreSettings& preset) {
  cbRanGenRate->setCurrentIndex(preset.RanGenRate);
  RateTextSent = cbRanGenRate->currentText();
  rgTriggerSource->SetItemIndex(preset.TriggerSource);
  {
    const QSignalBlocker quiet(chbOrbitSignalSel);  // shown now, sent by the preset
    chbOrbitSignalSel->setChecked(preset.OrbitSignal);
  }
  for (std::size_t n = 0; n < 4; ++n) {
    InhibitDelay[n]->SetValue(preset.InhibitDelay[n]);
    InhibitDuration[n]->SetValue(preset.InhibitDuration[n]);
  }
}
