#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "vme/TVMEInterface.h"

class QWidget;
class TBusLogFeed;
class TfrmMain;
class TdlgRxControlRegister;
class TB_GoDataDlg;
class TOKBottomDlg;
class TfrmDataForSave;

// Creates the main window's VME connection. The program's default opens the
// Bit3 adapter: TVMEWinBit3(unit 0, logical device 2, no transfer limit).
using ConnectionFactory = std::function<std::unique_ptr<TVMEInterface>()>;
std::unique_ptr<TVMEInterface> OpenBit3Connection();

// One owner per module: the panel holds the module's lock from before its
// first register access to its end, and waits this long for another program
// (a second panel, quorvane-ctl) to let go of it before it gives up.
inline constexpr std::chrono::seconds kPanelModuleWait{5};
// Where the lock file goes: ModuleLock::DefaultFolders() unless a test
// program gives a folder of its own (its tests run beside others').
std::vector<std::filesystem::path>& PanelLockFolders();

// Creates the window that shows the simulated crate (the crate monitor),
// following it through the main window's bus log. Only a program built with
// the simulated crate has one; the main window offers it only when its
// connection is simulated.
using CrateMonitorFactory = std::function<std::unique_ptr<QWidget>(TBusLogFeed& feed)>;

// The five windows of the program, created once at start and kept to the end.
struct QuorvaneWindows {
  QuorvaneWindows();
  ~QuorvaneWindows();
  QuorvaneWindows(QuorvaneWindows&&) noexcept;
  QuorvaneWindows& operator=(QuorvaneWindows&&) noexcept;

  std::unique_ptr<TfrmMain> frmMain;
  std::unique_ptr<TdlgRxControlRegister> dlgRxControlRegister;
  std::unique_ptr<TB_GoDataDlg> B_GoDataDlg;
  std::unique_ptr<TOKBottomDlg> OKBottomDlg;
  std::unique_ptr<TfrmDataForSave> frmDataForSave;
};

// Creates the five windows in their order (main window first, with all its
// start-up work). Raises the error of the first step that fails; nothing is
// shown. A QApplication must exist. monitor, when given, is handed to the
// main window.
QuorvaneWindows CreateQuorvaneWindows(const ConnectionFactory& factory,
                                      const CrateMonitorFactory& monitor = {});

// The program entry after the QApplication exists: sets the title
// "Quorvane", creates the windows, shows the main window and runs the message
// loop until it is closed (SIGTERM, SIGHUP and SIGINT close it too). An error of the common base on
// the way is shown in the error box. Always returns 0.
int RunQuorvane(const ConnectionFactory& factory = OpenBit3Connection,
                const CrateMonitorFactory& monitor = {});
