#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "ui/Application.h"
#ifdef QUORVANE_CRATE_MONITOR
#include "monitor/FCrateMonitor.h"
#endif

namespace {

// Without a display Qt's default platform plugin would abort the process
// with a terse fatal message; say plainly what to do instead.
bool DisplayAvailable() {
  auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
  };
  return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
  if (!DisplayAvailable()) {
    std::fprintf(stderr,
                 "quorvane: no display (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                 "Start it from a desktop session, or under a virtual display with\n"
                 "  xvfb-run ./quorvane\n");
    return 1;
  }
  // The program reads no command line; Qt is given only the program's name,
  // so options such as -platform or -style on the command line change nothing.
  (void)argc;
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);
#ifdef QUORVANE_CRATE_MONITOR
  // Built with the simulated crate: the panel can show what the crate holds.
  return RunQuorvane(OpenBit3Connection, OpenCrateMonitor);
#else
  return RunQuorvane();
#endif
}
