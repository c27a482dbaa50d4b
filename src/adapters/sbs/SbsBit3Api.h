#pragma once

// The nine adapter calls in the sbs build: the SBS/Bit3 Linux library's own
// declarations (its btapi.h, driver package 1003), which TVMEWinBit3 calls
// directly. The handle is the library's descriptor, the statuses and
// bt_strerror texts are its own, and the address-modifier parameters are
// named as the library names them (BT_INFO_DMA_AMOD, BT_INFO_PIO_AMOD).
//
// Only the logical device numbers differ: the connection is opened with the
// Windows library's numbers (2 = the A24 window), and the Linux library gives
// its windows other numbers. The overload below takes the connection's
// number, an int that converts to no bt_dev_t (an enum) by itself, so
// overload resolution picks it for the connection's call; it maps the number
// to the vendor's device by name and calls the vendor's bt_gen_name.

#include <btapi.h>

#include <cstddef>
#include <cstdint>

// Names the device of unit and the logical device numbered as the Windows
// library numbers it: 0 dual-port memory, 1 A16, 2 A24, 3 A32, 4 local
// memory, 5 adapter registers. Any other number gives an empty name, which
// bt_open refuses with the library's own status.
char* bt_gen_name(int unit, std::int32_t logicalDevice, char* name, std::size_t maxLength);
