// Renders the main window and each dialog to PNG on the simulated crate.
//   quorvane_screenshots OUTPUT_FOLDER
// Run under QT_QPA_PLATFORM=offscreen (scripts/screenshots.sh does).

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>

#include "base/Exception.h"
#include "ui/Application.h"
#include "ui/DlgB_GoData.h"
#include "ui/DlgDataForSave.h"
#include "ui/DlgRxControlReg.h"
#include "ui/FDataForSave.h"
#include "ui/FMain.h"

namespace {

bool Save(QWidget* window, const QString& folder, const char* name) {
  window->show();
  QApplication::processEvents();
  const QString path = QDir(folder).filePath(QString::fromLatin1(name));
  const bool saved = window->grab().save(path);
  window->hide();
  std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Quorvane");
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const QString output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  QDir().mkpath(output);

  // A scratch working folder, so no configuration file of the operator is read or written.
  QTemporaryDir scratch;
  QDir(scratch.path()).mkpath("bin");
  QDir::setCurrent(QDir(scratch.path()).filePath("bin"));

  try {
    QuorvaneWindows windows = CreateQuorvaneWindows(OpenBit3Connection);
    bool ok = Save(windows.frmMain.get(), output, "main-window.png");
    ok &= Save(windows.dlgRxControlRegister.get(), output, "dlg-rx-control-register.png");
    ok &= Save(windows.B_GoDataDlg.get(), output, "dlg-b-go-data.png");
    ok &= Save(windows.frmDataForSave.get(), output, "dlg-data-for-save.png");
    ok &= Save(windows.OKBottomDlg.get(), output, "dlg-ok-bottom.png");
    return ok ? 0 : 1;
  } catch (const Exception& error) {
    std::fprintf(stderr, "quorvane_screenshots: %s\n", error.what());
    return 1;
  }
}
