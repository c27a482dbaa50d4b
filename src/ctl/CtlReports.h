#pragma once

// What list and status print: lines for people, or one JSON document. The
// documents' shape is quorvane-ctl(1)'s; kCtlJsonVersion counts its changes
// that a reader must know of (a key removed or its meaning changed).

#include <cstdint>
#include <ostream>
#include <string>

#include "settings/Configuration.h"
#include "vme/TVMEInterface.h"

inline constexpr int kCtlJsonVersion = 1;

// What list shows: "presets", "sequences" or "rx".
void PrintList(std::ostream& out, const StoredConfiguration& configuration, const std::string& what,
               bool json);

// The registers status reads, as read.
struct ModuleStatus {
  std::string Adapter;  // sim, sbs or caen
  VMEConnectionDescription Connection;
  std::uint32_t Base = 0;
  std::uint16_t CSR1 = 0;
  std::uint16_t CSR2 = 0;
  std::uint16_t Modes[4] = {};
};

void PrintStatus(std::ostream& out, const ModuleStatus& status, bool json);

// text as a JSON string, quotes included: as the panel shows it (UTF-8),
// control characters escaped.
std::string JsonString(const std::string& text);
