#pragma once

#include <QWidget>
#include <bitset>
#include <cstdint>

#include "operate/PanelModel.h"

class PanelDialogs;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TfrSelectValue;

// The group "RX": the TTCrx address list, the fine deskews, the coarse
// delays and the control register of the selected TTCrx, each sent as one
// long-format cycle with E = 0. Nothing is ever read back from a TTCrx.
// The control register's display shows the value last sent; the dialog's
// boxes are the model's too.
class RxGroup : public QWidget, public PanelListener {
  Q_OBJECT

 public:
  // dialogs gives the control register dialog once the program has made it.
  RxGroup(QWidget* window, PanelModel& model, const PanelDialogs& dialogs);
  ~RxGroup() override;

  void Changed(PanelPart part) override;

 private:
  void BindHandlers();
  void DrawList();
  void DrawRx();
  void pCntrolRegClick();
  void bAddRxAddresClick();

  PanelModel& Model;
  const PanelDialogs& Dialogs;

  QComboBox* cmbTTC = nullptr;
  QLineEdit* eRxName = nullptr;
  QLineEdit* eRxAddres = nullptr;
  QPushButton* bAddRxAddres = nullptr;
  QPushButton* bRxAddressDelete = nullptr;
  // Fine deskew 1 and 2, coarse delay 1 and 2.
  TfrSelectValue* frSelectReg[4] = {};
  QLabel* pCntrolReg = nullptr;
};
