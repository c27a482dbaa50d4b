// quorvane_startup_probe [scale]: the panel's start-up on the large
// configuration of LargeConfig.h (scale 0: no file), on the simulated crate
// and the offscreen platform: the time from building the windows to the
// main window shown, and the peak resident memory that start-up adds, beside
// the file's size. One start-up per process.

#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "LargeConfig.h"
#include "ProcStatus.h"
#include "operate/PanelModel.h"
#include "sim/AdapterCalls.h"
#include "support/TempFolder.h"
#include "ui/Application.h"
#include "ui/FMain.h"

namespace {}  // namespace

int main(int argc, char** argv) {
  const int scale = argc > 1 ? std::atoi(argv[1]) : 1;
  const TempFolder root("quorvane-probe");
  std::filesystem::create_directory(root.File("bin"));
  const std::string ini = root.File("quorvane.ini");
  if (scale > 0 && !large_config::WriteLargeConfig(ini, scale)) return 1;
  std::filesystem::current_path(root.File("bin"));

  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  application.processEvents();
  InstallAdapterLibrary(sim::SimulatedAdapterLibrary());

  ResetPeakMemory();  // the peak starts from here
  const long before = StatusKb("VmRSS");
  const auto start = std::chrono::steady_clock::now();
  QuorvaneWindows windows = CreateQuorvaneWindows(OpenBit3Connection);
  windows.frmMain->show();
  application.processEvents();
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  const double added = static_cast<double>(StatusKb("VmHWM") - before) / 1e3;

  std::error_code ec;
  const double file =
      scale > 0 ? static_cast<double>(std::filesystem::file_size(ini, ec)) / 1e6 : 0;
  std::printf(
      "scale %2d  file %7.1f MB  start-up %7.0f ms  peak added %7.1f MB (%.2f x file)"
      "  process peak %7.1f MB  sequences %zu presets %zu\n",
      scale, file, ms, added, file > 0 ? added / file : 0.0,
      static_cast<double>(StatusKb("VmHWM")) / 1e3,
      windows.frmMain->Model().State().Sequences.size(),
      windows.frmMain->Model().State().Presets.size());
  windows = {};
  return 0;
}
