// The group "Presettings": named snapshots of the whole panel, applied to
// the hardware in one action.

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "ui/EventGuard.h"
#include "ui/FMain.h"
#include "ui/FMainControls.h"

using namespace frm_main;

void TfrmMain::BuildPresetControls() {
  GroupBox6 = AddGroup(this, "GroupBox6", QStringLiteral("Presettings"), {kRight, 244, 196, 108});
  lbPresettings = AddPickList(GroupBox6, "lbPresettings", {8, 19, 122, 21});
  bAplayPreset = AddButton(GroupBox6, "bAplayPreset", QStringLiteral("Apply"), {136, 18, 52, 23});
  bAddPreset = AddButton(GroupBox6, "bAddPreset", QStringLiteral("Add"), {8, 46, 58, 23});
  bDeletePreset = AddButton(GroupBox6, "bDeletePreset", QStringLiteral("Delete"), {72, 46, 58, 23});
  eNewPresetName =
      AddEdit(GroupBox6, "eNewPresetName", QStringLiteral("eNewPresetName"), {8, 77, 122, 21});
}

void TfrmMain::BindPresetControls() {}
