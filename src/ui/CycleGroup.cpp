#include "ui/CycleGroup.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/ReadNumber.h"
#include "operate/ModuleSender.h"
#include "ui/EventGuard.h"
#include "ui/GroupControls.h"
#include "ui/RxGroup.h"

using namespace group_controls;

namespace {

// A typed number by the program's one rule; a text that breaks it stops the
// handler before anything is written.
std::int32_t Number(const QLineEdit* edit) { return ReadNumber(edit->text().toStdString()); }

}  // namespace

CycleGroup::CycleGroup(QWidget* window) : QWidget(window) {
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
}

void CycleGroup::Bind(ModuleSender& sender, const RxGroup& rx) {
  Sender = &sender;
  Rx = &rx;
  ::Bind(
      bLFACSend, &QPushButton::clicked, this,
      [this] { return "Long-format Send to " + Rx->SelectedRxCause(); },
      [this] { bLFACSendClick(); });
  // Both "External subadres" boxes run the long-format box's caption handler.
  ::Bind(chbLFACExt, &QCheckBox::toggled, this, "External subadres", [this] { chbLFACExtClick(); });
  ::Bind(chbTrigRegExt, &QCheckBox::toggled, this, "TRIGWORD External subadres",
         [this] { chbLFACExtClick(); });
  ::Bind(bSFACSend, &QPushButton::clicked, this, "Short-format Send",
         [this] { Sender->Module().SendShortAsync(Number(eSFACCommand)); });
  ::Bind(
      chbTRIGRegEnable, &QCheckBox::toggled, this,
      [this] { return "TRIGWORD Enable" + OnOff(chbTRIGRegEnable); },
      [this] { chbTRIGRegEnableClick(); });
  ::Bind(
      bTRIGRegSet, &QPushButton::clicked, this,
      [this] { return "TRIGWORD Set for " + Rx->SelectedRxCause(); },
      [this] { bTRIGRegSetClick(); });
}

void CycleGroup::bLFACSendClick() {
  // Data first, then the subaddress, then the TTCrx: the first bad text is
  // the one reported.
  const std::int32_t data = Number(eLFACData);
  const std::int32_t subaddress = Number(eLFACSubaddr);
  const std::int32_t address = Rx->SelectedRxAddress();
  if (chbLFACExt->isChecked())
    Sender->Module().SendLongAsyncExternal(address, subaddress, data);
  else
    Sender->Module().SendLongAsync(address, subaddress, data);
}

void CycleGroup::chbLFACExtClick() {
  chbLFACExt->setText(chbLFACExt->isChecked() ? QStringLiteral("External Subaddr")
                                              : QStringLiteral("Write Rx"));
}

void CycleGroup::chbTRIGRegEnableClick() {
  const bool enable = chbTRIGRegEnable->isChecked();
  if (enable) {
    bTRIGRegSetClick();
  } else {
    // Disabling needs no typed value: a bad text cannot keep the word armed.
    Sender->Module().SetTrigWord(0, 0, false, false);
  }
  bTRIGRegSet->setEnabled(enable);
  eTRIGRegSad->setEnabled(enable);
  chbTrigRegExt->setEnabled(enable);
}

void CycleGroup::bTRIGRegSetClick() {
  const bool external = chbTrigRegExt->isChecked();
  const std::int32_t subaddress = Number(eTRIGRegSad);
  const std::int32_t address = Rx->SelectedRxAddress();
  Sender->Module().SetTrigWord(address, subaddress, external, true);
}
