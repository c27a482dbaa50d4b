#pragma once

// What list and status print: lines for people, or one JSON document.

#include <cstdint>
#include <ostream>
#include <string>

#include "settings/Configuration.h"
#include "vme/TVMEInterface.h"

// What list shows: "presets", "sequences" or "rx".
void PrintList(std::ostream& out, const StoredConfiguration& configuration, const std::string& what,
               bool json);

// The registers status reads, as read.
struct ModuleStatus {
  VMEConnectionDescription Connection;
  std::uint32_t Base = 0;
  std::uint16_t CSR1 = 0;
  std::uint16_t CSR2 = 0;
  std::uint16_t Modes[4] = {};
};

void PrintStatus(std::ostream& out, const ModuleStatus& status, bool json);

// text as a JSON string, quotes included.
std::string JsonString(const std::string& text);
