#include "FakeCaen.h"

#include <arpa/inet.h>

#include <cstring>
#include <set>

namespace fake_caen {

namespace {

std::set<std::int32_t>& Open() {
  static std::set<std::int32_t> open;
  return open;
}

bool IsOpen(std::int32_t handle) { return Open().count(handle) != 0; }

CVErrorCodes Next(Call call) { return State().Next(call, cvSuccess); }

Record& Log(Call call, std::int32_t handle, CVErrorCodes status) {
  Record& record = State().Log(call, status);
  record.handle = handle;
  return record;
}

bool OverEthernet(CVBoardTypes board) { return board == cvETH_V4718 || board == cvETH_V4718_LOCAL; }

// The mask of the bytes a cycle of this width moves.
std::uint32_t Mask(CVDataWidth width) {
  switch (width) {
    case cvD8:
      return 0xFF;
    case cvD16:
      return 0xFFFF;
    default:
      return 0xFFFFFFFF;
  }
}

}  // namespace

Library& State() {
  static Library library;
  return library;
}

void Reset() {
  Open().clear();
  State() = Library();
}

void Queue(Call call, std::initializer_list<CVErrorCodes> statuses) {
  State().Queue(call, statuses);
}

std::vector<Record> CallsOf(Call call) { return State().CallsOf(call); }

std::size_t OpenHandles() { return Open().size(); }

std::string Decoded(CVErrorCodes code) {
  switch (code) {
    case cvSuccess:
      return "no error";
    case cvBusError:
      return "bus error (no module answered)";
    case cvCommError:
      return "communication error with the bridge";
    case cvGenericError:
      return "unspecified error";
    case cvInvalidParam:
      return "invalid parameter";
    case cvTimeoutError:
      return "timeout";
    case cvAlreadyOpenError:
    case cvMaxBoardCountError:
    case cvNotSupported:
      break;  // the library's table stops at the timeout
  }
  return "Unknown error";
}

}  // namespace fake_caen

using namespace fake_caen;

extern "C" {

const char* CAENVME_DecodeError(CVErrorCodes Code) {
  Log(Call::DecodeError, -1, Code);
  if (State().decodeGivesNull) return nullptr;
  // The library hands out texts that live as long as it does.
  static std::map<CVErrorCodes, std::string> texts;
  return (texts[Code] = Decoded(Code)).c_str();
}

// As the vendor's: the Ethernet V4718's address is taken only as dotted
// IPv4 text; a host name reads as 255.255.255.255, which no bridge answers.
CVErrorCodes CAENVME_Init2(CVBoardTypes BdType, const void* Arg, short ConetNode, int32_t* Handle) {
  in_addr address{};
  CVErrorCodes status = Arg == nullptr || Handle == nullptr ? cvInvalidParam : Next(Call::Init);
  if (status == cvSuccess && OverEthernet(BdType) &&
      inet_pton(AF_INET, static_cast<const char*>(Arg), &address) != 1)
    status = cvGenericError;
  Record& record = Log(Call::Init, -1, status);
  record.board = BdType;
  record.node = ConetNode;
  if (Arg != nullptr) {
    if (OverEthernet(BdType))
      record.host = static_cast<const char*>(Arg);
    else
      std::memcpy(&record.link, Arg, sizeof record.link);
  }
  if (status != cvSuccess) return status;
  record.handle = *Handle = State().nextHandle++;
  Open().insert(*Handle);
  return status;
}

CVErrorCodes CAENVME_End(int32_t Handle) {
  const CVErrorCodes status = IsOpen(Handle) ? Next(Call::End) : cvInvalidParam;
  Log(Call::End, Handle, status);
  if (status == cvSuccess) Open().erase(Handle);
  return status;
}

CVErrorCodes CAENVME_ReadCycle(int32_t Handle, uint32_t Address, void* Data, CVAddressModifier AM,
                               CVDataWidth DW) {
  const CVErrorCodes status = IsOpen(Handle) ? Next(Call::Read) : cvInvalidParam;
  Record& record = Log(Call::Read, Handle, status);
  record.address = Address;
  record.modifier = AM;
  record.width = DW;
  if (status != cvSuccess) return status;
  record.data = State().registers[Address] & Mask(DW);
  // Data points to a host integer of the cycle's width.
  if (DW == cvD16) {
    const auto value = static_cast<std::uint16_t>(record.data);
    std::memcpy(Data, &value, sizeof value);
  } else if (DW == cvD32) {
    std::memcpy(Data, &record.data, sizeof record.data);
  } else {
    const auto value = static_cast<std::uint8_t>(record.data);
    std::memcpy(Data, &value, sizeof value);
  }
  return status;
}

CVErrorCodes CAENVME_WriteCycle(int32_t Handle, uint32_t Address, const void* Data,
                                CVAddressModifier AM, CVDataWidth DW) {
  const CVErrorCodes status = IsOpen(Handle) ? Next(Call::Write) : cvInvalidParam;
  Record& record = Log(Call::Write, Handle, status);
  record.address = Address;
  record.modifier = AM;
  record.width = DW;
  if (DW == cvD16) {
    std::uint16_t value = 0;
    std::memcpy(&value, Data, sizeof value);
    record.data = value;
  } else if (DW == cvD32) {
    std::memcpy(&record.data, Data, sizeof record.data);
  } else {
    std::uint8_t value = 0;
    std::memcpy(&value, Data, sizeof value);
    record.data = value;
  }
  if (status == cvSuccess) State().registers[Address] = record.data;
  return status;
}

CVErrorCodes CAENVME_SystemReset(int32_t Handle) {
  const CVErrorCodes status = IsOpen(Handle) ? Next(Call::SystemReset) : cvInvalidParam;
  Log(Call::SystemReset, Handle, status);
  return status;
}

CVErrorCodes CAENVME_SWRelease(char* SwRel) {
  const CVErrorCodes status = State().releaseFails ? cvGenericError : cvSuccess;
  Log(Call::SWRelease, -1, status);
  if (status == cvSuccess) std::strcpy(SwRel, State().release.c_str());
  return status;
}

}  // extern "C"
