// Feeds arbitrary bytes to start-up's reading of the configuration file
// (base address, sequences, presets, TTCrx addresses) and to close's writing
// of what was read. No input may crash it, hang it or make it take memory
// without bound; what was read, written and read again must then read the
// same after one more round.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "base/Exception.h"
#include "settings/Configuration.h"

namespace {

StoredConfiguration Read(const std::string& path) {
  TIniFile file(path);
  // A smaller budget than the program's keeps hostile counts quick to run;
  // the bound itself is the same code.
  ListBudget budget(256);
  return ReadConfiguration(file, budget);
}

void Write(const std::string& path, const StoredConfiguration& configuration) {
  TIniFile file(path);
  WriteConfiguration(file, configuration);
  file.UpdateFile();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = RunFolder().File("quorvane.ini");
  WriteRaw(path, std::string(reinterpret_cast<const char*>(data), size));
  StoredConfiguration first;
  try {
    first = Read(path);
  } catch (const Exception&) {
    return 0;  // a base outside A24 stops the start: nothing is written
  }
  Write(path, first);
  const StoredConfiguration second = Read(path);
  Check(second.Sequences.size() == first.Sequences.size(), "sequence count changed");
  Check(second.Presets.size() == first.Presets.size(), "preset count changed");
  Check(second.RxAddresses.size() == first.RxAddresses.size(), "TTCrx count changed");
  Write(path, second);
  Check(Read(path) == second, "a written configuration reads back differently");
  return 0;
}
