#include "ui/PresetGroup.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "base/Exception.h"
#include "ui/ErrorBox.h"
#include "ui/EventGuard.h"
#include "ui/FDataForSave.h"
#include "ui/GroupControls.h"
#include "ui/PanelDialogs.h"

using namespace group_controls;

PresetGroup::PresetGroup(QWidget* window, PanelModel& model, const PanelDialogs& dialogs)
    : QWidget(window), Model(model), Dialogs(dialogs) {
  QGroupBox* GroupBox6 =
      AddGroup(this, "GroupBox6", QStringLiteral("Presettings"), {kRight, 244, 196, 108});
  lbPresettings = AddPickList(GroupBox6, "lbPresettings", {8, 19, 122, 21});
  bAplayPreset = AddButton(GroupBox6, "bAplayPreset", QStringLiteral("Apply"), {136, 18, 52, 23});
  bAddPreset = AddButton(GroupBox6, "bAddPreset", QStringLiteral("Add"), {8, 46, 58, 23});
  bDeletePreset = AddButton(GroupBox6, "bDeletePreset", QStringLiteral("Delete"), {72, 46, 58, 23});
  eNewPresetName =
      AddEdit(GroupBox6, "eNewPresetName", QStringLiteral("eNewPresetName"), {8, 77, 122, 21});
  FitToControls(this);

  ::Bind(bAddPreset, &QPushButton::clicked, this, "Add preset", [this] { bAddPresetClick(); });
  ::Bind(
      bDeletePreset, &QPushButton::clicked, this,
      [this] { return "Delete preset '" + lbPresettings->currentText().toStdString() + "'"; },
      [this] { bDeletePresetClick(); });
  ::Bind(
      bAplayPreset, &QPushButton::clicked, this,
      [this] { return "Apply preset '" + lbPresettings->currentText().toStdString() + "'"; },
      [this] { Model.ApplyPreset(lbPresettings->currentIndex()); });

  // Nothing is selected at start: the operator picks what to apply.
  DrawPresets();
  Model.AddListener(*this);
}

PresetGroup::~PresetGroup() { Model.RemoveListener(*this); }

void PresetGroup::Changed(PanelPart part) {
  if (part == PanelPart::Presets) DrawPresets();
}

void PresetGroup::FifoLoaded(int channel) {
  // Apply waits for the operator's OK before the next FIFO.
  ShowInformationBox(QStringLiteral("B-Go Fifo [%1] loaded").arg(channel));
}

void PresetGroup::DrawPresets() {
  const std::vector<NamedPreset>& presets = Model.State().Presets;
  // Only what differs: a preset added keeps the operator's choice.
  const QSignalBlocker quiet(lbPresettings);
  const int selected = lbPresettings->currentIndex();
  while (static_cast<std::size_t>(lbPresettings->count()) > presets.size())
    lbPresettings->removeItem(lbPresettings->count() - 1);
  for (std::size_t i = 0; i < presets.size(); ++i) {
    const QString name = ShownText(presets[i].Name);
    const int row = static_cast<int>(i);
    if (row == lbPresettings->count())
      lbPresettings->addItem(name);
    else if (lbPresettings->itemText(row) != name)
      lbPresettings->setItemText(row, name);
  }
  // A list that was empty selects its first entry by itself.
  lbPresettings->setCurrentIndex(selected < lbPresettings->count() ? selected : -1);
}

void PresetGroup::bAddPresetClick() {
  // One sequence per FIFO, chosen among the tab's sequences; Cancel means
  // none. OK with no line chosen ends Add without a preset.
  const std::vector<BGoDataSequence>& sequences = Model.State().Sequences;
  QStringList names;
  for (const BGoDataSequence& sequence : sequences) names << ShownText(sequence.Name);
  TfrmDataForSave& dialog = Dialogs.DataForSave();
  dialog.SetSequenceNames(names);
  std::array<std::optional<int>, 4> chosen;
  for (std::size_t fifo = 0; fifo < chosen.size(); ++fifo) {
    chosen[fifo] = dialog.ChooseFor(static_cast<int>(fifo));
    if (chosen[fifo] && (*chosen[fifo] < 0 ||
                         static_cast<std::size_t>(*chosen[fifo]) >= Model.State().Sequences.size()))
      throw EListError(*chosen[fifo]);
  }
  // Appended, not selected: the operator picks what to apply.
  Model.AddPreset(eNewPresetName->text().toStdString(), Model.Snapshot(chosen));
}

void PresetGroup::bDeletePresetClick() {
  const int selected = lbPresettings->currentIndex();
  if (selected < 0) return;
  Model.DeletePreset(selected);
  lbPresettings->setCurrentIndex(-1);
}
