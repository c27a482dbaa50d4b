#include "ctl/CtlConfiguration.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "base/ReadNumber.h"
#include "ctl/CtlCommandLine.h"
#include "settings/IniFile.h"
#include "settings/ListBudget.h"
#include "settings/RxAddresses.h"

namespace {

// No text editor leaves a NUL byte. The store has just read the file, so a
// read that fails now is one that began to fail meanwhile.
bool HoldsNul(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  try {
    const std::istreambuf_iterator<char> end;
    return std::find(std::istreambuf_iterator<char>(in), end, '\0') != end;
  } catch (const std::exception&) {
    throw ECtlConfiguration(EFileReadError(name, std::strerror(EIO)).Message());
  }
}

template <class Item, class NameOf>
std::string Known(const std::vector<Item>& items, NameOf nameOf) {
  if (items.empty()) return "none";
  std::string names;
  for (const Item& item : items) names += (names.empty() ? "\"" : ", \"") + nameOf(item) + "\"";
  return names;
}

}  // namespace

CtlConfiguration LoadCtlConfiguration(const std::filesystem::path& file) {
  const std::string name = file.string();
  struct stat status {};
  if (stat(name.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
    const int error = errno;
    throw ECtlConfiguration("Configuration file " + name + ": " + std::strerror(error) +
                            (error == ENOENT ? " (the panel makes it at its first close; "
                                               "another one is given with --config FILE)"
                                             : ""));
  }

  CtlConfiguration configuration;
  configuration.File = file;
  TIniFile ini(name);
  ListBudget budget;
  try {
    // Read as the panel reads it: a file that is there but cannot be read,
    // or whose base puts the module outside A24, is refused in its words.
    configuration.Stored = ReadConfiguration(ini, budget);
    configuration.BusLog = ReadBusLogSettings(ini);
  } catch (const Exception& error) {
    throw ECtlConfiguration(error.Message());
  }
  if (HoldsNul(name))
    throw ECtlConfiguration("Configuration file " + name + " is damaged: it is not text");
  if (budget.Spent())
    throw ECtlConfiguration("Configuration file " + name +
                            " is damaged: its lists count far more entries than it holds");
  return configuration;
}

const PreSettings& CtlConfiguration::Preset(const std::string& name) const {
  for (const NamedPreset& preset : Stored.Presets)
    if (preset.Name == name) return preset.Settings;
  throw ECtlConfiguration(
      "No preset \"" + name + "\" in " + File.string() + "; it holds " +
      Known(Stored.Presets, [](const NamedPreset& preset) { return preset.Name; }));
}

const BGoWords& CtlConfiguration::Sequence(const std::string& name) const {
  for (const BGoDataSequence& sequence : Stored.Sequences)
    if (sequence.Name == name) return sequence.Words;
  throw ECtlConfiguration(
      "No sequence \"" + name + "\" in " + File.string() + "; it holds " +
      Known(Stored.Sequences, [](const BGoDataSequence& sequence) { return sequence.Name; }));
}

std::int32_t CtlConfiguration::RxAddress(const std::string& nameOrAddress,
                                         const std::string& what) const {
  const int entry = FindRxEntry(Stored.RxAddresses, nameOrAddress);
  if (entry >= 0) {
    try {
      return RxAddressOf(Stored.RxAddresses, entry);
    } catch (const ERxAddressRange& error) {
      throw ECtlConfiguration("TTCrx \"" + nameOrAddress + "\" in " + File.string() + ": " +
                              error.Message());
    } catch (const EConvertError& error) {
      throw ECtlConfiguration("TTCrx \"" + nameOrAddress + "\" in " + File.string() +
                              " has no address: " + error.Message());
    }
  }
  if (TryReadNumber(nameOrAddress)) return ReadCtlNumber(nameOrAddress, what, 0, kHighestRxAddress);
  throw ECtlConfiguration(
      "No TTCrx \"" + nameOrAddress + "\" in " + File.string() + "; it holds " +
      Known(Stored.RxAddresses, [](const std::string& entry) { return RxEntryName(entry); }));
}
