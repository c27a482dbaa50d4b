#pragma once

// Section "BusLog" of the configuration file: how the bus log is kept. The
// section is optional and only read, never written: a file without it stays
// as it is, and one with it keeps it as the operator wrote it.
//
//   [BusLog]
//   Entries=10000       accesses kept in memory (100 .. 1000000)
//   FileLog=1           also write every access to a file (0: no, the default)
//   MaxFileSize=1000000 bytes a file reaches before a new one is begun
//                       (10000 .. 1000000000)
//   KeepFiles=3         older files kept beside the current one (0 .. 20)
//
// A value that is not a number gives the key's default; a number beyond a
// key's range gives the nearest end of the range.

#include <cstddef>
#include <cstdint>

#include "settings/IniFile.h"

struct BusLogSettings {
  std::size_t Entries = 10000;
  bool FileLog = false;
  std::uint32_t MaxFileSize = 1000000;
  int KeepFiles = 3;

  bool operator==(const BusLogSettings&) const = default;
};

BusLogSettings ReadBusLogSettings(TIniFile& file);
