#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/BGoSequence.h"
#include "settings/ConfigFile.h"
#include "settings/IniFile.h"
#include "settings/ListBudget.h"
#include "settings/PreSettings.h"

// The sections of the configuration file, as the panel names them.
inline constexpr const char* kTTCviAddressSection = "TTCvi_Address";
inline constexpr const char* kSequenceSection = "B_GoSequnces";
inline constexpr const char* kPresetSection = "PreSettings";
inline constexpr const char* kRxAddressSection = "Rx_Addresses";

// Everything the configuration file keeps, as plain values: what start-up
// reads and close writes, for code that works without the windows.
struct StoredConfiguration {
  std::int32_t TTCviAddress = kDefaultTTCviAddress;
  std::vector<BGoDataSequence> Sequences;
  std::vector<NamedPreset> Presets;
  std::vector<std::string> RxAddresses;
  bool operator==(const StoredConfiguration&) const = default;
};

// Reads the four sections in start-up's order; the lists share budget.
StoredConfiguration ReadConfiguration(TIniFile& file, ListBudget& budget);
// Writes the four sections in close's order (the file is saved by the caller).
void WriteConfiguration(TIniFile& file, const StoredConfiguration& configuration);
