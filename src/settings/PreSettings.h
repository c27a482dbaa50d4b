#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/BGoSequence.h"
#include "settings/IniFile.h"
#include "settings/ListBudget.h"

// A preset: a snapshot of almost everything the operator sets on the panel,
// with one B-Go data sequence per FIFO (its own copies).
struct PreSettings {
  // BGoSettings flags of a channel.
  enum BGoFlag { kEnable, kAsynchron, kRepetetive, kFIFO, kRetransmitOff, kBGoFlags };

  std::int32_t RanGenRate = 0;     // rate list index 0..7, -1: none
  std::int32_t TriggerSource = 0;  // 0..6, -1: none
  bool OrbitSignal = false;        // internal orbit
  std::array<std::int32_t, 4> InhibitDelay{};
  std::array<std::int32_t, 4> InhibitDuration{};
  std::int32_t Deskew1 = 0;  // selector values, not register codes
  std::int32_t Deskew2 = 0;
  std::int32_t CoarDel1 = 0;
  std::int32_t CoarDel2 = 0;
  std::bitset<8> RxControlRegister;
  std::array<std::array<bool, kBGoFlags>, 4> BGoSettings{};  // [channel][flag]
  bool Calibration = false;                                  // channel 2 only
  std::string RxName;                                        // the TTCrx it is meant for
  std::array<BGoWords, 4> Sequences;                         // words for FIFO 0..3

  bool operator==(const PreSettings&) const = default;
};

struct NamedPreset {
  std::string Name;
  PreSettings Settings;
  bool operator==(const NamedPreset&) const = default;
};

// The preset list: "NoOfPreSets" in section; section + "Preset" + i with the
// members; the four sections section + "Seq" + k with the FIFO sequences.
//
// The four "Seq" sections carry no preset number, so on their own they keep
// one preset's sequences: written for each preset in list order, they end
// with the last one's. So that every preset gets its own back, a preset's
// sequence that differs from what the shared section holds is also kept in
// section + "Preset" + i + "Seq" + k (same keys); such a section, once in
// the file, is always rewritten, so it never goes stale. A reader takes a
// preset's own section where there is one and the shared one otherwise, so
// files with one preset, and files written without the own sections, read
// as they always did.
std::vector<NamedPreset> ReadPresetList(TIniFile& file, const std::string& section,
                                        ListBudget& budget);
void WritePresetList(TIniFile& file, const std::string& section,
                     const std::vector<NamedPreset>& presets);
