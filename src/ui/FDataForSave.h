#pragma once

#include <QDialog>

class QLabel;
class QListWidget;

// "Dialog": chooses the B-Go data sequence a preset keeps for one FIFO.
class TfrmDataForSave : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmDataForSave(QWidget* parent = nullptr);

  QLabel* lFIFONumber;         // FIFO number label, "[0]" at start
  QListWidget* lbB_GoDataSeq;  // sequence names
};
