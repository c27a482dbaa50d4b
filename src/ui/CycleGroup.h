#pragma once

#include <QWidget>

#include "operate/PanelModel.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

// The asynchronous B-channel cycles (long format to one TTCrx, short format
// broadcast) and the TRIGWORD register of the TTCvi Mk II.
// The long-format cycles and TRIGWORD go to the TTCrx selected in the
// group "RX".
class CycleGroup : public QWidget, public PanelListener {
  Q_OBJECT

 public:
  CycleGroup(QWidget* window, PanelModel& model);
  ~CycleGroup() override;

  void Changed(PanelPart part) override;

 private:
  void BindHandlers();
  void DrawTrigWord();
  void bLFACSendClick();
  void chbLFACExtClick();
  void chbTRIGRegEnableClick();
  void bTRIGRegSetClick();

  PanelModel& Model;

  QCheckBox* chbLFACExt = nullptr;
  QLineEdit* eLFACSubaddr = nullptr;
  QLineEdit* eLFACData = nullptr;
  QPushButton* bLFACSend = nullptr;
  QLineEdit* eSFACCommand = nullptr;
  QPushButton* bSFACSend = nullptr;
  QCheckBox* chbTRIGRegEnable = nullptr;
  QCheckBox* chbTrigRegExt = nullptr;
  QLineEdit* eTRIGRegSad = nullptr;
  QPushButton* bTRIGRegSet = nullptr;
};
