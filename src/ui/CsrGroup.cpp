#include "ui/CsrGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <bitset>

#include "base/Text.h"
#include "operate/ModuleSender.h"
#include "ui/EventGuard.h"
#include "ui/GroupControls.h"
#include "ui/RadioGroup.h"
#include "ui/SpinEdit.h"

using namespace group_controls;

namespace {

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

CsrGroup::CsrGroup(QWidget* window, PanelModel& model) : QWidget(window), Model(model) {
  BuildCsr1Panel();
  BuildCsr2Panel();
  BuildInhibitGroup();
  FitToControls(this);
  DrawCsr1();
  DrawInhibits();
  DrawReadOuts();
  RateTextSent = cbRanGenRate->currentText();
  BindHandlers();
  Model.AddListener(*this);
}

CsrGroup::~CsrGroup() { Model.RemoveListener(*this); }

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

void CsrGroup::BindHandlers() {
  ::Bind(
      rgTriggerSource, &TRadioGroup::Click, this,
      [this] {
        const int source = rgTriggerSource->ItemIndex();
        return "Trigger Source " +
               (source < 0 ? std::string("none") : rgTriggerSource->ItemText(source).toStdString());
      },
      [this] { Model.ChooseTriggerSource(rgTriggerSource->ItemIndex()); });
  ::Bind(btVMETriger, &QPushButton::clicked, this, "VME trigger (Triger)",
         [this] { Model.VMETrigger(); });
  // The rate box changes on an operator's pick of another item and on every
  // edit of its text; a selection made from code is no change, and neither
  // is picking the item the box already shows. Its editor is part of it.
  ::Bind(
      cbRanGenRate, &QComboBox::activated, this,
      [this] { return "Random rate '" + cbRanGenRate->currentText().toStdString() + "'"; },
      [this] {
        if (cbRanGenRate->currentText() != RateTextSent) ChooseRate();
      });
  ::Bind(cbRanGenRate->lineEdit(), &QLineEdit::textEdited, this, [this] {
    FollowTypedRate();
    ChooseRate();
  });
  // An item shown by code is no change, but the next CSR1 write carries it.
  ::Bind(cbRanGenRate, &QComboBox::currentIndexChanged, this,
         [this] { Model.ShowRate(RateIndex()); });
  // A check box reports every change of its state, also one made from code.
  ::Bind(
      chbOrbitSignalSel, &QCheckBox::toggled, this,
      [this] {
        return std::string("Orbit Signal ") +
               (chbOrbitSignalSel->isChecked() ? "internal" : "external");
      },
      [this] { Model.SetOrbit(chbOrbitSignalSel->isChecked()); });
  ::Bind(bL1AFIFOReset, &QPushButton::clicked, this, "L1A FIFO Reset",
         [this] { Model.ResetL1AFifo(); });
  ::Bind(Button1, &QPushButton::clicked, this, "READ CSR1", [this] { Model.ReadCSR1(); });
  ::Bind(btReadCSR2, &QPushButton::clicked, this, "READ CSR2", [this] { Model.ReadCSR2(); });
  ::Bind(btCSR2ResetFIFO, &QPushButton::clicked, this, "RESET B-Go FIFO",
         [this] { Model.ResetAllFifos(); });
  ::Bind(bReset, &QPushButton::clicked, this, "Reset TTCvi", [this] { Model.ResetModule(); });
  // The boxes' values are the model's as they are typed; Apply sends them as
  // they stand: a box the operator just left is already back in range, as
  // the click took the focus from it; one still holding a typed 5000 is
  // brought into range by the sender.
  for (int n = 0; n < 4; ++n) {
    TSpinEdit* delay = InhibitDelay[n];
    TSpinEdit* duration = InhibitDuration[n];
    ::Bind(delay, &TSpinEdit::Changed, this,
           [this, n, delay] { Model.SetInhibitDelay(n, delay->Value()); });
    ::Bind(duration, &TSpinEdit::Changed, this,
           [this, n, duration] { Model.SetInhibitDuration(n, duration->Value()); });
  }
  ::Bind(btAplayInhSetings, &QPushButton::clicked, this, "Apply inhibits",
         [this] { Model.SendInhibits(); });
}

void CsrGroup::Changed(PanelPart part) {
  if (part == PanelPart::Csr1) DrawCsr1();
  if (part == PanelPart::Inhibits) DrawInhibits();
  if (part == PanelPart::ReadOuts) DrawReadOuts();
}

void CsrGroup::DrawCsr1() {
  const PanelState& state = Model.State();
  const QSignalBlocker quietSource(rgTriggerSource);
  rgTriggerSource->SetItemIndex(state.TriggerSource);
  // A typed text the operator is editing stays as typed while it means the
  // rate the model holds.
  if (RateIndex() != state.RateIndex) {
    const QSignalBlocker quietRate(cbRanGenRate);
    cbRanGenRate->setCurrentIndex(state.RateIndex);
    RateTextSent = cbRanGenRate->currentText();
  }
  {
    const QSignalBlocker quietOrbit(chbOrbitSignalSel);
    chbOrbitSignalSel->setChecked(state.OrbitInternal);
  }
  btVMETriger->setEnabled(state.TriggerEnabled);
  cbRanGenRate->setEnabled(state.RateEnabled);
}

void CsrGroup::DrawInhibits() {
  const PanelState& state = Model.State();
  for (std::size_t n = 0; n < 4; ++n) {
    // Only what differs: a box holding a typed value keeps its text.
    if (InhibitDelay[n]->Value() != state.InhibitDelays[n]) {
      const QSignalBlocker quiet(InhibitDelay[n]);
      InhibitDelay[n]->SetValue(state.InhibitDelays[n]);
    }
    if (InhibitDuration[n]->Value() != state.InhibitDurations[n]) {
      const QSignalBlocker quiet(InhibitDuration[n]);
      InhibitDuration[n]->SetValue(state.InhibitDurations[n]);
    }
  }
}

void CsrGroup::DrawReadOuts() {
  const PanelState& state = Model.State();
  if (state.CSR1) eCSR1->setText(QString::fromStdString(BitString(*state.CSR1, 16)));
  if (state.CSR2) eCSR2->setText(QString::fromStdString(BitString(*state.CSR2, 16)));
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

void CsrGroup::ChooseRate() {
  RateTextSent = cbRanGenRate->currentText();
  Model.ChooseRate(RateIndex());  // no item (-1) puts 7 in the rate field
}

int CsrGroup::RateIndex() const {
  // A typed text counts as an item only when it is that item's text exactly.
  return cbRanGenRate->findText(cbRanGenRate->currentText());
}
