// Start-up's reading and close's writing of the whole configuration file on
// a large configuration (LargeConfig.h): the base address, 1,000 sequences
// of 256 words, 100 presets with four 256-word sequences each and 100 TTCrx
// addresses at scale 1, several MB. Each must take well under half a second;
// ten times the configuration about ten times as long.
//   ./scripts/bench.sh --benchmark_filter=LargeConfig

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "BenchSupport.h"
#include "settings/Configuration.h"

namespace {

// The reads of the main window's start-up, in their order.
StoredConfiguration Load(const std::string& path) {
  TIniFile file(path);
  ListBudget budget;
  return ReadConfiguration(file, budget);
}

void BM_LoadLargeConfig(benchmark::State& state) {
  const std::string path = LargeFile(static_cast<int>(state.range(0)));
  if (path.empty()) {
    state.SkipWithError("cannot write the large configuration");
    return;
  }
  StoredConfiguration loaded;
  for (auto _ : state) {
    loaded = Load(path);
    benchmark::DoNotOptimize(loaded.Sequences.data());
  }
  if (loaded.Sequences.size() !=
          large_config::kSequences * static_cast<std::size_t>(state.range(0)) ||
      loaded.Presets.size() != large_config::kPresets * static_cast<std::size_t>(state.range(0)))
    state.SkipWithError("the configuration read back incomplete");
  SetFileCounter(state, path);
}
BENCHMARK(BM_LoadLargeConfig)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// The writes of the main window's close, in their order, into a new file.
void BM_SaveLargeConfig(benchmark::State& state) {
  const std::string source = LargeFile(static_cast<int>(state.range(0)));
  if (source.empty()) {
    state.SkipWithError("cannot write the large configuration");
    return;
  }
  const StoredConfiguration config = Load(source);
  const std::string path = Folder()->File("closed.ini");
  for (auto _ : state) {
    state.PauseTiming();
    unlink(path.c_str());
    state.ResumeTiming();
    TIniFile file(path);
    WriteConfiguration(file, config);
    file.UpdateFile();
  }
  SetFileCounter(state, path);
}
BENCHMARK(BM_SaveLargeConfig)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
