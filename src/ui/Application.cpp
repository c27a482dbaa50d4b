#include "ui/Application.h"

#include <QApplication>
#include <exception>
#include <optional>
#include <string>

#include "base/Exception.h"
#include "operate/ModuleLock.h"
#include "ui/DlgB_GoData.h"
#include "ui/DlgDataForSave.h"
#include "ui/DlgRxControlReg.h"
#include "ui/ErrorBox.h"
#include "ui/FDataForSave.h"
#include "ui/FMain.h"
#include "ui/SignalClose.h"
#include "vme/TVMEWinBit3.h"

std::unique_ptr<TVMEInterface> OpenBit3Connection() {
  // Unit 0, logical device 2 (the A24 window), no transfer limit.
  return std::make_unique<TVMEWinBit3>(0, 2, -1);
}

std::vector<std::filesystem::path>& PanelLockFolders() {
  static std::vector<std::filesystem::path> folders = ModuleLock::DefaultFolders();
  return folders;
}

QuorvaneWindows::QuorvaneWindows() = default;
QuorvaneWindows::~QuorvaneWindows() = default;
QuorvaneWindows::QuorvaneWindows(QuorvaneWindows&&) noexcept = default;
QuorvaneWindows& QuorvaneWindows::operator=(QuorvaneWindows&&) noexcept = default;

QuorvaneWindows CreateQuorvaneWindows(const ConnectionFactory& factory,
                                      const CrateMonitorFactory& monitor) {
  QuorvaneWindows windows;
  // The main window does all start-up work before any dialog exists.
  windows.frmMain = std::make_unique<TfrmMain>(factory);
  windows.dlgRxControlRegister = std::make_unique<TdlgRxControlRegister>();
  windows.B_GoDataDlg = std::make_unique<TB_GoDataDlg>();
  windows.OKBottomDlg = std::make_unique<TOKBottomDlg>();
  windows.frmDataForSave = std::make_unique<TfrmDataForSave>();
  windows.frmMain->AttachDialogs(windows.dlgRxControlRegister.get(), windows.B_GoDataDlg.get(),
                                 windows.frmDataForSave.get());
  if (monitor) windows.frmMain->AttachCrateMonitor(monitor);
  return windows;
}

int RunQuorvane(const ConnectionFactory& factory, const CrateMonitorFactory& monitor) {
  QApplication::setApplicationName(QStringLiteral("Quorvane"));
  // The windows are released before an error is shown: a start-up that fails
  // leaves no window behind, and the error box stands alone.
  std::optional<std::string> error;
  try {
    QuorvaneWindows windows = CreateQuorvaneWindows(factory, monitor);
    // Closing the main window ends the program, whatever other window (help)
    // is still open.
    QObject::connect(windows.frmMain.get(), &TfrmMain::Closed, qApp, [] { QApplication::exit(0); });
    // A logout, kill or Ctrl+C closes the window as the operator would: the
    // configuration is saved.
    TfrmMain* main = windows.frmMain.get();
    const SignalClose closeOnSignals(main, [main] { main->CloseOnSignal(); });
    windows.frmMain->show();
    QApplication::exec();
  } catch (const Exception& failure) {
    error = failure.Message();
  } catch (const std::exception& failure) {  // nothing may end the program unreported
    error = failure.what();
  }
  if (error) ShowErrorBox(*error);
  return 0;
}
