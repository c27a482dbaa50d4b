#pragma once

// The part of the SBS/Bit3 Linux library's binary interface (driver package
// 1003, libbtp) that the sbs adapter calls, declared from the vendor's
// public headers (btapi.h, btpapi.h, btngpci.h, btpdef.h): C linkage, the
// same widths and enumeration values. Only names in namespace sbs::vendor.

#include <cstddef>
#include <cstdint>

namespace sbs::vendor {

struct bt_lib_data_s;                // the library's private data
using bt_desc_t = bt_lib_data_s*;    // a pointer, unlike the connection's 32-bit handle
using bt_devaddr_t = unsigned long;  // btpdef.h
using bt_accessflag_t = unsigned long;
using bt_devdata_t = std::uint32_t;  // bt_data32_t

// C enumerations: int wide.
enum bt_dev_t : int {  // the device file's minor number is (logical device << 5) + unit
  BT_DEV_NIO = 0,
  BT_DEV_DP = 1,
  BT_DEV_A16 = 2,
  BT_DEV_A32 = 3,
  BT_DEV_A24 = 5,
  BT_DEV_LM = 6,
};
enum bt_info_t : int { BT_INFO_DMA_AMOD = 4, BT_INFO_PIO_AMOD = 5 };
// Numbered in order on Linux (btngpci.h): BT_EACCESS is 5, BT_EFAIL 10.
enum bt_error_t : int { BT_SUCCESS = 0, BT_EINVAL = 4, BT_EDESC = 6, BT_EFAIL = 10 };

constexpr bt_accessflag_t BT_RDWR = 3;

extern "C" {
using GenName = char* (*)(int unit, bt_dev_t logdev, char* devname_p, std::size_t max_devname);
using Open = bt_error_t (*)(bt_desc_t* btd_p, const char* devname_p, bt_accessflag_t flags);
using Close = bt_error_t (*)(bt_desc_t btd);
using StrError = char* (*)(bt_desc_t btd, bt_error_t status, const char* msg_p, char* buf_p,
                           std::size_t buf_len);
using Read = bt_error_t (*)(bt_desc_t btd, void* buf_p, bt_devaddr_t xfer_off, std::size_t xfer_len,
                            std::size_t* xfer_done_p);
using Write = bt_error_t (*)(bt_desc_t btd, void* buf_p, bt_devaddr_t xfer_off,
                             std::size_t xfer_len, std::size_t* xfer_done_p);
using GetInfo = bt_error_t (*)(bt_desc_t btd, bt_info_t param, bt_devdata_t* value_p);
using SetInfo = bt_error_t (*)(bt_desc_t btd, bt_info_t param, bt_devdata_t value);
using Reset = bt_error_t (*)(bt_desc_t btd);
}

}  // namespace sbs::vendor
