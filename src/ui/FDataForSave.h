#pragma once

#include <QDialog>
#include <QStringList>
#include <optional>

class QLabel;
class QListWidget;

// "Dialog": chooses the B-Go data sequence a preset keeps for one FIFO.
class TfrmDataForSave : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmDataForSave(QWidget* parent = nullptr);

  // Empties the list and fills it with these names; nothing is selected.
  void SetSequenceNames(const QStringList& names);
  // Shows the dialog modally for a FIFO (its number as plain decimal). OK
  // gives the selected line (-1: none selected); Cancel gives nothing. The
  // selection carries over to the next showing.
  std::optional<int> ChooseFor(int fifo);

 private:
  QLabel* lFIFONumber;         // FIFO number label, "[0]" at start
  QListWidget* lbB_GoDataSeq;  // sequence names
};
