#include "ctl/CtlConfiguration.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "base/ReadNumber.h"
#include "base/StoredText.h"
#include "base/Text.h"
#include "ctl/CtlCommandLine.h"
#include "settings/IniFile.h"
#include "settings/ListBudget.h"
#include "settings/RxAddresses.h"

namespace {

constexpr std::uintmax_t kLargestFile = 512u << 20;  // what the store reads at all
constexpr std::int32_t kLargestRxAddress = 0x3FFF;   // 14 bits

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
  std::string text;
  try {
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } catch (const std::ios_base::failure& error) {  // the stream's read failed (EIO, EISDIR...)
    const bool system = error.code().category() != std::iostream_category();
    throw ECtlConfiguration("Unable to read " + name + ": " +
                            (system ? error.code().message() : std::string("read error")));
  }
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

int MatchName(const std::vector<std::string>& stored, const std::string& typed,
              std::vector<std::string>& choices) {
  choices.clear();
  const std::string wanted = StoredTextToUtf8(typed);
  int byCase = -1;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    const std::string shown = StoredTextToUtf8(stored[i]);
    if (shown == wanted) return static_cast<int>(i);
    if (!EqualNoCase(shown, wanted)) continue;
    if (std::find(choices.begin(), choices.end(), shown) != choices.end()) continue;
    choices.push_back(shown);
    byCase = static_cast<int>(i);
  }
  if (choices.size() == 1) {
    choices.clear();
    return byCase;
  }
  return -1;
}

std::optional<std::int32_t> RxEntryAddress(const std::string& entry, std::string& problem) {
  const std::size_t equals = entry.find('=');
  const std::string text = equals == std::string::npos ? "" : entry.substr(equals + 1);
  const std::optional<std::int32_t> address = TryReadNumber(text);
  if (!address)
    problem = EConvertError(text).Message();
  else if (*address < 0 || *address > kLargestRxAddress)
    problem = "its address " + text + " is outside 0.." + std::to_string(kLargestRxAddress);
  else
    return address;
  return std::nullopt;
}

namespace {

// The item of names that typed names, or throws what the file holds instead.
std::size_t Lookup(const std::vector<std::string>& names, const std::string& typed,
                   const std::string& kind, const std::filesystem::path& file) {
  std::vector<std::string> choices;
  const int found = MatchName(names, typed, choices);
  if (found >= 0) return static_cast<std::size_t>(found);
  std::string text;
  if (!choices.empty()) {
    for (std::size_t i = 0; i < choices.size(); ++i)
      text += (i == 0 ? "'" : i + 1 == choices.size() ? " or '" : ", '") + choices[i] + "'";
    throw ECtlConfiguration("No " + kind + " \"" + StoredTextToUtf8(typed) + "\" in " +
                            file.string() + " as written (did you mean " + text + "?)");
  }
  for (const std::string& name : names)
    text += (text.empty() ? "\"" : ", \"") + StoredTextToUtf8(name) + "\"";
  throw ECtlConfiguration("No " + kind + " \"" + StoredTextToUtf8(typed) + "\" in " +
                          file.string() + "; it holds " + (text.empty() ? "none" : text));
}

}  // namespace

const PreSettings& CtlConfiguration::Preset(const std::string& name) const {
  std::vector<std::string> names;
  for (const NamedPreset& preset : Stored.Presets) names.push_back(preset.Name);
  return Stored.Presets[Lookup(names, name, "preset", File)].Settings;
}

const BGoWords& CtlConfiguration::Sequence(const std::string& name) const {
  std::vector<std::string> names;
  for (const BGoDataSequence& sequence : Stored.Sequences) names.push_back(sequence.Name);
  return Stored.Sequences[Lookup(names, name, "sequence", File)].Words;
}

std::int32_t CtlConfiguration::RxAddress(const std::string& nameOrAddress,
                                         const std::string& what) const {
  // Entries without "=" have no name: they never match.
  std::vector<std::string> names;
  std::vector<std::size_t> entries;
  for (std::size_t i = 0; i < Stored.RxAddresses.size(); ++i) {
    if (Stored.RxAddresses[i].find('=') == std::string::npos) continue;
    names.push_back(RxEntryName(Stored.RxAddresses[i]));
    entries.push_back(i);
  }
  std::vector<std::string> choices;
  if (MatchName(names, nameOrAddress, choices) < 0 && choices.empty() &&
      TryReadNumber(nameOrAddress))
    return ReadCtlNumber(nameOrAddress, what, 0, kLargestRxAddress);
  const std::string& entry =
      Stored.RxAddresses[entries[Lookup(names, nameOrAddress, "TTCrx", File)]];
  std::string problem;
  const std::optional<std::int32_t> address = RxEntryAddress(entry, problem);
  if (!address)
    throw ECtlConfiguration("TTCrx \"" + StoredTextToUtf8(RxEntryName(entry)) + "\" in " +
                            File.string() + " has no address: " + problem);
  return *address;
}
