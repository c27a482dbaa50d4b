#pragma once

// The nine calls of the Bit3 adapter library, as one table of function
// pointers. TVMEWinBit3 is their only caller. Who fills the table is chosen
// when the program starts (src/crate): the simulated crate (src/sim), or a
// vendor's shared library loaded at that moment (src/adapters/sbs,
// src/adapters/caen), or a test's scripted stand-in. Whatever the provider,
// the calls take these types and this numbering: unit 0, logical device 2 is
// the A24 window, parameters 6 and 13 the DMA and programmed-I/O address
// modifiers; a provider translates to its library's own.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

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

struct Bit3Calls {
  // Writes the device name of (unit, logical device) into name (at most
  // maxLength characters with the terminator) and returns name.
  char* (*bt_gen_name)(int unit, bt_dev_t logicalDevice, char* name, std::size_t maxLength);
  bt_error_t (*bt_open)(bt_desc_t* handle, const char* name, bt_accessflag_t flags);
  bt_error_t (*bt_get_info)(bt_desc_t handle, bt_info_t parameter, bt_devdata_t* value);
  bt_error_t (*bt_set_info)(bt_desc_t handle, bt_info_t parameter, bt_devdata_t value);
  bt_error_t (*bt_write)(bt_desc_t handle, const void* buffer, bt_devaddr_t address,
                         std::size_t count, std::size_t* transferred);
  bt_error_t (*bt_read)(bt_desc_t handle, void* buffer, bt_devaddr_t address, std::size_t count,
                        std::size_t* transferred);
  bt_error_t (*bt_reset)(bt_desc_t handle);
  bt_error_t (*bt_close)(bt_desc_t handle);
  // Describes status in buffer (prefixed by prefix) and returns buffer, or
  // returns null when there is no description.
  char* (*bt_strerror)(bt_desc_t handle, bt_error_t status, const char* prefix, char* buffer,
                       std::size_t bufferSize);
};

// One provider of the calls and what an operator is told about it.
struct AdapterLibrary {
  Bit3Calls Calls{};
  // "sim", "sbs" or "caen": which kind of adapter, whatever file or release of
  // its library was loaded. Programs that share a module agree on it.
  std::string Kind;
  std::string Name;        // "Simulated crate", "SBS/Bit3 PCI-to-VME", "CAEN V2718", ...
  std::string Release;     // the vendor library's release or file; empty for the simulated crate
  bool Simulated = false;  // no real crate behind the calls
};

// Makes library the provider of every connection opened from now on.
// Connections already open keep the provider they were opened with.
void InstallAdapterLibrary(AdapterLibrary library);
// The provider installed last; null before the first installation.
std::shared_ptr<const AdapterLibrary> InstalledAdapterLibrary();
