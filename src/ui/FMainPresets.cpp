// The group "Presettings": named snapshots of the whole panel, applied to
// the hardware in one action.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "base/Exception.h"
#include "operate/PresetApply.h"
#include "settings/RxAddresses.h"
#include "ttcvi/TTCrxRegisters.h"
#include "ui/DlgRxControlReg.h"
#include "ui/ErrorBox.h"
#include "ui/EventGuard.h"
#include "ui/FDataForSave.h"
#include "ui/FMain.h"
#include "ui/FMainControls.h"
#include "ui/FSelectValue.h"
#include "ui/RadioGroup.h"
#include "ui/SpinEdit.h"

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

void TfrmMain::BindPresetControls() {
  Bind(bAddPreset, &QPushButton::clicked, this, [this] { bAddPresetClick(); });
  Bind(bDeletePreset, &QPushButton::clicked, this, [this] { bDeletePresetClick(); });
  Bind(bAplayPreset, &QPushButton::clicked, this, [this] { bAplayPresetClick(); });
}

void TfrmMain::bAddPresetClick() {
  PreSettings preset;
  preset.RanGenRate = RanGenRateIndex();
  preset.TriggerSource = rgTriggerSource->ItemIndex();
  preset.OrbitSignal = chbOrbitSignalSel->isChecked();
  const std::array<TSpinEdit*, 4> delays = {cseInh0Delay, cseInh1Delay, cseInh2Delay, cseInh3Delay};
  const std::array<TSpinEdit*, 4> durations = {cseInh0Duration, cseInh1Duration, cseInh2Duration,
                                               cseInh3Duration};
  for (std::size_t n = 0; n < 4; ++n) {
    preset.InhibitDelay[n] = delays[n]->Value();
    preset.InhibitDuration[n] = durations[n]->Value();
  }
  preset.Deskew1 = frSelectReg0->GetValue();
  preset.Deskew2 = frSelectReg1->GetValue();
  preset.CoarDel1 = frSelectReg2->GetValue();
  preset.CoarDel2 = frSelectReg3->GetValue();
  for (std::size_t c = 0; c < 4; ++c) {
    for (std::size_t f = 0; f < 4; ++f) preset.BGoSettings[c][f] = BGoFlags[c][f];
    preset.BGoSettings[c][PreSettings::kRetransmitOff] = RetransmitBits[c];
  }
  preset.Calibration = chbCalibration->isChecked();
  // The boxes as they are now, even if their last change was cancelled.
  preset.RxControlRegister = RxControlDialog().GetRegister();
  const int rx = cmbTTC->currentIndex();
  preset.RxName = rx < 0 ? std::string() : RxEntryName(cmbTTC->itemText(rx).toStdString());

  // One sequence per FIFO, chosen among the tab's sequences; Cancel means
  // none. OK with no line chosen ends Add without a preset.
  const std::vector<BGoDataSequence> sequences = Sequences();
  QStringList names;
  for (const BGoDataSequence& sequence : sequences) names << QString::fromStdString(sequence.Name);
  DataForSaveDialog().SetSequenceNames(names);
  for (int fifo = 0; fifo < 4; ++fifo) {
    const std::optional<int> chosen = DataForSaveDialog().ChooseFor(fifo);
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

void TfrmMain::bDeletePresetClick() {
  const int selected = lbPresettings->currentIndex();
  if (selected < 0) return;
  lbPresettings->removeItem(selected);
  lbPresettings->setCurrentIndex(-1);
}

namespace {

// The main window as the target of a preset: values go into its controls
// and members; the sending is the module sender's.
class WindowPresetTarget : public PresetTarget {
 public:
  explicit WindowPresetTarget(TfrmMain& window) : W(window) {}

  void Show(const PreSettings& preset) override {
    W.cbRanGenRate->setCurrentIndex(preset.RanGenRate);
    W.RateTextSent = W.cbRanGenRate->currentText();
    W.rgTriggerSource->SetItemIndex(preset.TriggerSource);
    W.btVMETriger->setEnabled(preset.TriggerSource == 4);
    W.cbRanGenRate->setEnabled(preset.TriggerSource == ModuleSender::kRandomTriggerSource);
    {
      const QSignalBlocker quiet(W.chbOrbitSignalSel);  // shown now, sent later
      W.chbOrbitSignalSel->setChecked(preset.OrbitSignal);
    }
    const std::array<TSpinEdit*, 4> delayBoxes = {W.cseInh0Delay, W.cseInh1Delay, W.cseInh2Delay,
                                                  W.cseInh3Delay};
    const std::array<TSpinEdit*, 4> durationBoxes = {W.cseInh0Duration, W.cseInh1Duration,
                                                     W.cseInh2Duration, W.cseInh3Duration};
    for (std::size_t n = 0; n < 4; ++n) delayBoxes[n]->SetValue(preset.InhibitDelay[n]);
    for (std::size_t n = 0; n < 4; ++n) durationBoxes[n]->SetValue(preset.InhibitDuration[n]);
    W.frSelectReg0->SetValueQuietly(preset.Deskew1);
    W.frSelectReg1->SetValueQuietly(preset.Deskew2);
    W.frSelectReg2->SetValueQuietly(preset.CoarDel1);
    W.frSelectReg3->SetValueQuietly(preset.CoarDel2);
    W.cmbTTC->setCurrentIndex(FindRxEntry(EntryTexts(W.cmbTTC), preset.RxName));
    for (std::size_t c = 0; c < 4; ++c) {
      for (std::size_t f = 0; f < 4; ++f) W.BGoFlags[c][f] = preset.BGoSettings[c][f];
      W.RetransmitBits[c] = preset.BGoSettings[c][PreSettings::kRetransmitOff];
    }
    {
      const QSignalBlocker quiet(W.chbCalibration);
      W.chbCalibration->setChecked(preset.Calibration);
    }
    W.RxControlDialog().SetRegister(preset.RxControlRegister);
    W.pCntrolReg->setText(QString::fromStdString(ttcrx::RegisterBits(preset.RxControlRegister)));
  }
  std::int32_t RxAddress() override { return W.SelectedRxAddress(); }
  void ReloadBGoTab() override { W.TabControl1Change(); }
  void FifoLoaded(int channel) override {
    ShowInformationBox(QStringLiteral("B-Go Fifo [%1] loaded").arg(channel));
  }

 private:
  TfrmMain& W;
};

}  // namespace

void TfrmMain::bAplayPresetClick() {
  const int selected = lbPresettings->currentIndex();
  if (selected < 0) throw EListError(selected);
  WindowPresetTarget target(*this);
  ModuleSender sender(*Module);
  ApplyPreset(lbPresettings->itemData(selected).value<PreSettings>(), sender, target);
}

std::vector<NamedPreset> TfrmMain::Presets() const {
  std::vector<NamedPreset> presets;
  presets.reserve(static_cast<std::size_t>(lbPresettings->count()));
  for (int i = 0; i < lbPresettings->count(); ++i)
    presets.push_back({lbPresettings->itemText(i).toStdString(),
                       lbPresettings->itemData(i).value<PreSettings>()});
  return presets;
}

void TfrmMain::ReadPresets(TIniFile& file, const std::string& section, ListBudget& budget) {
  for (const NamedPreset& preset : ReadPresetList(file, section, budget))
    lbPresettings->addItem(QString::fromStdString(preset.Name),
                           QVariant::fromValue(preset.Settings));
  lbPresettings->setCurrentIndex(-1);  // the operator picks what to apply
}

void TfrmMain::WritePresets(TIniFile& file, const std::string& section) const {
  WritePresetList(file, section, Presets());
}
