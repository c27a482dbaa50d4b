#pragma once

// The part of the CAEN VME library's binary interface (CAENVMElib.h and
// CAENVMEtypes.h, libCAENVME) that the caen adapter calls, declared from the
// vendor's public headers: C linkage, int-wide enumerations with the
// vendor's values. Only names in namespace caen::vendor.

#include <cstdint>

namespace caen::vendor {

enum CVBoardTypes : int {
  cvV1718 = 0,
  cvV2718 = 1,
  cvUSB_A4818_V2718 = 6,
  cvUSB_A4818_V3718 = 9,
  cvUSB_A4818_V4718 = 11,
  cvUSB_V3718 = 17,
  cvPCI_A2818_V3718 = 18,
  cvPCIE_A3818_V3718 = 19,
  cvUSB_V4718 = 24,
  cvPCI_A2818_V4718 = 25,
  cvPCIE_A3818_V4718 = 26,
  cvETH_V4718 = 27,
  cvInvalid = -1,
};
enum CVDataWidth : int { cvD16 = 0x02, cvD32 = 0x04 };
enum CVAddressModifier : int { cvA24_U_DATA = 0x39 };
enum CVErrorCodes : int {
  cvSuccess = 0,
  cvAlreadyOpenError = -6,
  cvMaxBoardCountError = -7,
  cvNotSupported = -8,
};

extern "C" {
// Arg points to the link number or PID (uint32_t), or for the Ethernet
// V4718 to its IPv4 address as dotted text (a C string; not a host name).
// Releases before 3.4.0 declare it void*, the same in the binary interface.
using Init2 = CVErrorCodes (*)(CVBoardTypes BdType, const void* Arg, short ConetNode,
                               std::int32_t* Handle);
using End = CVErrorCodes (*)(std::int32_t Handle);
using ReadCycle = CVErrorCodes (*)(std::int32_t Handle, std::uint32_t Address, void* Data,
                                   CVAddressModifier AM, CVDataWidth DW);
using WriteCycle = CVErrorCodes (*)(std::int32_t Handle, std::uint32_t Address, const void* Data,
                                    CVAddressModifier AM, CVDataWidth DW);
using SystemReset = CVErrorCodes (*)(std::int32_t Handle);
using DecodeError = const char* (*)(CVErrorCodes Code);
// Writes the library's release ("3.4.4") into SwRel.
using SWRelease = CVErrorCodes (*)(char* SwRel);
}

}  // namespace caen::vendor
