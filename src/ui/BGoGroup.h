#pragma once

#include <QWidget>

#include "operate/PanelModel.h"

class PanelDialogs;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabBar;

// The B-Go tab: four tabs over one page of controls acting on the channel of
// the selected tab, the list of B-Go data sequences, and the read-out of the
// channel's mode register below the tabs. A view of the model's B-Go page,
// sequences and mode read-out.
class BGoGroup : public QWidget, public PanelListener {
  Q_OBJECT

 public:
  BGoGroup(QWidget* window, PanelModel& model, const PanelDialogs& dialogs);
  ~BGoGroup() override;

  void Changed(PanelPart part) override;

 private:
  std::string TabCause() const;
  std::string SelectedCause() const;  // " 'name'" of the selected line, or nothing
  int SelectedSequence() const;       // -1: none

  void DrawPage();
  void DrawSequences();
  void DrawReadOut();

  void bAddDataClick();
  void bDeleteDataClick();
  void lbB_GoDataSeqDblClick();

  PanelModel& Model;
  const PanelDialogs& Dialogs;

  QTabBar* TabControl1 = nullptr;
  QCheckBox* chbEnable = nullptr;
  QCheckBox* chbSync = nullptr;
  QCheckBox* chSingle = nullptr;
  QCheckBox* chbFIFO = nullptr;
  QCheckBox* chbCalibration = nullptr;
  QCheckBox* chbRetransmit = nullptr;
  QListWidget* lbB_GoDataSeq = nullptr;
  QPushButton* bAddData = nullptr;
  QPushButton* bDeleteData = nullptr;
  QPushButton* bLoadFIFO = nullptr;
  QPushButton* btB_GoSignal = nullptr;
  QPushButton* bFIFO0Reset = nullptr;
  QPushButton* bFIFOStaus = nullptr;
  QPushButton* bReadBGoSettings = nullptr;
  QLineEdit* eBGoSeting = nullptr;
};
