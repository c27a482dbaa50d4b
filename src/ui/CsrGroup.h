#pragma once

#include <QString>
#include <QWidget>

#include "settings/PreSettings.h"

class ModuleSender;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class TRadioGroup;
class TSpinEdit;

// The left column of the main window: the CSR1 panel (trigger source,
// random rate, orbit, L1A FIFO reset, CSR1 read-out), the CSR2 panel
// (read-out, B-Go FIFO reset), the inhibits and the module reset.
class CsrGroup : public QWidget {
  Q_OBJECT

 public:
  explicit CsrGroup(QWidget* window);

  // Start state: the first rate shown, which counts as sent.
  void ShowFirstRate();
  // The orbit as the box shows it (start-up's first CSR1 write).
  void SendOrbit(ModuleSender& sender) const;
  // Binds the handlers; they send through sender.
  void Bind(ModuleSender& sender);

  // Rate, trigger source, orbit and inhibits into a preset, and back on the
  // panel (nothing sent). What the source enables follows when it is sent.
  void CopyTo(PreSettings& preset) const;
  void Show(const PreSettings& preset);
  void SendingTriggerSource(int source);

 private:
  void BuildCsr1Panel();
  void BuildCsr2Panel();
  void BuildInhibitGroup();
  // The rate list's index as the operator left it: the item whose text the
  // box shows exactly, or -1 for a typed text that matches no item.
  int RateIndex() const;
  // Keeps the rate list's index on the item whose text was typed (or none).
  void FollowTypedRate();
  // What the trigger source's choice enables.
  void EnableForSource(int source);

  void rgTriggerSourceClick();
  void cbRanGenRateChange();
  void Button1Click();
  void btReadCSR2Click();
  void btAplayInhSetingsClick();

  ModuleSender* Sender = nullptr;
  QString RateTextSent;  // the rate box's text at its last change event

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
