#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <vector>

#include "settings/BGoSequence.h"

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

  // Shows the dialog modally. edited: the sequence to edit, its name and
  // words listed; none: a new sequence, the list empty and the name as the
  // last showing left it. currentRx is the TTCrx "< Curr Rx" puts in. OK
  // gives the sequence as composed (a name left as shown keeps its stored
  // bytes); Cancel gives nothing. The word list is emptied when it closes.
  std::optional<BGoDataSequence> Execute(const std::optional<BGoDataSequence>& edited,
                                         std::uint16_t currentRx);

 private:
  void bAddLongClick();
  void AddShortClick();
  void lbB_BoDataClick();
  void bDeleteClick();
  void bCurRxClick();

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

  // The words of one showing, and the TTCrx "< Curr Rx" puts in.
  BGoWords Words;
  std::uint16_t CurrentRxAddress = 0;
};
