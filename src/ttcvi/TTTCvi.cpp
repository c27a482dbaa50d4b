#include "ttcvi/TTTCvi.h"

#include "base/ScopeExit.h"
#include "ttcvi/BChannelWord.h"
#include "ttcvi/RegisterMap.h"

using namespace ttcvi;

namespace {

std::uint16_t ToWord(const std::bitset<16>& bits) {
  return static_cast<std::uint16_t>(bits.to_ulong());
}

// Puts the low bits of value into the shadow's field.
void SetField(std::bitset<16>& shadow, BitField field, unsigned value) {
  shadow = std::bitset<16>(field.With(ToWord(shadow), value));
}

}  // namespace

TTTCvi::TTTCvi(TVMEInterface* vme, std::uint32_t baseAddress) : VME(vme), BaseAddress(baseAddress) {
  // No register access.
  for (unsigned n = 0; n < BGo.size(); ++n) {
    BGo[n] = std::make_unique<B_Go>(vme, baseAddress, static_cast<std::uint16_t>(BGoFIFO(n)),
                                    static_cast<std::uint16_t>(BGoMode(n)),
                                    static_cast<std::uint16_t>(BGoSignal(n)));
  }
}

void TTTCvi::WriteRegister(std::uint32_t offset, std::uint16_t value) {
  // 32-bit address arithmetic: the base plus offset wraps like the bus address does.
  VME->Write16(BaseAddress + offset, value);
}

void TTTCvi::Reset() { WriteRegister(kSoftwareReset, kSoftwareResetValue); }

void TTTCvi::SetTriggerSource(int source) {
  // Only the low three bits count; -1 selects source 7.
  SetField(CSR1Shadow, kTriggerSource, static_cast<unsigned>(source));
  WriteCSR1(ToWord(CSR1Shadow));
}

void TTTCvi::SetRandomRate(int rate) {
  SetField(CSR1Shadow, kRandomRate, static_cast<unsigned>(rate));
  WriteCSR1(ToWord(CSR1Shadow));
}

void TTTCvi::SetOrbitSignal(bool internal) {
  SetField(CSR1Shadow, kOrbitInternal, internal);
  WriteCSR1(ToWord(CSR1Shadow));
}

void TTTCvi::ResetL1AFIFO(bool reset) {
  SetField(CSR1Shadow, kL1AFIFOReset, reset);
  // A pulse: the bit goes out in this one write only. It is cleared even when
  // the write fails, so a failed reset never rides along with a later write.
  ScopeExit clearPulse([this] { SetField(CSR1Shadow, kL1AFIFOReset, 0); });
  WriteCSR1(ToWord(CSR1Shadow));
}

void TTTCvi::VMETrigger() {
  // Select the VME trigger source first, then fire the software L1A.
  SetField(CSR1Shadow, kTriggerSource, kVMETriggerSource);
  WriteCSR1(ToWord(CSR1Shadow));
  WriteRegister(kVMEL1A, kVMEL1AValue);
}

std::uint16_t TTTCvi::ReadCSR1() { return VME->Read16(BaseAddress + kCSR1); }

std::uint16_t TTTCvi::ReadCSR2() { return VME->Read16(BaseAddress + kCSR2); }

void TTTCvi::WriteCSR1(std::uint16_t value) { WriteRegister(kCSR1, value); }

void TTTCvi::WriteCSR2(std::uint16_t value) { WriteRegister(kCSR2, value); }

void TTTCvi::ResetBGoFIFOs(std::bitset<4> channels) {
  SetField(CSR2Shadow, kBGoFIFOReset, static_cast<unsigned>(channels.to_ulong()));
  // Pulse bits, cleared whether or not the write succeeds (see ResetL1AFIFO).
  ScopeExit clearPulse([this] { SetField(CSR2Shadow, kBGoFIFOReset, 0); });
  WriteCSR2(ToWord(CSR2Shadow));
}

void TTTCvi::SetRetransmit(std::bitset<4> retransmitOff) {
  SetField(CSR2Shadow, kRetransmitOff, static_cast<unsigned>(retransmitOff.to_ulong()));
  WriteCSR2(ToWord(CSR2Shadow));
}

void TTTCvi::LoadCSR1Shadow(std::uint16_t readBack) {
  CSR1Shadow.reset();
  for (BitField field : {kTriggerSource, kOrbitInternal, kRandomRate})
    SetField(CSR1Shadow, field, field.Of(readBack));
}

void TTTCvi::LoadCSR2Shadow(std::uint16_t readBack) {
  CSR2Shadow.reset();
  SetField(CSR2Shadow, kRetransmitOff, kRetransmitOff.Of(readBack));
}

void TTTCvi::SetInhibit(int channel, int delay, int duration) {
  // Written as given (low 16 bits); the window limits the ranges.
  WriteRegister(InhibitDelay(static_cast<unsigned>(channel)), static_cast<std::uint16_t>(delay));
  WriteRegister(InhibitDuration(static_cast<unsigned>(channel)),
                static_cast<std::uint16_t>(duration));
}

void TTTCvi::SetInhibit0(int delay, int duration) { SetInhibit(0, delay, duration); }
void TTTCvi::SetInhibit1(int delay, int duration) { SetInhibit(1, delay, duration); }
void TTTCvi::SetInhibit2(int delay, int duration) { SetInhibit(2, delay, duration); }
void TTTCvi::SetInhibit3(int delay, int duration) { SetInhibit(3, delay, duration); }

void TTTCvi::SendLong(int ttcrxAddress, int subaddress, int data, bool external) {
  // The asynchronous cycle is the FIFO's long-format word split in two halves.
  const auto word = static_cast<std::uint32_t>(
      MakeLongWord(static_cast<std::uint32_t>(ttcrxAddress), external,
                   static_cast<std::uint32_t>(subaddress), static_cast<std::uint32_t>(data))
          .to_ulong());
  WriteRegister(kLongAsync1, static_cast<std::uint16_t>(word >> 16));
  WriteRegister(kLongAsync2, static_cast<std::uint16_t>(word & 0xFFFFu));
}

void TTTCvi::SendLongAsync(int ttcrxAddress, int subaddress, int data) {
  SendLong(ttcrxAddress, subaddress, data, false);
}

void TTTCvi::SendLongAsyncExternal(int ttcrxAddress, int subaddress, int data) {
  SendLong(ttcrxAddress, subaddress, data, true);
}

void TTTCvi::SendShortAsync(int command) {
  // The register takes the command number itself, not the FIFO word's bits 30..23.
  WriteRegister(kShortAsync, static_cast<std::uint16_t>(command));
}

void TTTCvi::SetTrigWord(int ttcrxAddress, int subaddress, bool external, bool enable) {
  // The TRIGWORD address register takes the full 16 bits, not the 14-bit field.
  WriteRegister(kTrigWordAddress, static_cast<std::uint16_t>(ttcrxAddress));
  std::uint32_t control = kTrigWordSubaddress.With(0, static_cast<unsigned>(subaddress));
  control = kTrigWordExternal.With(control, external);
  control = kTrigWordEnable.With(control, enable);
  WriteRegister(kTrigWordControl, static_cast<std::uint16_t>(control));
}
