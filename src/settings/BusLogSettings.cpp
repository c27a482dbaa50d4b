#include "settings/BusLogSettings.h"

#include <algorithm>
#include <string>

namespace {

const char* const kSection = "BusLog";

std::int32_t ReadInRange(TIniFile& file, const char* key, std::int32_t defaultValue,
                         std::int32_t lowest, std::int32_t highest) {
  return std::clamp(file.ReadInteger(kSection, key, defaultValue), lowest, highest);
}

}  // namespace

BusLogSettings ReadBusLogSettings(TIniFile& file) {
  BusLogSettings settings;
  if (!file.SectionExists(kSection)) return settings;
  settings.Entries = static_cast<std::size_t>(
      ReadInRange(file, "Entries", static_cast<std::int32_t>(settings.Entries), 100, 1000000));
  settings.FileLog = file.ReadInteger(kSection, "FileLog", 0) != 0;
  settings.MaxFileSize = static_cast<std::uint32_t>(ReadInRange(
      file, "MaxFileSize", static_cast<std::int32_t>(settings.MaxFileSize), 10000, 1000000000));
  settings.KeepFiles = ReadInRange(file, "KeepFiles", settings.KeepFiles, 0, 20);
  return settings;
}
