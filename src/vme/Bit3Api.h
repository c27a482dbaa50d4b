#pragma once

// The nine calls of the Bit3 PCI-to-VME adapter library, declared once.
// TVMEWinBit3 is their only caller. The library that provides them is chosen
// when building (QUORVANE_ADAPTER): the simulated crate (src/sim) by default,
// the CAEN binding (src/adapters/caen), the SBS/Bit3 Linux library
// (src/adapters/sbs), or a scripted stand-in in the connection's own tests.

#if defined(QUORVANE_ADAPTER_SBS)

// The SBS/Bit3 Linux library exports these nine calls itself, under these
// very names but with its own types and numbering. Defining them again would
// clash with its symbols, so the sbs build takes the vendor's declarations
// instead of ours and TVMEWinBit3 calls the library directly; the one
// numbering that differs (logical devices) is mapped in adapters/sbs.
#include "adapters/sbs/SbsBit3Api.h"

#else

#include <cstddef>
#include <cstdint>

extern "C" {

typedef std::int32_t bt_desc_t;      // adapter handle
typedef std::int32_t bt_error_t;     // 0 = success, else an error code
typedef std::int32_t bt_dev_t;       // logical device type (2 = A24 window)
typedef std::int32_t bt_info_t;      // parameter code (6 and 13: address modifiers)
typedef std::uint32_t bt_devdata_t;  // parameter value
typedef std::uint32_t bt_devaddr_t;  // VME address
typedef std::int32_t bt_accessflag_t;

enum : bt_error_t { BT_SUCCESS = 0 };
enum : bt_accessflag_t { BT_RD = 1, BT_WR = 2 };
enum : bt_dev_t { BT_DEV_A24 = 2 };
enum : bt_info_t { BT_INFO_DMA_AMOD = 6, BT_INFO_PIO_AMOD = 13 };

// Writes the device name of (unit, logical device) into name (at most
// maxLength characters with the terminator) and returns name.
char* bt_gen_name(int unit, bt_dev_t logicalDevice, char* name, std::size_t maxLength);
bt_error_t bt_open(bt_desc_t* handle, const char* name, bt_accessflag_t flags);
bt_error_t bt_get_info(bt_desc_t handle, bt_info_t parameter, bt_devdata_t* value);
bt_error_t bt_set_info(bt_desc_t handle, bt_info_t parameter, bt_devdata_t value);
bt_error_t bt_write(bt_desc_t handle, const void* buffer, bt_devaddr_t address, std::size_t count,
                    std::size_t* transferred);
bt_error_t bt_read(bt_desc_t handle, void* buffer, bt_devaddr_t address, std::size_t count,
                   std::size_t* transferred);
bt_error_t bt_reset(bt_desc_t handle);
bt_error_t bt_close(bt_desc_t handle);
// Describes status in buffer (prefixed by prefix) and returns buffer, or
// returns null when there is no description.
char* bt_strerror(bt_desc_t handle, bt_error_t status, const char* prefix, char* buffer,
                  std::size_t bufferSize);
}

#endif  // QUORVANE_ADAPTER_SBS
