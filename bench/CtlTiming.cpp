// quorvane_ctl_timing [runs]: quorvane-ctl status and quorvane-ctl apply Run1 on
// the simulated crate with the example configuration, each from process
// start to exit (spawn to reaped), as run control would call them. Prints
// the fastest, median and slowest of runs (default 50) per command, beside
// those of /bin/true, which show what starting any process costs on the
// machine at the time; the target is 20 ms each. Each process finds its own folders (configuration,
// crate settings, a base address of its own so its lock file is no one
// else's) through the environment, as a user's would.

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/ExampleConfigFile.h"
#include "support/TempFolder.h"

extern char** environ;

namespace {

// Runs the program with arguments, output to /dev/null; the time to its exit
// in ms, or a negative number when it failed.
double TimeRun(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  waitpid(child, &status, 0);
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  const TempFolder folder("quorvane-ctl");
  const std::string& root = folder.Path();
  const unsigned base = 0x100000 + static_cast<unsigned>(getpid() % 0xE000) * 0x100;
  std::filesystem::create_directories(root + "/config/quorvane");
  std::ofstream(root + "/config/quorvane/crate.conf") << "base = " << base << "\n";
  // The example file, at this run's base.
  std::string example = kExampleConfigFile;
  example.replace(example.find("16715776"), 8, std::to_string(base));
  const std::string ini = root + "/quorvane.ini";
  std::ofstream(ini) << example;
  setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
  setenv("XDG_DATA_HOME", root.c_str(), 1);

  int failures = 0;
  // An empty program first: what starting any process costs on this machine now.
  for (const char* command : {"true", "status", "apply"}) {
    std::vector<std::string> arguments = {QUORVANE_CTL_PROGRAM, command, "--config", ini};
    if (std::string(command) == "apply") arguments.push_back("Run1");
    if (std::string(command) == "true") arguments = {"/bin/true"};
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
      const double ms = TimeRun(arguments);
      if (ms < 0) {
        ++failures;
        std::fprintf(stderr, "quorvane-ctl %s failed\n", command);
        break;
      }
      times.push_back(ms);
    }
    if (times.empty()) continue;
    std::sort(times.begin(), times.end());
    const std::string name = std::string(command) == "true"
                                 ? std::string("/bin/true (no work)")
                                 : "quorvane-ctl " + std::string(command);
    std::printf("%-20s  runs %3zu  fastest %6.2f ms  median %6.2f ms  slowest %6.2f ms\n",
                name.c_str(), times.size(), times.front(), times[times.size() / 2], times.back());
  }
  std::error_code ignored;
  std::filesystem::remove(
      "/run/lock/quorvane-simulated-crate-simbt0-a24-" +
          [base] {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%06x", base);
            return std::string(hex);
          }() +
          ".lock",
      ignored);
  return failures == 0 ? 0 : 1;
}
