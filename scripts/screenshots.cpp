// Renders the main window, each dialog, the bus log and the crate monitor to
// PNG on the simulated crate.
//   quorvane_screenshots OUTPUT_FOLDER [--compare REFERENCE_FOLDER]
// --compare then checks that the windows whose picture does not depend on the
// clock (all but the bus log) equal the pictures of the same
// name in REFERENCE_FOLDER pixel for pixel; for each that differs it says
// where and writes NAME-diff.png (the differing pixels in red) beside it.
// Run under QT_QPA_PLATFORM=offscreen (scripts/screenshots.sh does).

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <cstring>

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

// Compares OUTPUT/name with REFERENCE/name pixel for pixel; says how they
// differ and writes OUTPUT/<name>-diff.png when they do.
bool SameAsReference(const QString& output, const QString& reference, const char* name) {
  const QString file = QString::fromLatin1(name);
  const QImage rendered =
      QImage(QDir(output).filePath(file)).convertToFormat(QImage::Format_ARGB32);
  const QImage expected =
      QImage(QDir(reference).filePath(file)).convertToFormat(QImage::Format_ARGB32);
  if (expected.isNull() || rendered.isNull()) {
    std::printf("%s: could not read %s\n", name,
                expected.isNull() ? "the reference" : "the render");
    return false;
  }
  if (rendered.size() != expected.size()) {
    std::printf("%s differs: %dx%d, the reference is %dx%d\n", name, rendered.width(),
                rendered.height(), expected.width(), expected.height());
    return false;
  }
  QImage diff = rendered;
  {
    QPainter fade(&diff);
    fade.fillRect(diff.rect(), QColor(255, 255, 255, 200));
  }
  long differing = 0;
  QRect where;
  for (int y = 0; y < rendered.height(); ++y) {
    const auto* a = reinterpret_cast<const QRgb*>(rendered.constScanLine(y));
    const auto* b = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
    for (int x = 0; x < rendered.width(); ++x) {
      if (a[x] == b[x]) continue;
      ++differing;
      where |= QRect(x, y, 1, 1);
      diff.setPixel(x, y, qRgb(255, 0, 0));
    }
  }
  if (differing == 0) {
    std::printf("%s: the same as the reference\n", name);
    return true;
  }
  const QString diffPath = QDir(output).filePath(file.chopped(4) + QStringLiteral("-diff.png"));
  diff.save(diffPath);
  std::printf("%s differs in %ld pixels, within x %d..%d, y %d..%d (red in %s)\n", name, differing,
              where.left(), where.right(), where.top(), where.bottom(), qPrintable(diffPath));
  return false;
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
  const bool compare = argc == 4 && std::strcmp(argv[2], "--compare") == 0;
  if (argc != 2 && !compare) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [--compare REFERENCE_FOLDER]\n", argv[0]);
    return 2;
  }
  const QString output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  QDir().mkpath(output);
  const QString reference =
      compare ? QDir(QString::fromLocal8Bit(argv[3])).absolutePath() : QString();

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
    if (!ok || !compare) return ok ? 0 : 1;

    // The bus log shows the times of the accesses, so only these can be
    // compared.
    for (const char* name : {"main-window.png", "dlg-rx-control-register.png", "dlg-b-go-data.png",
                             "dlg-data-for-save.png", "dlg-ok-bottom.png", "crate-monitor.png"})
      ok &= SameAsReference(output, reference, name);
    return ok ? 0 : 1;
  } catch (const Exception& error) {
    std::fprintf(stderr, "quorvane_screenshots: %s\n", error.what());
    return 1;
  }
}
