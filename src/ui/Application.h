#pragma once

#include <memory>

#include "ui/PanelStart.h"

class TfrmMain;
class TdlgRxControlRegister;
class TB_GoDataDlg;
class TOKBottomDlg;
class TfrmDataForSave;

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
