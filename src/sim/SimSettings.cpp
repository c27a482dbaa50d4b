#include "sim/SimSettings.h"

#include <cstdio>
#include <optional>

#include "base/ReadNumber.h"
#include "base/SettingsFile.h"

#ifndef QUORVANE_SIM_SETTINGS_FILE
#define QUORVANE_SIM_SETTINGS_FILE "/etc/quorvane/sim.conf"
#endif

namespace sim {

namespace {

// The TTCvi answers at base + 0x80 .. base + 0xCB: all of it inside A24.
constexpr std::int64_t kHighestBase = 0xFFFFFF - 0xCB;

std::string Hex(std::int64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%06llX", static_cast<long long>(value));
  return text;
}

CrateSettingsResult Failure(std::string error, std::filesystem::path file = {}) {
  return {CrateSettings{}, std::move(error), std::move(file)};
}

}  // namespace

CrateSettingsResult ParseCrateSettings(std::string_view text, const std::string& source) {
  std::vector<SettingsLine> lines;
  std::string error;
  if (!SplitSettingsLines(text, source, lines, error)) return Failure(error);

  CrateSettings settings;
  bool haveBase = false;
  for (const SettingsLine& line : lines) {
    const std::string where = SettingsLinePlace(source, line.Number);
    if (line.Key != "base")
      return Failure(where + "unknown key \"" + line.Key + "\" (known: base)");
    if (haveBase) return Failure(where + "\"base\" is given twice");
    haveBase = true;

    // The panel's number rule; a 32-bit pattern with bit 31 set reads
    // negative and is refused as out of range below.
    const std::optional<std::int32_t> number = TryReadNumber(line.Value);
    if (!number)
      return Failure(where + "base \"" + line.Value +
                     "\" is not a number (decimal, or hexadecimal after 0x)");
    const std::int64_t base = *number;
    if (base < 0 || base > kHighestBase)
      return Failure(where + "base " + (base < 0 ? "\"" + line.Value + "\"" : Hex(base)) +
                     " puts the TTCvi's registers (base + 0x80 to base + 0xCB) outside the A24 "
                     "space; the highest base is " +
                     Hex(kHighestBase));
    settings.TTCviBase = static_cast<std::uint32_t>(base);
  }
  return {settings, std::string(), std::filesystem::path()};
}

std::vector<std::filesystem::path> CrateSettingsFiles() {
  return SettingsFilePlaces("sim.conf", QUORVANE_SIM_SETTINGS_FILE);
}

CrateSettingsResult LoadCrateSettings(const std::vector<std::filesystem::path>& files) {
  const SettingsFileText read = ReadFirstSettingsFile(files);
  if (!read.Error.empty()) return Failure(read.Error, read.File);
  if (read.File.empty()) return {};  // none: the defaults
  CrateSettingsResult result = ParseCrateSettings(read.Text, read.File.string());
  result.File = read.File;
  return result;
}

}  // namespace sim
