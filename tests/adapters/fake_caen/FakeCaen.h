#pragma once

// The recording implementation behind the fake CAENVMElib.h, built as the
// shared library libCAENVME.so. It logs every
// library call with the arguments received, answers from a script (statuses
// queued per call, register values) and checks handles: a call with a handle
// that no CAENVME_Init2 gave, or that was ended, is refused as the library
// refuses it (cvInvalidParam).

#include <CAENVMElib.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "CallScript.h"

namespace fake_caen {

enum class Call { Init, End, Read, Write, SystemReset, DecodeError, SWRelease };

// One call as the library saw it; fields a call does not have stay zero.
struct Record {
  Call call = Call::Init;
  std::int32_t handle = -1;  // passed in; for Init the one handed out
  CVBoardTypes board = cvInvalid;
  std::uint32_t link = 0;  // Init: the number Arg pointed to
  std::string host;        // Init over Ethernet: the host Arg pointed to
  short node = 0;
  std::uint32_t address = 0;
  std::uint32_t data = 0;  // Write: value passed; Read: value delivered
  CVAddressModifier modifier = cvA24_U_DATA;
  CVDataWidth width = cvD8;
  CVErrorCodes status = cvSuccess;  // DecodeError: the code decoded
};

// Queued statuses per call (success when none) and the log: CallScript.
struct Library : CallScript<Call, CVErrorCodes, Record> {
  std::map<std::uint32_t, std::uint32_t> registers;  // written values; reads answer from here
  std::int32_t nextHandle = 0;                       // the library numbers handles from 0
  bool decodeGivesNull = false;
  std::string release = "3.4.4";  // what CAENVME_SWRelease writes
  bool releaseFails = false;      // CAENVME_SWRelease refuses, writing nothing
};

Library& State();
// Ends what is still open and starts from a fresh script and log.
void Reset();
void Queue(Call call, std::initializer_list<CVErrorCodes> statuses);
std::vector<Record> CallsOf(Call call);
std::size_t OpenHandles();
// What CAENVME_DecodeError says for a code: "Unknown error" for the codes
// its table does not reach (-6 and beyond), as the library's.
std::string Decoded(CVErrorCodes code);

}  // namespace fake_caen
