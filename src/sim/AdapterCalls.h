#pragma once

// The nine adapter calls answered by the simulated crate (SimCrate.h says
// how), and the table that makes them the program's adapter library. Tests
// of the crate call them directly.

#include <cstddef>

#include "vme/Bit3Api.h"

namespace sim {

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
char* bt_strerror(bt_desc_t handle, bt_error_t status, const char* prefix, char* buffer,
                  std::size_t bufferSize);

// The calls above as the program's adapter library: "Simulated crate".
AdapterLibrary SimulatedAdapterLibrary();

}  // namespace sim
