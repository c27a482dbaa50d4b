// Feeds arbitrary bytes to start-up's reading of the configuration file
// (base address, sequences, presets, TTCrx addresses) and to close's writing
// of what was read. No input may crash it, hang it or make it take memory
// without bound; what was read, written and read again must then read the
// same after one more round.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzFolder.h"
#include "settings/BGoSequence.h"
#include "settings/ConfigFile.h"
#include "settings/PreSettings.h"
#include "settings/RxAddresses.h"

namespace {

struct Configuration {
  std::int32_t Address = 0;
  std::vector<BGoDataSequence> Sequences;
  std::vector<NamedPreset> Presets;
  std::vector<std::string> RxAddresses;
  bool operator==(const Configuration&) const = default;
};

Configuration Read(const std::string& path) {
  TIniFile file(path);
  // A smaller budget than the program's keeps hostile counts quick to run;
  // the bound itself is the same code.
  ListBudget budget(256);
  Configuration c;
  c.Address = ReadTTCviAddress(file, "TTCvi_Address");
  c.Sequences = ReadSequenceList(file, "B_GoSequnces", budget);
  c.Presets = ReadPresetList(file, "PreSettings", budget);
  c.RxAddresses = ReadRxAddressList(file, "Rx_Addresses", budget);
  return c;
}

void Write(const std::string& path, const Configuration& c) {
  TIniFile file(path);
  WriteTTCviAddress(file, "TTCvi_Address", c.Address);
  WriteSequenceList(file, "B_GoSequnces", c.Sequences);
  WritePresetList(file, "PreSettings", c.Presets);
  WriteRxAddressList(file, "Rx_Addresses", c.RxAddresses);
  file.UpdateFile();
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FuzzFolder folder;
  const std::string path = folder.FileWith(data, size);
  const Configuration first = Read(path);
  Write(path, first);
  const Configuration second = Read(path);
  Check(second.Sequences.size() == first.Sequences.size(), "sequence count changed");
  Check(second.Presets.size() == first.Presets.size(), "preset count changed");
  Check(second.RxAddresses.size() == first.RxAddresses.size(), "TTCrx count changed");
  Write(path, second);
  Check(Read(path) == second, "a written configuration reads back differently");
  return 0;
}
