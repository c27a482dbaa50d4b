#pragma once

#include <string>

#include "vme/Bit3Api.h"

namespace sbs {

// The SBS/Bit3 Linux library, if no other file is named.
inline constexpr const char* kDefaultLibrary = "libbtp.so";

// Loads the SBS/Bit3 Linux library from file and gives the nine calls over
// it: "unit 0, logical device 2" is the library's A24 window (/dev/btp160
// for unit 0), parameters 6 and 13 its DMA and PIO address-modifier
// parameters. The release shown is the library's file name. Its statuses and texts reach the
// operator unchanged, but for a refused transfer, whose status is the system's error number and
// reads as the system's text; a refused open adds what the device file says (absent, not
// permitted). Raises Exception when the library cannot be used. Touches no device.
AdapterLibrary LoadSbsLibrary(const std::string& file);

}  // namespace sbs
