#pragma once

#include <QWidget>
#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/PreSettings.h"

class ModuleSender;
class PanelDialogs;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TfrSelectValue;

// The group "RX": the TTCrx address list, the fine deskews, the coarse
// delays and the control register of the selected TTCrx, each sent as one
// long-format cycle with E = 0. Nothing is ever read back from a TTCrx.
class RxGroup : public QWidget {
  Q_OBJECT

 public:
  explicit RxGroup(QWidget* window);

  void Bind(ModuleSender& sender, const PanelDialogs& dialogs);

  // The numeric address of the selected entry, looked up by its name;
  // raises the conversion error when there is none or it is no number.
  std::int32_t SelectedRxAddress() const;
  // The selected TTCrx as the bus log names it: its name, or "no TTCrx".
  std::string SelectedRxCause() const;

  // The address list as the configuration file keeps it ("name=address").
  std::vector<std::string> Addresses() const;
  void SetAddresses(const std::vector<std::string>& entries);
  // The first TTCrx becomes the target; nothing is sent to it.
  void SelectFirst();

  // The TTCrx settings into a preset (the control register as the dialog's
  // boxes stand), and back on the panel (nothing sent). The control
  // register's display shows only a value being sent.
  void CopyTo(PreSettings& preset) const;
  void Show(const PreSettings& preset);
  void ShowControlRegister(std::bitset<8> value);

 private:
  void SendDeskew(int selector);
  void SendCoarseDelays();
  void pCntrolRegClick();
  void bAddRxAddresClick();
  void bRxAddressDeleteClick();

  ModuleSender* Sender = nullptr;
  const PanelDialogs* Dialogs = nullptr;

  QComboBox* cmbTTC = nullptr;
  QLineEdit* eRxName = nullptr;
  QLineEdit* eRxAddres = nullptr;
  QPushButton* bAddRxAddres = nullptr;
  QPushButton* bRxAddressDelete = nullptr;
  // Fine deskew 1 and 2, coarse delay 1 and 2.
  TfrSelectValue* frSelectReg[4] = {};
  QLabel* pCntrolReg = nullptr;
};
