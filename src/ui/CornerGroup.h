#pragma once

#include <QWidget>
#include <memory>

#include "ui/PanelStart.h"

class QAction;
class QPushButton;
class TBusLogFeed;
class TModulePanel;
struct VMEConnectionDescription;

// The main window's corner: Help, the bus log and the crate monitor (two
// small buttons right of Help, each showing an action with its shortcut,
// Ctrl+L and Ctrl+M), the module picture with the connection in use, and
// the note on the Mk II colour. The log and monitor windows are not modal,
// are made when first opened and keep their state until the window ends.
class CornerGroup : public QWidget {
  Q_OBJECT

 public:
  // feed: the main window's bus log, which the log and monitor windows
  // show; the module picture names the adapter (connection) and the base
  // address in use.
  CornerGroup(QWidget* window, TBusLogFeed& feed, const VMEConnectionDescription& connection,
              std::int32_t address);
  ~CornerGroup() override;

  // The crate monitor is offered only with a way to open one and a
  // simulated connection: real hardware has none.
  void OfferCrateMonitor(CrateMonitorFactory monitor, bool simulated);

 private:
  void ShowConnection(const VMEConnectionDescription& connection, std::int32_t address);
  void actBusLogExecute();
  void actCrateMonitorExecute();

  TBusLogFeed& Feed;
  CrateMonitorFactory CrateMonitor;

  QPushButton* bHelp = nullptr;
  TModulePanel* Panel6 = nullptr;
  QAction* actBusLog = nullptr;
  QAction* actCrateMonitor = nullptr;  // hidden unless the crate is simulated
  std::unique_ptr<QWidget> frmBusLog;
  std::unique_ptr<QWidget> frmCrateMonitor;
};
