#include "vme/TVMEWinBit3.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "base/ScopeExit.h"
#include "vme/TDebug.h"
#include "vme/VMEErrors.h"

namespace {

constexpr bt_devdata_t kA24NonPrivilegedData = 0x39;
constexpr int kTraceLevel = 1;
const char* const kParallelAccess = "TVMEWinBit3::Write: parallel accesss";

}  // namespace

TVMEWinBit3::TVMEWinBit3(std::int32_t unit, std::int32_t logicalDevice, std::int32_t maxTransfer)
    : ErrorTextSize(256), Busy(false), MaxTransfer(maxTransfer) {
  // A limit of 0 would never shrink a request, so splitting would not end; a
  // negative one other than -1 is no meaningful limit either. Refuse both
  // before any adapter handle exists.
  if (maxTransfer != -1 && maxTransfer < 1)
    throw TException("TVMEWinBit3: largest transfer must be -1 (no limit) or at least 1 byte");

  Library = InstalledAdapterLibrary();
  if (!Library) throw TException("TVMEWinBit3: no adapter library has been chosen");
  Calls = &Library->Calls;

  ErrorText = std::make_unique<char[]>(static_cast<std::size_t>(ErrorTextSize));
  DeviceName[0] = '\0';

  const char* name = Calls->bt_gen_name(unit, logicalDevice, DeviceName, sizeof DeviceName);
  // The name goes into every message: keep it terminated whatever was written.
  DeviceName[sizeof DeviceName - 1] = '\0';

  const bt_error_t status = Calls->bt_open(&Handle, name, BT_RD | BT_WR);
  if (status != BT_SUCCESS) throw EVMEOpen(Detail(status));

  try {
    DebugLog.Line("Opened vme device " + std::string(DeviceName), kTraceLevel);
    SetAddressModifiers();
  } catch (...) {
    // No connection results, so nobody else would ever close this handle.
    Calls->bt_close(Handle);
    throw;
  }
}

VMEConnectionDescription TVMEWinBit3::Describe() const {
  std::string adapter = Library->Name;
  if (!Library->Release.empty()) adapter += ", " + Library->Release;
  return {adapter, DeviceName, Library->Simulated, Library->Kind};
}

TVMEWinBit3::~TVMEWinBit3() {
  const bt_error_t status = Calls->bt_close(Handle);
  if (status != BT_SUCCESS) {
    // A destructor must not throw: the refused close is traced instead.
    try {
      DebugLog.Line(EVME(Detail(status)).Message(), kTraceLevel);
    } catch (...) {
    }
  }
}

void TVMEWinBit3::SetAddressModifiers() {
  // DMA and programmed transfers both use A24 non-privileged data access.
  SetAddressModifier(BT_INFO_DMA_AMOD);
  SetAddressModifier(BT_INFO_PIO_AMOD);
}

void TVMEWinBit3::SetAddressModifier(bt_info_t parameter) {
  bt_devdata_t value = 0;
  bt_error_t status = Calls->bt_get_info(Handle, parameter, &value);
  if (status != BT_SUCCESS) throw EVME(Detail(status));
  if (value == kA24NonPrivilegedData) return;
  status = Calls->bt_set_info(Handle, parameter, kA24NonPrivilegedData);
  if (status != BT_SUCCESS) throw EVME(Detail(status));
}

std::string TVMEWinBit3::Detail(bt_error_t status) {
  return "device " + std::string(DeviceName) + ErrorDescription(status);
}

std::string TVMEWinBit3::ErrorDescription(bt_error_t status) {
  if (status == BT_SUCCESS) return std::string();
  ErrorText[0] = '\0';
  const char* text = Calls->bt_strerror(Handle, status, "", ErrorText.get(),
                                        static_cast<std::size_t>(ErrorTextSize));
  ErrorText[ErrorTextSize - 1] = '\0';
  return text != nullptr ? std::string(text) : std::string("error description anavailable");
}

void TVMEWinBit3::CheckTransferred(std::size_t transferred, std::uint32_t count, bool write) {
  if (transferred >= count) return;
  // A library may report success for a transfer cut short (the SBS/Bit3
  // library does when its driver moved fewer bytes): the register did not
  // get, or did not give, the whole value.
  const std::string detail = "device " + std::string(DeviceName) + ": only " +
                             std::to_string(transferred) + " of " + std::to_string(count) +
                             " bytes were " + (write ? "written" : "read") +
                             " although the adapter reported success";
  if (write) throw EVMEWrite(detail);
  throw EVMERead(detail);
}

void TVMEWinBit3::ResetAdapter() {
  const bt_error_t status = Calls->bt_reset(Handle);
  if (status != BT_SUCCESS) throw EVME(Detail(status));
}

void TVMEWinBit3::Write(std::uint32_t address, const void* data, std::uint32_t count) {
  const auto limit = static_cast<std::uint32_t>(MaxTransfer);
  if (MaxTransfer != -1 && limit < count) {
    // Each piece goes through the virtual Write and takes its own guard.
    const auto* bytes = static_cast<const unsigned char*>(data);
    this->Write(address, bytes, limit);
    this->Write(address + limit, bytes + limit, count - limit);
    return;
  }

  if (Busy) throw TException(kParallelAccess);  // Busy belongs to the transfer under way
  // The overlapping-use flag holds for this one library transfer and is
  // cleared on every way out, so an error never leaves the connection locked.
  Busy = true;
  ScopeExit clearBusy([this] { Busy = false; });

  DebugLog.Begin("VMEWrite: address=", kTraceLevel);
  DebugLog.AppendHex(static_cast<long>(address), kTraceLevel);
  DebugLog.Append(" count=", kTraceLevel);
  DebugLog.AppendDec(static_cast<long>(count), kTraceLevel);
  DebugLog.End("", kTraceLevel);
  TraceValues("   write: adr=", address, data, count);

  // The library wants an 8-byte aligned source: copy the data to the first
  // 8-byte boundary strictly above the start of a count + 8 byte block.
  std::unique_ptr<unsigned char[]> block(
      new (std::nothrow) unsigned char[static_cast<std::size_t>(count) + 8]);
  if (!block) throw EVME("device " + std::string(DeviceName) + "Could not allocate buffer");
  const auto start = reinterpret_cast<std::uintptr_t>(block.get());
  unsigned char* aligned = block.get() + (8 - start % 8);
  if (count != 0) std::memcpy(aligned, data, count);

  std::size_t transferred = 0;
  const bt_error_t status = Calls->bt_write(Handle, aligned, address, count, &transferred);
  block.reset();
  if (status != BT_SUCCESS) throw EVMEWrite(Detail(status));
  CheckTransferred(transferred, count, true);
}

void TVMEWinBit3::Read(std::uint32_t address, void* data, std::uint32_t count) {
  const auto limit = static_cast<std::uint32_t>(MaxTransfer);
  if (MaxTransfer != -1 && limit < count) {
    auto* bytes = static_cast<unsigned char*>(data);
    this->Read(address, bytes, limit);
    this->Read(address + limit, bytes + limit, count - limit);
    return;
  }

  if (Busy) throw TException(kParallelAccess);
  Busy = true;
  ScopeExit clearBusy([this] { Busy = false; });

  // Straight into the caller's buffer: no copy, no alignment step.
  std::size_t transferred = 0;
  const bt_error_t status = Calls->bt_read(Handle, data, address, count, &transferred);
  if (status != BT_SUCCESS) throw EVMERead(Detail(status));
  CheckTransferred(transferred, count, false);

  TraceValues("   read: adr=", address, data, count);
}

void TVMEWinBit3::Write32(std::uint32_t address, std::uint32_t value) {
  this->Write(address, &value, sizeof value);
}

void TVMEWinBit3::Write16(std::uint32_t address, std::uint16_t value) {
  this->Write(address, &value, sizeof value);
}

std::uint32_t TVMEWinBit3::Read32(std::uint32_t address) {
  std::uint32_t value = 0;
  this->Read(address, &value, sizeof value);
  return value;
}

std::uint16_t TVMEWinBit3::Read16(std::uint32_t address) {
  std::uint16_t value = 0;
  this->Read(address, &value, sizeof value);
  return value;
}

void TVMEWinBit3::TraceValues(const char* prefix, std::uint32_t address, const void* data,
                              std::uint32_t count) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  auto line = [&](std::uint32_t lineAddress, long value) {
    DebugLog.Begin(prefix, kTraceLevel);
    DebugLog.AppendHex(static_cast<long>(lineAddress), kTraceLevel);
    DebugLog.Append(" val=", kTraceLevel);
    DebugLog.AppendHex(value, kTraceLevel);
    DebugLog.End("", kTraceLevel);
  };

  if (count == 1) {
    line(address, bytes[0]);
  } else if (count == 2) {
    std::uint16_t value;
    std::memcpy(&value, bytes, sizeof value);
    line(address, value);
  } else {
    // 64-bit index: stepping by 4 must not wrap near the top of the range.
    for (std::uint64_t i = 0; i < count; i += 4) {
      // A final group shorter than 4 bytes shows only the bytes that exist
      // (zero-extended): the caller's buffer ends there.
      std::uint32_t value = 0;
      const std::uint64_t left = count - i;
      std::memcpy(&value, bytes + i, left < 4 ? static_cast<std::size_t>(left) : 4);
      line(address + static_cast<std::uint32_t>(i), static_cast<long>(value));
    }
  }
}
