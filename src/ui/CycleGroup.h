#pragma once

#include <QWidget>

class ModuleSender;
class QCheckBox;
class QLineEdit;
class QPushButton;
class RxGroup;

// The asynchronous B-channel cycles (long format to one TTCrx, short format
// broadcast) and the TRIGWORD register of the TTCvi Mk II.
class CycleGroup : public QWidget {
  Q_OBJECT

 public:
  explicit CycleGroup(QWidget* window);

  // rx gives the TTCrx the long-format cycles and TRIGWORD address.
  void Bind(ModuleSender& sender, const RxGroup& rx);

 private:
  void bLFACSendClick();
  void chbLFACExtClick();
  void chbTRIGRegEnableClick();
  void bTRIGRegSetClick();

  ModuleSender* Sender = nullptr;
  const RxGroup* Rx = nullptr;

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
