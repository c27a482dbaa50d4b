#pragma once

#include <QWidget>

#include "operate/PanelModel.h"

class PanelDialogs;
class QComboBox;
class QLineEdit;
class QPushButton;

// The group "Presettings": named snapshots of the whole panel, applied to
// the hardware in one action (PanelModel::ApplyPreset gives the order). A
// view of the model's preset list; it answers Apply's FIFO notices with the
// operator's box.
class PresetGroup : public QWidget, public PanelListener {
  Q_OBJECT

 public:
  PresetGroup(QWidget* window, PanelModel& model, const PanelDialogs& dialogs);
  ~PresetGroup() override;

  void Changed(PanelPart part) override;
  void FifoLoaded(int channel) override;

 private:
  void DrawPresets();
  void bAddPresetClick();
  void bDeletePresetClick();

  PanelModel& Model;
  const PanelDialogs& Dialogs;

  QComboBox* lbPresettings = nullptr;
  QPushButton* bAplayPreset = nullptr;
  QPushButton* bAddPreset = nullptr;
  QPushButton* bDeletePreset = nullptr;
  QLineEdit* eNewPresetName = nullptr;
};
