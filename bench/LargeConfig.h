#pragma once

// A large configuration of the shape the program writes, for benchmarks and
// measuring tools: at scale 1,
//  - "TTCvi_Address" with TTCviAddress;
//  - "B_GoSequnces" with NoOfSeq=1000, and 1,000 sections "B_GoSequncesSeq<i>"
//    with Caption, NoOfVectors=256 and vector0..vector255 (32 "0"/"1" each);
//  - "PreSettings" with NoOfPreSets=100, and 100 sections "PreSettingsPreset<i>"
//    with the 51 keys of a preset, each followed (the first also by the four
//    shared "PreSettingsSeq<k>") by its four "PreSettingsPreset<i>Seq<k>" with
//    NoOfVectors=256 and 256 words;
//  - "Rx_Addresses" with NoOfRxAddresses=100 and "RxAddress<i>=Rx<i>=x<hex>".
// Scale n multiplies every list by n. The content is the same on every call.
//
//   ForEachLargeConfigKey(scale, [](std::string_view section, std::string_view key,
//                                   std::string_view value) {...});
//   WriteLargeConfig(path, scale);   // the same keys as an INI file, LF line ends

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace large_config {

constexpr int kSequences = 1000;
constexpr int kPresets = 100;
constexpr int kRxAddresses = 100;
constexpr int kWords = 256;
constexpr int kFifos = 4;

// A fixed pseudo-random B-channel word as stored: 32 characters, bit 31 first.
inline std::string_view Word(std::uint32_t seed, char (&text)[32]) {
  std::uint32_t x = seed * 2654435761u + 0x9E3779B9u;
  x ^= x >> 15;
  x *= 0x2C1B3C6Du;
  x ^= x >> 12;
  for (int bit = 0; bit < 32; ++bit) text[bit] = (x >> (31 - bit)) & 1 ? '1' : '0';
  return {text, 32};
}

// key(section, key, value) for every key, section by section in file order.
// The views are valid during the call only.
template <class KeyFn>
void ForEachLargeConfigKey(int scale, KeyFn&& key) {
  static const auto vectorKeys = [] {
    std::vector<std::string> names;
    for (int j = 0; j < kWords; ++j) names.push_back("vector" + std::to_string(j));
    return names;
  }();
  static const std::string wordCount = std::to_string(kWords);
  char word[32];
  const auto words = [&](const std::string& section, std::uint32_t seed) {
    key(std::string_view(section), std::string_view("NoOfVectors"), std::string_view(wordCount));
    for (int j = 0; j < kWords; ++j)
      key(std::string_view(section), std::string_view(vectorKeys[j]),
          Word(seed * kWords + static_cast<std::uint32_t>(j), word));
  };
  std::uint32_t seed = 0;

  key("TTCvi_Address", "TTCviAddress", "16715776");

  const int sequences = kSequences * scale;
  key("B_GoSequnces", "NoOfSeq", std::to_string(sequences));
  for (int i = 0; i < sequences; ++i) {
    const std::string section = "B_GoSequncesSeq" + std::to_string(i);
    key(section, "Caption", "Sequence " + std::to_string(i));
    words(section, seed++);
  }

  const int presets = kPresets * scale;
  key("PreSettings", "NoOfPreSets", std::to_string(presets));
  for (int i = 0; i < presets; ++i) {
    const std::string preset = "PreSettingsPreset" + std::to_string(i);
    const std::string n = std::to_string(i % 8);
    key(preset, "Caption", "Preset " + std::to_string(i));
    key(preset, "RanGenRate", n);
    key(preset, "TriggerSource", std::to_string(i % 5));
    key(preset, "OrbitSignal", std::to_string(i % 2));
    for (int k = 0; k < 4; ++k) key(preset, "InhibitDelay" + std::to_string(k), n);
    for (int k = 0; k < 4; ++k) key(preset, "InhibitDuration" + std::to_string(k), n);
    key(preset, "Deskew1", std::to_string(i % 240));
    key(preset, "Deskew2", std::to_string((i * 7) % 240));
    key(preset, "CoarDel1", std::to_string(i % 16));
    key(preset, "CoarDel2", std::to_string((i * 3) % 16));
    for (int channel = 0; channel < 4; ++channel)
      for (int flag = 0; flag < 5; ++flag)
        key(preset, "B_Go" + std::to_string(channel) + std::to_string(flag),
            std::to_string((i + channel + flag) % 2));
    for (int bit = 0; bit < 8; ++bit)
      key(preset, "RxControlRegister" + std::to_string(bit), std::to_string((i >> bit) & 1));
    key(preset, "Calibration", "0");
    key(preset, "RxName", "Rx" + std::to_string(i % kRxAddresses));
    if (i == 0)
      for (int k = 0; k < kFifos; ++k) words("PreSettingsSeq" + std::to_string(k), seed++);
    for (int k = 0; k < kFifos; ++k) words(preset + "Seq" + std::to_string(k), seed++);
  }

  const int rx = kRxAddresses * scale;
  key("Rx_Addresses", "NoOfRxAddresses", std::to_string(rx));
  char hex[16];
  for (int i = 0; i < rx; ++i) {
    std::snprintf(hex, sizeof hex, "x%X", 0x100 + i);
    key("Rx_Addresses", "RxAddress" + std::to_string(i), "Rx" + std::to_string(i) + "=" + hex);
  }
}

// Writes the configuration as a new file; false when it cannot be written.
inline bool WriteLargeConfig(const std::string& path, int scale) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  std::string current;
  std::string line;
  ForEachLargeConfigKey(
      scale, [&](std::string_view section, std::string_view key, std::string_view value) {
        line.clear();
        if (section != current) {
          current = section;
          line.append("[").append(section).append("]\n");
        }
        line.append(key).append("=").append(value).append("\n");
        std::fwrite(line.data(), 1, line.size(), f);
      });
  const bool ok = std::ferror(f) == 0;
  return std::fclose(f) == 0 && ok;
}

}  // namespace large_config
