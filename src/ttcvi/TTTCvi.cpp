#include "ttcvi/TTTCvi.h"

#include "base/ScopeExit.h"
#include "ttcvi/BChannelWord.h"

namespace {

std::uint16_t ToWord(const std::bitset<16>& bits) {
  return static_cast<std::uint16_t>(bits.to_ulong());
}

// CSR1 fields.
constexpr unsigned kTriggerSourceBit = 0;  // bits 2..0
constexpr unsigned kOrbitSelectBit = 3;    // 1 = internal orbit
constexpr unsigned kL1AFIFOResetBit = 6;   // pulse
constexpr unsigned kRandomRateBit = 12;    // bits 14..12
constexpr int kVMETriggerSource = 4;
// CSR2 fields, one bit per B-Go channel.
constexpr unsigned kRetransmitBit = 8;     // bits 11..8, 1 = retransmission off
constexpr unsigned kBGoFIFOResetBit = 12;  // bits 15..12, pulse

// Copies the low `width` bits of value into shadow bits first..first+width-1.
void SetField(std::bitset<16>& shadow, unsigned first, unsigned width, unsigned value) {
  for (unsigned i = 0; i < width; ++i) shadow[first + i] = (value >> i) & 1u;
}

}  // namespace

TTTCvi::TTTCvi(TVMEInterface* vme, std::uint32_t baseAddress) : VME(vme), BaseAddress(baseAddress) {
  // Channel n: FIFO 0xB0 + 4n, mode 0x90 + 8n, software signal 0x96 + 8n. No register access.
  for (std::uint32_t n = 0; n < BGo.size(); ++n) {
    BGo[n] = std::make_unique<B_Go>(vme, baseAddress, static_cast<std::uint16_t>(kBGoFIFO0 + 4 * n),
                                    static_cast<std::uint16_t>(kBGoMode0 + 8 * n),
                                    static_cast<std::uint16_t>(kBGoSignal0 + 8 * n));
  }
}

void TTTCvi::WriteRegister(std::uint32_t offset, std::uint16_t value) {
  // 32-bit address arithmetic: the base plus offset wraps like the bus address does.
  VME->Write16(BaseAddress + offset, value);
}

void TTTCvi::Reset() { WriteRegister(kSoftwareReset, 0x0000); }

void TTTCvi::SetTriggerSource(int source) {
  // Only the low three bits count; -1 selects source 7.
  SetField(CSR1Shadow, kTriggerSourceBit, 3, static_cast<unsigned>(source));
  WriteCSR1(ToWord(CSR1Shadow));
}

void TTTCvi::SetRandomRate(int rate) {
  SetField(CSR1Shadow, kRandomRateBit, 3, static_cast<unsigned>(rate));
  WriteCSR1(ToWord(CSR1Shadow));
}

void TTTCvi::SetOrbitSignal(bool internal) {
  CSR1Shadow[kOrbitSelectBit] = internal;
  WriteCSR1(ToWord(CSR1Shadow));
}

void TTTCvi::ResetL1AFIFO(bool reset) {
  CSR1Shadow[kL1AFIFOResetBit] = reset;
  // A pulse: the bit goes out in this one write only. It is cleared even when
  // the write fails, so a failed reset never rides along with a later write.
  ScopeExit clearPulse([this] { CSR1Shadow[kL1AFIFOResetBit] = false; });
  WriteCSR1(ToWord(CSR1Shadow));
}

void TTTCvi::VMETrigger() {
  // Select the VME trigger source first, then fire the software L1A.
  SetField(CSR1Shadow, kTriggerSourceBit, 3, kVMETriggerSource);
  WriteCSR1(ToWord(CSR1Shadow));
  WriteRegister(kVMEL1A, 0x000F);
}

std::uint16_t TTTCvi::ReadCSR1() { return VME->Read16(BaseAddress + kCSR1); }

std::uint16_t TTTCvi::ReadCSR2() { return VME->Read16(BaseAddress + kCSR2); }

void TTTCvi::WriteCSR1(std::uint16_t value) { WriteRegister(kCSR1, value); }

void TTTCvi::WriteCSR2(std::uint16_t value) { WriteRegister(kCSR2, value); }

void TTTCvi::ResetBGoFIFOs(std::bitset<4> channels) {
  SetField(CSR2Shadow, kBGoFIFOResetBit, 4, static_cast<unsigned>(channels.to_ulong()));
  // Pulse bits, cleared whether or not the write succeeds (see ResetL1AFIFO).
  ScopeExit clearPulse([this] { SetField(CSR2Shadow, kBGoFIFOResetBit, 4, 0); });
  WriteCSR2(ToWord(CSR2Shadow));
}

void TTTCvi::SetRetransmit(std::bitset<4> retransmitOff) {
  SetField(CSR2Shadow, kRetransmitBit, 4, static_cast<unsigned>(retransmitOff.to_ulong()));
  WriteCSR2(ToWord(CSR2Shadow));
}

void TTTCvi::LoadCSR1Shadow(std::uint16_t readBack) {
  CSR1Shadow.reset();
  SetField(CSR1Shadow, kTriggerSourceBit, 3, readBack >> kTriggerSourceBit);
  SetField(CSR1Shadow, kOrbitSelectBit, 1, readBack >> kOrbitSelectBit);
  SetField(CSR1Shadow, kRandomRateBit, 3, readBack >> kRandomRateBit);
}

void TTTCvi::LoadCSR2Shadow(std::uint16_t readBack) {
  CSR2Shadow.reset();
  SetField(CSR2Shadow, kRetransmitBit, 4, readBack >> kRetransmitBit);
}

void TTTCvi::SetInhibit(int channel, int delay, int duration) {
  // Written as given (low 16 bits); the window limits the ranges.
  WriteRegister(kInhibitDelay0 + 8 * channel, static_cast<std::uint16_t>(delay));
  WriteRegister(kInhibitDuration0 + 8 * channel, static_cast<std::uint16_t>(duration));
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
  const unsigned control = (static_cast<unsigned>(subaddress) & 0x3Fu) << 2 |
                           static_cast<unsigned>(external) << 8 |
                           static_cast<unsigned>(enable) << 9;
  WriteRegister(kTrigWordControl, static_cast<std::uint16_t>(control));
}
