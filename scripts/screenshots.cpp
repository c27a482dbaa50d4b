// Renders the main window, each dialog, the bus log and the crate monitor to
// PNG on the simulated crate.
//   quorvane_screenshots OUTPUT_FOLDER
// Run under QT_QPA_PLATFORM=offscreen (scripts/screenshots.sh does).

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>

#include "base/Exception.h"
#include "monitor/FCrateMonitor.h"
#include "sim/AdapterCalls.h"
#include "ui/Application.h"
#include "ui/BusLogFeed.h"
#include "ui/DlgB_GoData.h"
#include "ui/DlgDataForSave.h"
#include "ui/DlgRxControlReg.h"
#include "ui/FBusLog.h"
#include "ui/FDataForSave.h"
#include "ui/FMain.h"
#include "ui/FSelectValue.h"
#include "ui/RadioGroup.h"

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

// A short session for the bus log and the crate monitor to show: a trigger
// source, a deskew, a read-out, and a sequence loaded into a FIFO.
template <class T>
T* Find(const QWidget& main, const char* name) {
  return main.findChild<T*>(QString::fromLatin1(name));
}

void Work(TfrmMain& main) {
  Find<TRadioGroup>(main, "rgTriggerSource")->Button(5)->click();
  Find<TfrSelectValue>(main, "frSelectReg0")->SetValue(100);
  Find<TfrSelectValue>(main, "frSelectReg2")->SetValue(4);
  Find<QPushButton>(main, "Button1")->click();
  Find<QCheckBox>(main, "chbFIFO")->click();
  Find<QListWidget>(main, "lbB_GoDataSeq")->setCurrentRow(0);
  Find<QPushButton>(main, "bLoadFIFO")->click();
  Find<QLineEdit>(main, "eSFACCommand")->setText(QStringLiteral("x2A"));
  Find<QPushButton>(main, "bSFACSend")->click();
  Find<QPushButton>(main, "btB_GoSignal")->click();
  main.BusLog().Flush();
}

QWidget* TopLevel(const char* name) {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->objectName() == QLatin1String(name)) return widget;
  return nullptr;
}

// The configuration of the session: one sequence and two TTCrx.
const char* const kSessionFile =
    "[B_GoSequnces]\nNoOfSeq=1\n[B_GoSequncesSeq0]\nCaption=Trig\nNoOfVectors=3\n"
    "vector0=10000000000010100000001111001000\nvector1=10000000000010100000000100000101\n"
    "vector2=00010101000000000000000000000000\n"
    "[Rx_Addresses]\nNoOfRxAddresses=2\nRxAddress0=Rx1=5\nRxAddress1=Rx2=6\n";

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

  InstallAdapterLibrary(sim::SimulatedAdapterLibrary());
  try {
    QuorvaneWindows windows = CreateQuorvaneWindows(OpenBit3Connection, OpenCrateMonitor);
    bool ok = Save(windows.frmMain.get(), output, "main-window.png");
    ok &= Save(windows.dlgRxControlRegister.get(), output, "dlg-rx-control-register.png");
    ok &= Save(windows.B_GoDataDlg.get(), output, "dlg-b-go-data.png");
    ok &= Save(windows.frmDataForSave.get(), output, "dlg-data-for-save.png");
    ok &= Save(windows.OKBottomDlg.get(), output, "dlg-ok-bottom.png");
    windows = {};

    QFile session(QStringLiteral("../quorvane.ini"));
    ok &= session.open(QIODevice::WriteOnly) && session.write(kSessionFile) > 0;
    session.close();
    windows = CreateQuorvaneWindows(OpenBit3Connection, OpenCrateMonitor);
    windows.frmMain->show();
    Work(*windows.frmMain);
    Find<QAction>(*windows.frmMain, "actBusLog")->trigger();
    ok &= Save(TopLevel("frmBusLog"), output, "bus-log.png");
    Find<QAction>(*windows.frmMain, "actCrateMonitor")->trigger();
    ok &= Save(TopLevel("frmCrateMonitor"), output, "crate-monitor.png");
    return ok ? 0 : 1;
  } catch (const Exception& error) {
    std::fprintf(stderr, "quorvane_screenshots: %s\n", error.what());
    return 1;
  }
}
