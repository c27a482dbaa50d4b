#include "settings/PreSettings.h"

#include <optional>

namespace {

std::string Numbered(const std::string& stem, std::size_t n) { return stem + std::to_string(n); }

std::string SharedSequenceSection(const std::string& section, std::size_t channel) {
  return Numbered(section + "Seq", channel);
}

std::string OwnSequenceSection(const std::string& presetSection, std::size_t channel) {
  return Numbered(presetSection + "Seq", channel);
}

std::string BGoKey(std::size_t channel, std::size_t flag) {
  return "B_Go" + std::to_string(channel) + std::to_string(flag);
}

bool ReadFlag(TIniFile& file, const std::string& section, const std::string& key) {
  return file.ReadInteger(section, key, 0) != 0;
}

void WriteFlag(TIniFile& file, const std::string& section, const std::string& key, bool flag) {
  file.WriteInteger(section, key, flag ? 1 : 0);
}

PreSettings ReadMembers(TIniFile& file, const std::string& p) {
  PreSettings preset;
  preset.RanGenRate = file.ReadInteger(p, "RanGenRate", 0);
  preset.TriggerSource = file.ReadInteger(p, "TriggerSource", 0);
  preset.OrbitSignal = ReadFlag(file, p, "OrbitSignal");
  for (std::size_t n = 0; n < 4; ++n) {
    preset.InhibitDelay[n] = file.ReadInteger(p, Numbered("InhibitDelay", n), 0);
    preset.InhibitDuration[n] = file.ReadInteger(p, Numbered("InhibitDuration", n), 0);
  }
  preset.Deskew1 = file.ReadInteger(p, "Deskew1", 0);
  preset.Deskew2 = file.ReadInteger(p, "Deskew2", 0);
  preset.CoarDel1 = file.ReadInteger(p, "CoarDel1", 0);
  preset.CoarDel2 = file.ReadInteger(p, "CoarDel2", 0);
  for (std::size_t c = 0; c < 4; ++c)
    for (std::size_t f = 0; f < PreSettings::kBGoFlags; ++f)
      preset.BGoSettings[c][f] = ReadFlag(file, p, BGoKey(c, f));
  preset.Calibration = ReadFlag(file, p, "Calibration");
  for (std::size_t b = 0; b < 8; ++b)
    preset.RxControlRegister[b] = ReadFlag(file, p, Numbered("RxControlRegister", b));
  preset.RxName = file.ReadString(p, "RxName", " ");
  return preset;
}

// The members in the order operators find them in the file.
void WriteMembers(TIniFile& file, const std::string& p, const NamedPreset& named) {
  const PreSettings& preset = named.Settings;
  file.WriteString(p, "Caption", named.Name);
  file.WriteInteger(p, "RanGenRate", preset.RanGenRate);
  file.WriteInteger(p, "TriggerSource", preset.TriggerSource);
  WriteFlag(file, p, "OrbitSignal", preset.OrbitSignal);
  for (std::size_t n = 0; n < 4; ++n)
    file.WriteInteger(p, Numbered("InhibitDelay", n), preset.InhibitDelay[n]);
  for (std::size_t n = 0; n < 4; ++n)
    file.WriteInteger(p, Numbered("InhibitDuration", n), preset.InhibitDuration[n]);
  file.WriteInteger(p, "Deskew1", preset.Deskew1);
  file.WriteInteger(p, "Deskew2", preset.Deskew2);
  file.WriteInteger(p, "CoarDel1", preset.CoarDel1);
  file.WriteInteger(p, "CoarDel2", preset.CoarDel2);
  for (std::size_t c = 0; c < 4; ++c)
    for (std::size_t f = 0; f < PreSettings::kBGoFlags; ++f)
      WriteFlag(file, p, BGoKey(c, f), preset.BGoSettings[c][f]);
  for (std::size_t b = 0; b < 8; ++b)
    WriteFlag(file, p, Numbered("RxControlRegister", b), preset.RxControlRegister[b]);
  WriteFlag(file, p, "Calibration", preset.Calibration);
  file.WriteString(p, "RxName", preset.RxName);
}

}  // namespace

std::vector<NamedPreset> ReadPresetList(TIniFile& file, const std::string& section,
                                        ListBudget& budget) {
  // The shared sequences are read once, when a preset first needs them.
  std::array<std::optional<BGoWords>, 4> shared;
  const auto readPreset = [&](const std::string& p) {
    NamedPreset named;
    named.Name = file.ReadString(p, "Caption", " ");
    named.Settings = ReadMembers(file, p);
    for (std::size_t k = 0; k < 4; ++k) {
      const std::string own = OwnSequenceSection(p, k);
      if (file.SectionExists(own)) {
        named.Settings.Sequences[k] = ReadWordList(file, own, budget);
      } else {
        if (!shared[k]) shared[k] = ReadWordList(file, SharedSequenceSection(section, k), budget);
        named.Settings.Sequences[k] = *shared[k];
      }
    }
    return named;
  };
  return ReadCountedList(file, section, "NoOfPreSets", ListEntries::Sections, section + "Preset",
                         budget, readPreset);
}

void WritePresetList(TIniFile& file, const std::string& section,
                     const std::vector<NamedPreset>& presets) {
  file.WriteInteger(section, "NoOfPreSets", static_cast<std::int32_t>(presets.size()));
  for (std::size_t i = 0; i < presets.size(); ++i) {
    WriteMembers(file, Numbered(section + "Preset", i), presets[i]);
    for (std::size_t k = 0; k < 4; ++k)
      WriteWordList(file, SharedSequenceSection(section, k), presets[i].Settings.Sequences[k]);
  }
  if (presets.empty()) return;
  // The shared sections now read as the last preset's sequences. The last
  // preset's own sections exist only if an earlier list left them; they are
  // rewritten too, so they never contradict the shared ones.
  const PreSettings& last = presets.back().Settings;
  for (std::size_t i = 0; i < presets.size(); ++i) {
    const std::string p = Numbered(section + "Preset", i);
    for (std::size_t k = 0; k < 4; ++k) {
      const std::string own = OwnSequenceSection(p, k);
      if (presets[i].Settings.Sequences[k] != last.Sequences[k] || file.SectionExists(own))
        WriteWordList(file, own, presets[i].Settings.Sequences[k]);
    }
  }
}
