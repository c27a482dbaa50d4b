#include "ui/CycleGroup.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "base/ReadNumber.h"
#include "ui/EventGuard.h"
#include "ui/GroupControls.h"

using namespace group_controls;

namespace {

// A typed number by the program's one rule; a text that breaks it stops the
// handler before anything is written.
std::int32_t Number(const QLineEdit* edit) { return ReadNumber(edit->text().toStdString()); }

}  // namespace

CycleGroup::CycleGroup(QWidget* window, PanelModel& model) : QWidget(window), Model(model) {
  QFrame* Panel4 = AddPanel(this, "Panel4", {kMiddle, 266, 200, 153});

  QGroupBox* GroupBox4 = AddGroup(
      Panel4, "GroupBox4", QStringLiteral("Long-Format asynchronus cycles"), {4, 4, 192, 86});
  chbLFACExt = AddCheckBox(GroupBox4, "chbLFACExt", QStringLiteral("External subadres"),
                           {8, 17, 150, 18}, true);
  AddLabel(GroupBox4, "lblLFACSubaddr", QStringLiteral("SUBADDR"), {8, 38, 56, 14});
  AddLabel(GroupBox4, "lblLFACData", QStringLiteral("DATA"), {68, 38, 50, 14});
  eLFACSubaddr = AddEdit(GroupBox4, "eLFACSubaddr", QStringLiteral("000"), {8, 55, 50, 21}, 3);
  eLFACData = AddEdit(GroupBox4, "eLFACData", QStringLiteral("000"), {68, 55, 50, 21}, 3);
  bLFACSend = AddButton(GroupBox4, "bLFACSend", QStringLiteral("Send"), {128, 54, 56, 23});

  QGroupBox* GroupBox5 = AddGroup(
      Panel4, "GroupBox5", QStringLiteral("Short-Format asynchronous cycles"), {4, 94, 192, 55});
  AddLabel(GroupBox5, "lblSFACCommand", QStringLiteral("COMMAND"), {8, 23, 58, 21});
  eSFACCommand = AddEdit(GroupBox5, "eSFACCommand", QStringLiteral("000"), {68, 23, 50, 21}, 3);
  bSFACSend = AddButton(GroupBox5, "bSFACSend", QStringLiteral("Send"), {128, 22, 56, 23});

  for (QLineEdit* edit : {eLFACSubaddr, eLFACData, eSFACCommand}) edit->setToolTip(NumberHint());

  QGroupBox* GroupBox7 =
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
  AddLabel(GroupBox7, "lblTRIGRegSad", QStringLiteral("SUBADDR"), {8, 58, 54, 21});
  eTRIGRegSad = AddEdit(GroupBox7, "eTRIGRegSad", QStringLiteral("000"), {68, 58, 50, 21}, 3);
  eTRIGRegSad->setToolTip(NumberHint());
  bTRIGRegSet = AddButton(GroupBox7, "bTRIGRegSet", QStringLiteral("Set"), {128, 57, 56, 23});
  FitToControls(this);
  DrawTrigWord();
  BindHandlers();
  Model.AddListener(*this);
}

CycleGroup::~CycleGroup() { Model.RemoveListener(*this); }

void CycleGroup::Changed(PanelPart part) {
  if (part == PanelPart::TrigWord) DrawTrigWord();
}

void CycleGroup::DrawTrigWord() {
  const bool enabled = Model.State().TrigWordEnabled;
  {
    const QSignalBlocker quiet(chbTRIGRegEnable);
    chbTRIGRegEnable->setChecked(enabled);
  }
  bTRIGRegSet->setEnabled(enabled);
  eTRIGRegSad->setEnabled(enabled);
  chbTrigRegExt->setEnabled(enabled);
}

void CycleGroup::BindHandlers() {
  ::Bind(
      bLFACSend, &QPushButton::clicked, this,
      [this] { return "Long-format Send to " + Model.SelectedRxCause(); },
      [this] { bLFACSendClick(); });
  // Both "External subadres" boxes run the long-format box's caption handler.
  ::Bind(chbLFACExt, &QCheckBox::toggled, this, "External subadres", [this] { chbLFACExtClick(); });
  ::Bind(chbTrigRegExt, &QCheckBox::toggled, this, "TRIGWORD External subadres",
         [this] { chbLFACExtClick(); });
  ::Bind(bSFACSend, &QPushButton::clicked, this, "Short-format Send",
         [this] { Model.SendShort(Number(eSFACCommand)); });
  ::Bind(
      chbTRIGRegEnable, &QCheckBox::toggled, this,
      [this] { return "TRIGWORD Enable" + OnOff(chbTRIGRegEnable); },
      [this] { chbTRIGRegEnableClick(); });
  ::Bind(
      bTRIGRegSet, &QPushButton::clicked, this,
      [this] { return "TRIGWORD Set for " + Model.SelectedRxCause(); },
      [this] { bTRIGRegSetClick(); });
}

void CycleGroup::bLFACSendClick() {
  // Data first, then the subaddress, then the TTCrx: the first bad text is
  // the one reported.
  const std::int32_t data = Number(eLFACData);
  const std::int32_t subaddress = Number(eLFACSubaddr);
  Model.SendLong(chbLFACExt->isChecked(), subaddress, data);
}

void CycleGroup::chbLFACExtClick() {
  chbLFACExt->setText(chbLFACExt->isChecked() ? QStringLiteral("External Subaddr")
                                              : QStringLiteral("Write Rx"));
}

void CycleGroup::chbTRIGRegEnableClick() {
  const bool enable = chbTRIGRegEnable->isChecked();
  const bool external = chbTrigRegExt->isChecked();
  // Enabling needs the subaddress: a bad text stops here and the group stays
  // as it was. Disabling needs no typed value: a bad text cannot keep the
  // word armed.
  const std::int32_t subaddress = enable ? Number(eTRIGRegSad) : 0;
  Model.SetTrigWordEnabled(enable, subaddress, external);
}

void CycleGroup::bTRIGRegSetClick() {
  const bool external = chbTrigRegExt->isChecked();
  Model.SetTrigWord(Number(eTRIGRegSad), external);
}
