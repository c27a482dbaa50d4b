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
  else if (*address < 0 || *address > kHighestRxAddress)
    problem = "its address " + text + " is outside 0.." + std::to_string(kHighestRxAddress);
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

int CtlConfiguration::PresetIndex(const std::string& name) const {
  std::vector<std::string> names;
  for (const NamedPreset& preset : Stored.Presets) names.push_back(preset.Name);
  return static_cast<int>(Lookup(names, name, "preset", File));
}

const PreSettings& CtlConfiguration::Preset(const std::string& name) const {
  return Stored.Presets[static_cast<std::size_t>(PresetIndex(name))].Settings;
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
    return ReadCtlNumber(nameOrAddress, what, 0, kHighestRxAddress);
  const std::string& entry =
      Stored.RxAddresses[entries[Lookup(names, nameOrAddress, "TTCrx", File)]];
  std::string problem;
  const std::optional<std::int32_t> address = RxEntryAddress(entry, problem);
  if (!address)
    throw ECtlConfiguration("TTCrx \"" + StoredTextToUtf8(RxEntryName(entry)) + "\" in " +
                            File.string() + " has no address: " + problem);
  return *address;
}
