// The asynchronous B-channel cycles (long format to one TTCrx, short format
// broadcast) and the TRIGWORD register of the TTCvi Mk II.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/ReadNumber.h"
#include "ui/EventGuard.h"
#include "ui/FMain.h"
#include "ui/FMainControls.h"

using namespace frm_main;

namespace {

// A typed number by the program's one rule; a text that breaks it stops the
// handler before anything is written.
std::int32_t Number(const QLineEdit* edit) { return ReadNumber(edit->text().toStdString()); }

}  // namespace

void TfrmMain::BuildCycleControls() {
  BuildAsyncCycles();
  BuildTrigWordGroup();
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

  for (QLineEdit* edit : {eLFACSubaddr, eLFACData, eSFACCommand}) edit->setToolTip(NumberHint());
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
  eTRIGRegSad->setToolTip(NumberHint());
  bTRIGRegSet = AddButton(GroupBox7, "bTRIGRegSet", QStringLiteral("Set"), {128, 57, 56, 23});
}

void TfrmMain::BindCycleControls() {
  Bind(bLFACSend, &QPushButton::clicked, this, [this] { bLFACSendClick(); });
  // Both "External subadres" boxes run the long-format box's caption handler.
  Bind(chbLFACExt, &QCheckBox::toggled, this, [this] { chbLFACExtClick(); });
  Bind(chbTrigRegExt, &QCheckBox::toggled, this, [this] { chbLFACExtClick(); });
  Bind(bSFACSend, &QPushButton::clicked, this, [this] { bSFACSendClick(); });
  Bind(chbTRIGRegEnable, &QCheckBox::toggled, this, [this] { chbTRIGRegEnableClick(); });
  Bind(bTRIGRegSet, &QPushButton::clicked, this, [this] { bTRIGRegSetClick(); });
}

void TfrmMain::bLFACSendClick() {
  // Data first, then the subaddress, then the TTCrx: the first bad text is
  // the one reported.
  const std::int32_t data = Number(eLFACData);
  const std::int32_t subaddress = Number(eLFACSubaddr);
  const std::int32_t address = SelectedRxAddress();
  if (chbLFACExt->isChecked())
    Module->SendLongAsyncExternal(address, subaddress, data);
  else
    Module->SendLongAsync(address, subaddress, data);
}

void TfrmMain::chbLFACExtClick() {
  chbLFACExt->setText(chbLFACExt->isChecked() ? QStringLiteral("External Subaddr")
                                              : QStringLiteral("Write Rx"));
}

void TfrmMain::bSFACSendClick() { Module->SendShortAsync(Number(eSFACCommand)); }

void TfrmMain::chbTRIGRegEnableClick() {
  const bool enable = chbTRIGRegEnable->isChecked();
  if (enable) {
    bTRIGRegSetClick();
  } else {
    // Disabling needs no typed value: a bad text cannot keep the word armed.
    Module->SetTrigWord(0, 0, false, false);
  }
  bTRIGRegSet->setEnabled(enable);
  eTRIGRegSad->setEnabled(enable);
  chbTrigRegExt->setEnabled(enable);
}

void TfrmMain::bTRIGRegSetClick() {
  const bool external = chbTrigRegExt->isChecked();
  const std::int32_t subaddress = Number(eTRIGRegSad);
  const std::int32_t address = SelectedRxAddress();
  Module->SetTrigWord(address, subaddress, external, true);
}
