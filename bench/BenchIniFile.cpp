// The configuration file store: one save at close and one load at start of a
// configuration of n keys, laid out as the program writes it (sequences of
// 32-bit words, presets, TTCrx addresses). Both should grow linearly with n.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <bitset>
#include <cstdint>
#include <filesystem>
#include <string>

#include "settings/ConfigFile.h"
#include "settings/IniFile.h"

namespace {

class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quorvane-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) Path_ = pattern;
  }
  ~BenchFolder() {
    std::error_code ec;
    if (!Path_.empty()) std::filesystem::remove_all(Path_, ec);
  }
  bool Ok() const { return !Path_.empty(); }
  std::string File() const { return Path_ + "/quorvane.ini"; }

 private:
  std::string Path_;
};

constexpr int kWordsPerSequence = 64;

// Writes about `keys` keys; `round` changes the values so every save has work to do.
void SaveConfig(TIniFile& file, std::int64_t keys, std::uint32_t round) {
  WriteTTCviAddress(file, "TTCvi_Address", 0xFF1000);
  const std::int64_t sequences = keys / (kWordsPerSequence + 2);
  file.WriteInteger("B_GoSequnces", "NoOfSeq", static_cast<std::int32_t>(sequences));
  for (std::int64_t i = 0; i < sequences; ++i) {
    const std::string section = "B_GoSequncesSeq" + std::to_string(i);
    file.WriteString(section, "Caption", "Sequence " + std::to_string(i));
    file.WriteInteger(section, "NoOfVectors", kWordsPerSequence);
    for (int j = 0; j < kWordsPerSequence; ++j)
      file.WriteString(section, "vector" + std::to_string(j),
                       WordToText(std::bitset<32>(round * 7919u + static_cast<std::uint32_t>(j))));
  }
  file.WriteInteger("Rx_Addresses", "NoOfRxAddresses", 2);
  file.WriteString("Rx_Addresses", "RxAddress0", "Rx1=000001");
  file.WriteString("Rx_Addresses", "RxAddress1", "Rx2=x1F");
}

void BM_IniSaveConfig(benchmark::State& state) {
  BenchFolder folder;
  if (!folder.Ok()) {
    state.SkipWithError("no temporary folder");
    return;
  }
  std::uint32_t round = 0;
  for (auto _ : state) {
    TIniFile file(folder.File());
    SaveConfig(file, state.range(0), ++round);
    file.UpdateFile();
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_IniSaveConfig)->Arg(1000)->Arg(4000)->Arg(16000)->Arg(64000)->Complexity();

void BM_IniLoadConfig(benchmark::State& state) {
  BenchFolder folder;
  if (!folder.Ok()) {
    state.SkipWithError("no temporary folder");
    return;
  }
  {
    TIniFile file(folder.File());
    SaveConfig(file, state.range(0), 1);
    file.UpdateFile();
  }
  for (auto _ : state) {
    TIniFile file(folder.File());
    const std::int32_t sequences = file.ReadInteger("B_GoSequnces", "NoOfSeq", 0);
    for (std::int32_t i = 0; i < sequences; ++i) {
      const std::string section = "B_GoSequncesSeq" + std::to_string(i);
      benchmark::DoNotOptimize(file.ReadString(section, "Caption", " "));
      const std::int32_t words = file.ReadInteger(section, "NoOfVectors", 0);
      for (std::int32_t j = 0; j < words; ++j) {
        std::bitset<32> word;
        benchmark::DoNotOptimize(
            TextToWord(file.ReadString(section, "vector" + std::to_string(j), "0"), word));
      }
    }
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_IniLoadConfig)->Arg(1000)->Arg(4000)->Arg(16000)->Arg(64000)->Complexity();

}  // namespace
