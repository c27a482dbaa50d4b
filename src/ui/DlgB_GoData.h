#pragma once

#include <QDialog>
#include <bitset>
#include <cstdint>
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

  // Shows the dialog modally to edit words, the caller's working copy: the
  // caller keeps it on OK (true) and drops it on Cancel. currentRx is the
  // TTCrx "< Curr Rx" puts in. The word list starts with the words listed
  // (an edit) or empty (a new sequence), and is emptied when the dialog
  // closes. eName keeps its text unless the caller sets it.
  bool Execute(BGoWords& words, std::uint16_t currentRx, bool listWords);
  // Lists the words of the sequence being edited, in display form.
  void ShowSequence();

  // Handlers.
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
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // The sequence being edited (supplied by the main window for one showing)
  // and the current TTCrx address (low 16 bits of the selected entry).
  BGoWords* Sequence = nullptr;
  std::uint16_t CurrentRxAddress = 0;
};
