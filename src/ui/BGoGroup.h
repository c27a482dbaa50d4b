#pragma once

#include <QWidget>
#include <array>
#include <bitset>
#include <vector>

#include "settings/BGoSequence.h"
#include "settings/PreSettings.h"

class ModuleSender;
class PanelDialogs;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabBar;
class RxGroup;
class TSequenceItem;

// The B-Go tab: four tabs over one page of controls acting on the channel of
// the selected tab, the list of B-Go data sequences, and the read-out of the
// channel's mode register below the tabs.
class BGoGroup : public QWidget {
  Q_OBJECT

 public:
  explicit BGoGroup(QWidget* window);

  // rx gives the TTCrx the sequence editor starts with.
  void Bind(ModuleSender& sender, const PanelDialogs& dialogs, const RxGroup& rx);

  // The sequences of the list, in list order.
  std::vector<BGoDataSequence> Sequences() const;
  void SetSequences(std::vector<BGoDataSequence> sequences);
  // The FIFO resets asked for and not yet written (none between clicks).
  std::bitset<4> FifoResetRequests() const { return FIFOResetBits; }
  // Bit n set: channel n does not retransmit.
  std::bitset<4> RetransmitOff() const { return RetransmitBits; }

  // The channels' modes, retransmission and calibration into a preset, and
  // back into the remembered states (nothing sent); ReloadTab then shows
  // them on the page.
  void CopyTo(PreSettings& preset) const;
  void Show(const PreSettings& preset);
  // The page's boxes show the shown channel's remembered states. A changed
  // Retransmit box writes CSR2 once with the unchanged bits.
  void ReloadTab();

 private:
  int BGoChannel() const;  // the channel of the tab shown, 0..3
  std::string TabCause() const;
  std::string SelectedCause() const;  // " 'name'" of the selected line, or nothing
  int SelectedSequence() const;       // -1: none
  TSequenceItem& SequenceAt(int row) const;

  void chbEnableClick();
  void chbCalibrationClick();
  void chbRetransmitClick();
  void bFIFO0ResetClick();
  void bLoadFIFOClick();
  void bFIFOStausClick();
  void bReadBGoSettingsClick();
  void bAddDataClick();
  void bDeleteDataClick();
  void lbB_GoDataSeqDblClick();

  ModuleSender* Sender = nullptr;
  const PanelDialogs* Dialogs = nullptr;
  const RxGroup* Rx = nullptr;
  std::array<std::array<bool, 4>, 4> BGoFlags{};  // [channel][Enable, Asynchron, Repetetive, FIFO]
  std::bitset<4> FIFOResetBits;
  std::bitset<4> RetransmitBits;  // bit n = 1: retransmission off for channel n
  bool TabUpdating = false;

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
