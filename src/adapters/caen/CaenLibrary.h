#pragma once

#include <string>

#include "adapters/caen/CaenSettings.h"
#include "vme/Bit3Api.h"

namespace caen {

// The CAEN VME library, if no other file is named.
inline constexpr const char* kDefaultLibrary = "libCAENVME.so";

// A release "3.4.4" as a comparable number (30404); -1 when unreadable.
int ReleaseNumber(const std::string& release);

// Loads the CAEN VME library from file and gives the nine calls over it for
// the bridge of settings: opening initialises the bridge (CAENVME_Init2),
// every access is one D16 or D32 single cycle with address modifier 0x39, a
// reset is a VME system reset, closing ends the bridge. The device is named
// after the bridge, its link and node ("caen-v2718-0-0"); the Ethernet
// V4718's host name is looked up (IPv4) when it is opened. Raises Exception
// when the library cannot be used: missing, not a library, not the CAEN
// one, a function missing, older than 3.3, or a release with a known fault
// for this bridge. A release text that cannot be read is taken as 3.3 or
// later (it has CAENVME_Init2) with a warning on the standard error stream.
// Touches no bridge.
AdapterLibrary LoadCaenLibrary(const std::string& file, const Settings& settings);

}  // namespace caen
