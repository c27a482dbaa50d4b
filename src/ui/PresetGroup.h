#pragma once

#include <QWidget>
#include <vector>

#include "settings/PreSettings.h"

class BGoGroup;
class CsrGroup;
class ModuleSender;
class PanelDialogs;
class QComboBox;
class QLineEdit;
class QPushButton;
class RxGroup;

// The group "Presettings": named snapshots of the whole panel, applied to
// the hardware in one action (ApplyPreset gives the order). Each group the
// preset covers puts in and shows its own part.
class PresetGroup : public QWidget {
  Q_OBJECT

 public:
  explicit PresetGroup(QWidget* window);

  struct Covered {
    CsrGroup& Csr;
    RxGroup& Rx;
    BGoGroup& BGo;
  };
  void Bind(ModuleSender& sender, const PanelDialogs& dialogs, Covered groups);

  std::vector<NamedPreset> Presets() const;
  // Nothing is selected after: the operator picks what to apply.
  void SetPresets(const std::vector<NamedPreset>& presets);

 private:
  void bAddPresetClick();
  void bDeletePresetClick();
  void bAplayPresetClick();

  ModuleSender* Sender = nullptr;
  const PanelDialogs* Dialogs = nullptr;
  CsrGroup* Csr = nullptr;
  RxGroup* Rx = nullptr;
  BGoGroup* BGo = nullptr;

  QComboBox* lbPresettings = nullptr;
  QPushButton* bAplayPreset = nullptr;
  QPushButton* bAddPreset = nullptr;
  QPushButton* bDeletePreset = nullptr;
  QLineEdit* eNewPresetName = nullptr;
};

Q_DECLARE_METATYPE(PreSettings)
