#pragma once

#include <QString>
#include <QWidget>

#include "operate/PanelModel.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class TRadioGroup;
class TSpinEdit;

// The left column of the main window: the CSR1 panel (trigger source,
// random rate, orbit, L1A FIFO reset, CSR1 read-out), the CSR2 panel
// (read-out, B-Go FIFO reset), the inhibits and the module reset.
class CsrGroup : public QWidget, public PanelListener {
  Q_OBJECT

 public:
  CsrGroup(QWidget* window, PanelModel& model);
  ~CsrGroup() override;

  void Changed(PanelPart part) override;

 private:
  void BuildCsr1Panel();
  void BuildCsr2Panel();
  void BuildInhibitGroup();
  void BindHandlers();
  void DrawCsr1();
  void DrawInhibits();
  void DrawReadOuts();
  // The rate list's index as the operator left it: the item whose text the
  // box shows exactly, or -1 for a typed text that matches no item.
  int RateIndex() const;
  void ChooseRate();
  // Keeps the rate list's index on the item whose text was typed (or none).
  void FollowTypedRate();

  PanelModel& Model;
  // The rate box's text at its last change event: picking the item the box
  // already shows is no change.
  QString RateTextSent;

  TRadioGroup* rgTriggerSource = nullptr;
  QPushButton* btVMETriger = nullptr;
  QComboBox* cbRanGenRate = nullptr;
  QCheckBox* chbOrbitSignalSel = nullptr;
  QPushButton* bL1AFIFOReset = nullptr;
  QPushButton* Button1 = nullptr;
  QLineEdit* eCSR1 = nullptr;
  QPushButton* btReadCSR2 = nullptr;
  QLineEdit* eCSR2 = nullptr;
  QPushButton* btCSR2ResetFIFO = nullptr;
  TSpinEdit* InhibitDelay[4] = {};
  TSpinEdit* InhibitDuration[4] = {};
  QPushButton* btAplayInhSetings = nullptr;
  QPushButton* bReset = nullptr;
};
