#include "crate/CrateSettings.h"

#include <set>

#include "base/Exception.h"
#include "base/SettingsFile.h"

namespace crate {

namespace {

constexpr const char* kKnownKeys =
    "adapter, base, bridge, link, node, host, sbs.library, caen.library, trace";

}  // namespace

std::string SettingPlace::Text() const {
  return Line > 0 ? File + ", line " + std::to_string(Line) : File;
}

std::vector<std::filesystem::path> CrateSettingsPlaces() {
  return SettingsFilePlaces("crate.conf", "/etc/quorvane/crate.conf");
}

CrateSettings ParseCrateSettings(std::string_view text, const std::string& source) {
  std::vector<SettingsLine> lines;
  std::string error;
  if (!SplitSettingsLines(text, source, lines, error)) throw Exception(error);

  CrateSettings settings;
  std::set<std::string> seen;
  for (const SettingsLine& line : lines) {
    const std::string where = SettingsLinePlace(source, line.Number);
    const std::string& key = line.Key;
    const std::string& value = line.Value;
    const SettingPlace place{source, line.Number};
    if (!seen.insert(key).second) throw Exception(where + "\"" + key + "\" is given twice");

    std::string problem;
    if (key == "adapter") {
      settings.Adapter = value;
      settings.AdapterPlace = place;
    } else if (key == "base") {
      problem = sim::ReadTTCviBase(value, settings.Sim.TTCviBase);
      settings.BasePlace = place;
    } else if (caen::IsBridgeKey(key)) {
      problem = caen::ReadBridgeKey(key, value, settings.Caen);
      if (key == "bridge") {
        settings.HaveBridge = true;
        settings.BridgePlace = place;
      }
      if (key == "host") settings.HaveHost = true;
    } else if (key == "sbs.library" || key == "caen.library") {
      if (value.empty()) problem = "\"" + key + "\" has no value";
      (key == "sbs.library" ? settings.SbsLibrary : settings.CaenLibrary) = value;
    } else if (key == "trace") {
      if (value.empty()) problem = "\"trace\" has no value (off, on or the path of a file)";
      settings.Trace = value;
      settings.TracePlace = place;
    } else {
      problem = "unknown key \"" + key + "\" (known: " + kKnownKeys + ")";
    }
    if (!problem.empty()) throw Exception(where + problem);
  }
  return settings;
}

CrateSettings LoadCrateSettings(const std::vector<std::filesystem::path>& places) {
  const SettingsFileText read = ReadFirstSettingsFile(places);
  if (!read.Error.empty()) throw Exception(read.Error);
  CrateSettings settings =
      read.File.empty() ? CrateSettings{} : ParseCrateSettings(read.Text, read.File.string());
  settings.Places = places;
  settings.File = read.File;
  return settings;
}

}  // namespace crate
