/* A stand-in for the CAEN VME library's header (CAENVMElib.h with the types
 * of CAENVMEtypes.h), for building our fake of the library (libCAENVME.so). Written for Quorvane's
 * tests from the library's public documentation: only the names, types and constant values the
 * adapter uses. FakeCaen.h drives and inspects the recording implementation. */
#ifndef QUORVANE_FAKE_CAENVMELIB_H
#define QUORVANE_FAKE_CAENVMELIB_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Bridges, with the link that reaches them. */
typedef enum CVBoardTypes {
  cvV1718 = 0,
  cvV2718 = 1,
  cvA2818 = 2,
  cvA2719 = 3,
  cvA3818 = 4,
  cvUSB_A4818_V2718_LOCAL = 5,
  cvUSB_A4818_V2718 = 6,
  cvUSB_A4818_LOCAL = 7,
  cvUSB_A4818_V3718_LOCAL = 8,
  cvUSB_A4818_V3718 = 9,
  cvUSB_A4818_V4718_LOCAL = 10,
  cvUSB_A4818_V4718 = 11,
  cvUSB_A4818 = 12,
  cvUSB_A4818_A2719_LOCAL = 13,
  cvUSB_V3718_LOCAL = 14,
  cvPCI_A2818_V3718_LOCAL = 15,
  cvPCIE_A3818_V3718_LOCAL = 16,
  cvUSB_V3718 = 17,
  cvPCI_A2818_V3718 = 18,
  cvPCIE_A3818_V3718 = 19,
  cvUSB_V4718_LOCAL = 20,
  cvPCI_A2818_V4718_LOCAL = 21,
  cvPCIE_A3818_V4718_LOCAL = 22,
  cvETH_V4718_LOCAL = 23,
  cvUSB_V4718 = 24,
  cvPCI_A2818_V4718 = 25,
  cvPCIE_A3818_V4718 = 26,
  cvETH_V4718 = 27,
  cvInvalid = -1
} CVBoardTypes;

typedef enum CVDataWidth { cvD8 = 0x01, cvD16 = 0x02, cvD32 = 0x04, cvD64 = 0x08 } CVDataWidth;

/* Address modifiers (a subset). */
typedef enum CVAddressModifier {
  cvA16_U = 0x29,
  cvA24_S_DATA = 0x3D,
  cvA24_U_DATA = 0x39,
  cvA32_U_DATA = 0x09
} CVAddressModifier;

typedef enum CVErrorCodes {
  cvSuccess = 0,
  cvBusError = -1,
  cvCommError = -2,
  cvGenericError = -3,
  cvInvalidParam = -4,
  cvTimeoutError = -5,
  cvAlreadyOpenError = -6,
  cvMaxBoardCountError = -7,
  cvNotSupported = -8
} CVErrorCodes;

const char* CAENVME_DecodeError(CVErrorCodes Code);
/* Arg points to the link number or PID (uint32_t), or for Ethernet to the
 * IPv4 address as dotted text (a C string). */
CVErrorCodes CAENVME_Init2(CVBoardTypes BdType, const void* Arg, short ConetNode, int32_t* Handle);
CVErrorCodes CAENVME_End(int32_t Handle);
CVErrorCodes CAENVME_ReadCycle(int32_t Handle, uint32_t Address, void* Data, CVAddressModifier AM,
                               CVDataWidth DW);
CVErrorCodes CAENVME_WriteCycle(int32_t Handle, uint32_t Address, const void* Data,
                                CVAddressModifier AM, CVDataWidth DW);
CVErrorCodes CAENVME_SystemReset(int32_t Handle);
/* Writes the library's release, e.g. "3.4.4". */
CVErrorCodes CAENVME_SWRelease(char* SwRel);

#ifdef __cplusplus
}
#endif

#endif /* QUORVANE_FAKE_CAENVMELIB_H */
