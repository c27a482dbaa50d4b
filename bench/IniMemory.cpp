// quorvane_ini_memory [scale...]: the peak memory of the configuration store
// on the large configuration of LargeConfig.h, each case in a process of its
// own: the peak resident set (VmHWM) above what the process held before,
// beside the file's size, and the time taken.
//   load     open the store on the file and read every key
//   save     write every key into a new file and save it
//   rewrite  write every key over the file, one value in 16 changed, and save
// Default scales: 1 and 10.

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "LargeConfig.h"
#include "ProcStatus.h"
#include "settings/IniFile.h"
#include "support/TempFolder.h"

namespace {

// Runs `work` in a child process and prints its peak memory and time.
void Measure(const char* what, int scale, const std::string& sizeOf,
             const std::function<void()>& work) {
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    ResetPeakMemory();  // the peak starts from here
    const long before = StatusKb("VmRSS");
    const auto start = std::chrono::steady_clock::now();
    work();
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const long peak = StatusKb("VmHWM");
    std::error_code ec;
    const double file = static_cast<double>(std::filesystem::file_size(sizeOf, ec)) / 1e6;
    const double store = static_cast<double>(peak - before) / 1e3;
    std::printf("%-8s scale %2d  file %8.1f MB  peak %8.1f MB  peak/file %5.2f  %8.0f ms\n", what,
                scale, file, store, file > 0 ? store / file : 0.0, ms);
    std::fflush(stdout);
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> scales;
  for (int i = 1; i < argc; ++i) scales.push_back(std::atoi(argv[i]));
  if (scales.empty()) scales = {1, 10};

  const TempFolder folder("quorvane-mem");
  const std::string large = folder.File("large.ini");
  const std::string saved = folder.File("saved.ini");

  for (const int scale : scales) {
    if (!large_config::WriteLargeConfig(large, scale)) return 1;
    Measure("load", scale, large, [&] {
      TIniFile file(large);
      std::size_t bytes = 0;
      large_config::ForEachLargeConfigKey(
          scale, [&](std::string_view section, std::string_view key, std::string_view) {
            bytes += file.ReadString(std::string(section), std::string(key), "").size();
          });
      if (bytes == 0) std::abort();
    });
    std::filesystem::remove(saved);
    Measure("save", scale, saved, [&] {
      TIniFile file(saved);
      large_config::ForEachLargeConfigKey(
          scale, [&](std::string_view section, std::string_view key, std::string_view value) {
            file.WriteString(std::string(section), std::string(key), std::string(value));
          });
      file.UpdateFile();
    });
    Measure("rewrite", scale, large, [&] {
      TIniFile file(large);
      std::size_t n = 0;
      large_config::ForEachLargeConfigKey(
          scale, [&](std::string_view section, std::string_view key, std::string_view value) {
            file.WriteString(std::string(section), std::string(key),
                             ++n % 16 == 0 ? "changed" : std::string(value));
          });
      file.UpdateFile();
    });
  }
  return 0;
}
