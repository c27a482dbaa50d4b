#include "ui/PresetGroup.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "base/Exception.h"
#include "operate/PresetApply.h"
#include "ui/BGoGroup.h"
#include "ui/CsrGroup.h"
#include "ui/ErrorBox.h"
#include "ui/EventGuard.h"
#include "ui/FDataForSave.h"
#include "ui/GroupControls.h"
#include "ui/PanelDialogs.h"
#include "ui/RxGroup.h"

using namespace group_controls;

namespace {

// The window as a preset's target: each group shows its part; the TTCrx is
// the one the preset selected in the list.
class WindowPresetTarget : public PresetTarget {
 public:
  explicit WindowPresetTarget(const PresetGroup::Covered& groups) : Groups(groups) {}

  void Show(const PreSettings& preset) override {
    Groups.Csr.Show(preset);
    Groups.Rx.Show(preset);
    Groups.BGo.Show(preset);
  }
  void SendingTriggerSource(int source) override { Groups.Csr.SendingTriggerSource(source); }
  void SendingControlRegister(std::bitset<8> value) override {
    Groups.Rx.ShowControlRegister(value);
  }
  std::int32_t RxAddress() override { return Groups.Rx.SelectedRxAddress(); }
  void ReloadBGoTab() override { Groups.BGo.ReloadTab(); }
  void FifoLoaded(int channel) override {
    ShowInformationBox(QStringLiteral("B-Go Fifo [%1] loaded").arg(channel));
  }

 private:
  PresetGroup::Covered Groups;
};

}  // namespace

PresetGroup::PresetGroup(QWidget* window) : QWidget(window) {
  QGroupBox* GroupBox6 =
      AddGroup(this, "GroupBox6", QStringLiteral("Presettings"), {kRight, 244, 196, 108});
  lbPresettings = AddPickList(GroupBox6, "lbPresettings", {8, 19, 122, 21});
  bAplayPreset = AddButton(GroupBox6, "bAplayPreset", QStringLiteral("Apply"), {136, 18, 52, 23});
  bAddPreset = AddButton(GroupBox6, "bAddPreset", QStringLiteral("Add"), {8, 46, 58, 23});
  bDeletePreset = AddButton(GroupBox6, "bDeletePreset", QStringLiteral("Delete"), {72, 46, 58, 23});
  eNewPresetName =
      AddEdit(GroupBox6, "eNewPresetName", QStringLiteral("eNewPresetName"), {8, 77, 122, 21});
  FitToControls(this);
}

void PresetGroup::Bind(ModuleSender& sender, const PanelDialogs& dialogs, Covered groups) {
  Sender = &sender;
  Dialogs = &dialogs;
  Csr = &groups.Csr;
  Rx = &groups.Rx;
  BGo = &groups.BGo;
  ::Bind(bAddPreset, &QPushButton::clicked, this, "Add preset", [this] { bAddPresetClick(); });
  ::Bind(
      bDeletePreset, &QPushButton::clicked, this,
      [this] { return "Delete preset '" + lbPresettings->currentText().toStdString() + "'"; },
      [this] { bDeletePresetClick(); });
  ::Bind(
      bAplayPreset, &QPushButton::clicked, this,
      [this] { return "Apply preset '" + lbPresettings->currentText().toStdString() + "'"; },
      [this] { bAplayPresetClick(); });
}

void PresetGroup::bAddPresetClick() {
  PreSettings preset;
  Csr->CopyTo(preset);
  Rx->CopyTo(preset);
  BGo->CopyTo(preset);

  // One sequence per FIFO, chosen among the tab's sequences; Cancel means
  // none. OK with no line chosen ends Add without a preset.
  const std::vector<BGoDataSequence> sequences = BGo->Sequences();
  QStringList names;
  for (const BGoDataSequence& sequence : sequences) names << ShownText(sequence.Name);
  Dialogs->DataForSave().SetSequenceNames(names);
  for (int fifo = 0; fifo < 4; ++fifo) {
    const std::optional<int> chosen = Dialogs->DataForSave().ChooseFor(fifo);
    if (!chosen) continue;
    if (*chosen < 0 || static_cast<std::size_t>(*chosen) >= sequences.size())
      throw EListError(*chosen);
    preset.Sequences[static_cast<std::size_t>(fifo)] =
        sequences[static_cast<std::size_t>(*chosen)].Words;
  }

  // Appended, not selected: the operator picks what to apply.
  const int selected = lbPresettings->currentIndex();
  lbPresettings->addItem(eNewPresetName->text(), QVariant::fromValue(preset));
  lbPresettings->setCurrentIndex(selected);
}

void PresetGroup::bDeletePresetClick() {
  const int selected = lbPresettings->currentIndex();
  if (selected < 0) return;
  lbPresettings->removeItem(selected);
  lbPresettings->setCurrentIndex(-1);
}

void PresetGroup::bAplayPresetClick() {
  const int selected = lbPresettings->currentIndex();
  if (selected < 0) throw EListError(selected);
  WindowPresetTarget target({*Csr, *Rx, *BGo});
  ApplyPreset(lbPresettings->itemData(selected).value<PreSettings>(), *Sender, target);
}

std::vector<NamedPreset> PresetGroup::Presets() const {
  std::vector<NamedPreset> presets;
  presets.reserve(static_cast<std::size_t>(lbPresettings->count()));
  for (int i = 0; i < lbPresettings->count(); ++i)
    presets.push_back(
        {EntryText(lbPresettings, i), lbPresettings->itemData(i).value<PreSettings>()});
  return presets;
}

void PresetGroup::SetPresets(const std::vector<NamedPreset>& presets) {
  for (const NamedPreset& preset : presets)
    AddStoredEntry(lbPresettings, preset.Name, QVariant::fromValue(preset.Settings));
  lbPresettings->setCurrentIndex(-1);
}
