#include "ctl/CtlConfiguration.h"

#include <sys/stat.h>

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

constexpr std::uintmax_t kLargestFile = 512u << 20;  // what the store reads at all
constexpr std::int32_t kLargestRxAddress = 0x3FFF;   // 14 bits

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
  if (stat(name.c_str(), &status) != 0)
    throw ECtlConfiguration("Configuration file " + name + ": " + std::strerror(errno) +
                            (errno == ENOENT ? " (the panel makes it at its first close; "
                                               "another one is given with --config FILE)"
                                             : ""));
  if (!S_ISREG(status.st_mode))
    throw ECtlConfiguration("Configuration file " + name + " is not a regular file");
  if (static_cast<std::uintmax_t>(status.st_size) > kLargestFile)
    throw ECtlConfiguration("Configuration file " + name +
                            " is damaged: larger than any configuration (512 MiB)");
  std::ifstream in(name, std::ios::binary);
  if (!in)
    throw ECtlConfiguration("Cannot read the configuration file " + name + ": " +
                            std::strerror(errno));
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw ECtlConfiguration("Cannot read the configuration file " + name);
  if (text.find('\0') != std::string::npos)
    throw ECtlConfiguration("Configuration file " + name + " is damaged: it is not text");

  CtlConfiguration configuration;
  configuration.File = file;
  TIniFile ini(name);
  ListBudget budget;
  configuration.Stored = ReadConfiguration(ini, budget);
  configuration.BusLog = ReadBusLogSettings(ini);
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
    } catch (const EConvertError& error) {
      throw ECtlConfiguration("TTCrx \"" + nameOrAddress + "\" in " + File.string() +
                              " has no address: " + error.Message());
    }
  }
  if (TryReadNumber(nameOrAddress)) return ReadCtlNumber(nameOrAddress, what, 0, kLargestRxAddress);
  throw ECtlConfiguration(
      "No TTCrx \"" + nameOrAddress + "\" in " + File.string() + "; it holds " +
      Known(Stored.RxAddresses, [](const std::string& entry) { return RxEntryName(entry); }));
}
