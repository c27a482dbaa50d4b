#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "base/Exception.h"
#include "crate/SelectAdapter.h"
#include "monitor/FCrateMonitor.h"
#include "ui/Application.h"
#include "ui/ErrorBox.h"

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

// The command line: "--adapter NAME" or "--adapter=NAME", and "--version".
// Empty when no adapter is named; nullopt (after a usage line) when the
// line is not understood.
std::optional<std::string> AdapterOption(int argc, char** argv, bool& version) {
  std::string adapter;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    constexpr const char* kOption = "--adapter";
    const std::size_t length = std::strlen(kOption);
    if (std::strcmp(argument, "--version") == 0) {
      version = true;
    } else if (std::strcmp(argument, kOption) == 0 && i + 1 < argc && *argv[i + 1] != '\0') {
      adapter = argv[++i];
    } else if (std::strncmp(argument, kOption, length) == 0 && argument[length] == '=' &&
               argument[length + 1] != '\0') {
      adapter = argument + length + 1;
    } else {
      std::fprintf(stderr,
                   "quorvane: unknown option \"%s\"\n"
                   "usage: quorvane [--adapter sim|sbs|caen] [--version]\n",
                   argument);
      return std::nullopt;
    }
  }
  return adapter;
}

// The release, and for a real adapter the vendor library it loads: needs no
// display. 0, or 2 when the adapter cannot be chosen (its message follows).
int PrintVersion(const std::string& adapter) {
  std::printf("quorvane %s\n", QUORVANE_VERSION);
  try {
    const crate::CrateChoice choice = crate::SelectAdapter(adapter);
    if (!choice.Simulated)
      std::printf("adapter %s (%s): %s\n", choice.Adapter.c_str(), choice.Name.c_str(),
                  choice.Release.c_str());
  } catch (const Exception& failure) {
    std::fflush(stdout);
    std::fprintf(stderr, "quorvane: %s\n", failure.Message().c_str());
    return 2;
  }
  return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool version = false;
  const std::optional<std::string> adapter = AdapterOption(argc, argv, version);
  if (!adapter) return 2;
  if (version) return PrintVersion(*adapter);
  if (!DisplayAvailable()) {
    std::fprintf(stderr,
                 "quorvane: no display (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                 "Start it from a desktop session, or under a virtual display with\n"
                 "  xvfb-run ./quorvane\n");
    return 1;
  }
  // Qt is given only the program's name, so options such as -platform or
  // -style on the command line change nothing.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);
  QApplication::setApplicationName(QStringLiteral("Quorvane"));

  try {
    crate::SelectAdapter(*adapter);
  } catch (const Exception& failure) {
    // No adapter: no window, no bus access, and no simulated crate in its place.
    ShowErrorBox(failure.Message());
    return 0;
  }
  // The main window offers the crate monitor only when its connection says
  // it is simulated: a real crate has nothing to look into.
  return RunQuorvane(OpenBit3Connection, OpenCrateMonitor);
}
