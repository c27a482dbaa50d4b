/* A stand-in for the header of the SBS/Bit3 PCI-to-VME Linux library
 * (driver package 1003), for building the sbs adapter without the vendor's
 * files. Written for Quorvane's tests from the library's public
 * documentation: it declares only the names, types and constant values that
 * the adapter uses, with the Linux library's numbering. FakeSbs.h drives and
 * inspects the recording implementation behind it. */
#ifndef QUORVANE_FAKE_SBS_BTAPI_H
#define QUORVANE_FAKE_SBS_BTAPI_H

/* The vendor's header selects its product family by this definition. */
#if !defined(BT1003)
#error "btapi.h: define BT1003 (SBS/Bit3 PCI-to-VME Linux driver package)"
#endif

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t bt_data32_t;
typedef bt_data32_t bt_devdata_t;   /* parameter values */
typedef unsigned long bt_devaddr_t; /* offsets within a logical device */
typedef unsigned long bt_accessflag_t;

#define BT_RD (1 << 0)
#define BT_WR (1 << 1)
#define BT_RDWR (BT_RD | BT_WR)

/* An open logical device: a pointer to the library's private data. */
typedef struct bt_lib_data_s* bt_desc_t;

/* Logical devices, as the Linux library numbers them. */
typedef enum {
  BT_DEV_NIO = 0, /* adapter node registers */
  BT_DEV_DP = 1,  /* dual-port memory */
  BT_DEV_A16 = 2, /* remote A16 space */
  BT_DEV_A32 = 3, /* remote A32 space */
  BT_DEV_A24 = 5, /* remote A24 space */
  BT_DEV_LM = 6,  /* local memory */
  BT_MAX_DEV = 8
} bt_dev_t;

/* Parameters of bt_get_info and bt_set_info (a subset). */
typedef enum {
  BT_MIN_INFO = 0,
  BT_INFO_BLOCK = 1,
  BT_INFO_PAUSE = 2,
  BT_INFO_DATAWIDTH = 3,
  BT_INFO_DMA_AMOD = 4,
  BT_INFO_PIO_AMOD = 5,
  BT_INFO_MMAP_AMOD = 6,
  BT_INFO_SWAP = 7,
  BT_MAX_INFO = 40
} bt_info_t;

/* Statuses, numbered in order on Linux (the POSIX-like ones are not the
 * system's error numbers there). */
typedef enum {
  BT_SUCCESS = 0,
  BT_EIO = 1,
  BT_ENXIO = 2,
  BT_ENOMEM = 3,
  BT_EINVAL = 4,
  BT_EACCESS = 5,
  BT_EDESC = 6,
  BT_ENOSUP = 7,
  BT_EABORT = 8,
  BT_ESYSMAX = 9,
  BT_EFAIL = 10,
  BT_ENORD = 11,
  BT_ENOWR = 12,
  BT_ESTATUS = 13,
  BT_ENOPWR = 14,
  BT_EPWRCYC = 15,
  BT_EBUSY = 16
} bt_error_t;

char* bt_gen_name(int unit, bt_dev_t logdev, char* devname_p, size_t max_devname);
bt_error_t bt_open(bt_desc_t* btd_p, const char* devname_p, bt_accessflag_t flags);
bt_error_t bt_close(bt_desc_t btd);
char* bt_strerror(bt_desc_t btd, bt_error_t status, const char* msg_p, char* buf_p, size_t buf_len);
bt_error_t bt_read(bt_desc_t btd, void* buf_p, bt_devaddr_t xfer_off, size_t xfer_len,
                   size_t* xfer_done_p);
bt_error_t bt_write(bt_desc_t btd, void* buf_p, bt_devaddr_t xfer_off, size_t xfer_len,
                    size_t* xfer_done_p);
bt_error_t bt_get_info(bt_desc_t btd, bt_info_t param, bt_devdata_t* value_p);
bt_error_t bt_set_info(bt_desc_t btd, bt_info_t param, bt_devdata_t value);
bt_error_t bt_reset(bt_desc_t btd);

#ifdef __cplusplus
}
#endif

#endif /* QUORVANE_FAKE_SBS_BTAPI_H */
