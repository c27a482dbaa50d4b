#pragma once

#include <QDialog>
#include <bitset>
#include <cstdint>
#include <vector>

class QCheckBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QPushButton;

// "B_Go Data": composes a B-Go data sequence word by word, in long format
// (TTCrx address, E, subaddress, data) or short format (command).
class TB_GoDataDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TB_GoDataDlg(QWidget* parent = nullptr);

  QLineEdit* eName;
  QListWidget* lbB_BoData;
  QFrame* Panel1;  // long-format entry
  QLineEdit* eRxAddres;
  QPushButton* bCurRx;
  QCheckBox* chbExternal;
  QLineEdit* eSubaddr;
  QLineEdit* eData;
  QPushButton* bAddLong;
  QFrame* Panel2;  // short-format entry
  QLineEdit* eCommand;
  QPushButton* AddShort;
  QPushButton* bDelete;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // The sequence being edited (supplied by the main window for one showing)
  // and the current TTCrx address (low 16 bits of the selected entry).
  std::vector<std::bitset<32>>* Sequence = nullptr;
  std::uint16_t CurrentRxAddress = 0;
};
