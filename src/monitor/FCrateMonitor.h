#pragma once

// The crate monitor: what the simulated crate holds, as the hardware would,
// following it live as the operator works. It shows the TTCvi's registers
// (CSR1 and CSR2 field by field, the B-Go modes, the inhibits, TRIGWORD),
// each B-Go FIFO's fill and words, the cycles sent on the B channel, and the
// TTCrx receivers reached so far with their deskews, coarse delays and
// control register. It reads the crate's inspection interface only, never
// the bus: watching changes nothing and logs nothing.

#include <QWidget>
#include <array>
#include <memory>

#include "ui/PanelStart.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TBusLogFeed;

// The factory the program entry of a simulated build hands to the windows.
std::unique_ptr<QWidget> OpenCrateMonitor(TBusLogFeed& feed);

class TfrmCrateMonitor : public QWidget {
  Q_OBJECT

 public:
  // Refreshes with each batch of the bus log while it is shown.
  explicit TfrmCrateMonitor(TBusLogFeed& feed, QWidget* parent = nullptr);

  // Reads the crate now.
  void Refresh();

  static constexpr int kBChannelRows = 64;  // newest cycles listed

  QLabel* lblCrate = nullptr;
  QTreeWidget* tvRegisters = nullptr;  // register, value, meaning; fields as children
  std::array<QProgressBar*, 4> pbFifo{};
  std::array<QListWidget*, 4> lbFifo{};
  QLabel* lblBChannel = nullptr;
  QTableWidget* tvBChannel = nullptr;  // newest first
  QTableWidget* tvReceivers = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildRegisterTree();
  void RefreshRegisters();
  void RefreshFifos();
  void RefreshBChannel();
  void RefreshReceivers();

  QTreeWidgetItem* Csr1_ = nullptr;
  QTreeWidgetItem* Csr2_ = nullptr;
  std::array<QTreeWidgetItem*, 4> Modes_{};
  std::array<QTreeWidgetItem*, 4> Inhibits_{};
  QTreeWidgetItem* TrigAddress_ = nullptr;
  QTreeWidgetItem* TrigControl_ = nullptr;
};
