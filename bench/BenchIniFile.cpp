// The configuration file store on a large configuration (LargeConfig.h):
// loading the file and reading every key, writing every key into a new file
// and saving it, and writing every key over the file. Argument: the scale
// (1 = 1,000 sequences, 100 presets, 100 TTCrx addresses); ten times the
// configuration should cost about ten times as much. The peak memory of the
// same cases: quorvane_ini_memory (IniMemory.cpp).
//   ./scripts/bench.sh --benchmark_filter=Ini

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "BenchSupport.h"
#include "LargeConfig.h"
#include "settings/IniFile.h"

namespace {

// The cost of only enumerating the keys, part of both benchmarks below.
void BM_LargeConfigKeysOnly(benchmark::State& state) {
  for (auto _ : state) {
    std::size_t n = 0;
    large_config::ForEachLargeConfigKey(
        static_cast<int>(state.range(0)),
        [&n](std::string_view section, std::string_view key, std::string_view value) {
          benchmark::DoNotOptimize(section.data());
          benchmark::DoNotOptimize(key.data());
          n += value.size() + static_cast<unsigned char>(value.back());
        });
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_LargeConfigKeysOnly)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// Start-up: open the store on the file and read every key of it.
void BM_IniLoadLargeFile(benchmark::State& state) {
  const std::string path = LargeFile(static_cast<int>(state.range(0)));
  if (path.empty()) {
    state.SkipWithError("cannot write the large configuration");
    return;
  }
  std::size_t keys = 0;
  for (auto _ : state) {
    TIniFile file(path);
    keys = 0;
    large_config::ForEachLargeConfigKey(
        static_cast<int>(state.range(0)),
        [&](std::string_view section, std::string_view key, std::string_view value) {
          const std::string read = file.ReadString(std::string(section), std::string(key), "");
          if (read != value) state.SkipWithError("a key read back wrong");
          ++keys;
        });
  }
  SetFileCounter(state, path);
  state.counters["keys"] = static_cast<double>(keys);
}
BENCHMARK(BM_IniLoadLargeFile)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// Close: write every key into a new file and save it.
void BM_IniSaveLargeFile(benchmark::State& state) {
  if (Folder() == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string path = Folder()->File("saved.ini");
  for (auto _ : state) {
    state.PauseTiming();
    unlink(path.c_str());
    state.ResumeTiming();
    TIniFile file(path);
    large_config::ForEachLargeConfigKey(
        static_cast<int>(state.range(0)),
        [&file](std::string_view section, std::string_view key, std::string_view value) {
          file.WriteString(std::string(section), std::string(key), std::string(value));
        });
    file.UpdateFile();
  }
  SetFileCounter(state, path);
}
BENCHMARK(BM_IniSaveLargeFile)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// Close over an existing file: every key is written again, one value in 16 changed.
void BM_IniRewriteLargeFile(benchmark::State& state) {
  const std::string source = LargeFile(static_cast<int>(state.range(0)));
  if (source.empty()) {
    state.SkipWithError("cannot write the large configuration");
    return;
  }
  const std::string path = Folder()->File("rewritten.ini");
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    state.ResumeTiming();
    TIniFile file(path);
    std::size_t n = 0;
    large_config::ForEachLargeConfigKey(
        static_cast<int>(state.range(0)),
        [&](std::string_view section, std::string_view key, std::string_view value) {
          file.WriteString(std::string(section), std::string(key),
                           ++n % 16 == 0 ? "changed" : std::string(value));
        });
    file.UpdateFile();
  }
  SetFileCounter(state, path);
}
BENCHMARK(BM_IniRewriteLargeFile)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
