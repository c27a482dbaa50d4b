#pragma once

// The simulated TTCvi, decoded from the module's register map, and the TTCrx
// receivers on its B channel. Offsets are relative to the module's base.
// Written on its own, without the panel's module driver or word codec, so a
// fault there cannot be mirrored here.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/Ring.h"
#include "sim/SimCrate.h"

namespace sim {

// How the module answered an access.
enum class Answer { Done, NotReadable, NoRegister };

class TTCviModel {
 public:
  TTCviModel() { PowerUp(); }

  // Width in bits of the register at offset (16 or 32), 0 where none is.
  static unsigned RegisterWidth(std::uint32_t offset) {
    if (offset < 0x80 || offset > 0xCA || (offset & 1) != 0) return 0;
    if (offset >= 0xB0 && offset < 0xC0) return (offset & 3) == 0 ? 32 : 0;
    if (offset <= 0x86 || (offset >= 0x90 && offset < 0xB0)) return 16;
    return offset == 0xC0 || offset == 0xC2 || offset == 0xC4 || offset == 0xC8 || offset == 0xCA
               ? 16
               : 0;
  }

  // Registers, FIFOs, receivers, B-channel log and counters to power-up.
  void PowerUp();
  // What the module's own software reset does: registers and FIFOs only.
  void SoftwareReset();

  // Callers check RegisterWidth first; an access of another width is
  // answered NoRegister and changes nothing.
  Answer Write16(std::uint32_t offset, std::uint16_t value);
  Answer Write32(std::uint32_t offset, std::uint32_t value);
  Answer Read16(std::uint32_t offset, std::uint16_t& value) const;
  Answer Read32(std::uint32_t offset, std::uint32_t& value) const;

  std::uint16_t CSR1() const { return Csr1; }
  std::uint16_t CSR2() const;
  std::uint16_t Mode(int channel) const { return Valid(channel) ? Modes[channel] : 0; }
  std::size_t FifoSize(int channel) const { return Valid(channel) ? Fifos[channel].Size : 0; }
  std::vector<std::uint32_t> FifoWords(int channel) const;
  std::uint16_t InhibitDelay(int channel) const { return Valid(channel) ? Delays[channel] : 0; }
  std::uint16_t InhibitDuration(int channel) const {
    return Valid(channel) ? Durations[channel] : 0;
  }
  std::uint16_t TrigWordAddress() const { return TrigAddress; }
  std::uint16_t TrigWordControl() const { return TrigControl; }
  std::uint64_t L1ACount() const { return L1As; }
  std::uint64_t SignalCount(int channel) const { return Valid(channel) ? Signals[channel] : 0; }
  std::uint64_t LostWords(int channel) const { return Valid(channel) ? Lost[channel] : 0; }
  std::uint16_t LastWritten(std::uint32_t offset) const;
  unsigned WriteCount(std::uint32_t offset) const;

  std::uint8_t TTCrxRegister(std::uint16_t address, int subaddress) const;
  unsigned TTCrxWriteCount(std::uint16_t address) const {
    return Receivers[address & kTTCrxAddressMask].Writes;
  }
  std::vector<std::uint16_t> TTCrxReached() const;

  std::vector<BChannelCycle> BChannelCycles() const { return BChannel.ToVector(); }
  void ClearBChannelCycles() { BChannel.Clear(); }
  std::uint64_t TotalBChannelCycles() const { return BChannel.TotalPushed(); }

 private:
  static constexpr std::uint16_t kCSR1ReadBack = 0x700F;  // rate, orbit, trigger source
  static constexpr std::uint32_t kTTCrxAddressMask = 0x3FFF;
  static constexpr std::size_t kTTCrxCount = kTTCrxAddressMask + 1;
  static constexpr int kTTCrxRegisters = 4;  // fine deskew 1, 2, coarse delays, control
  static constexpr std::size_t kRegisterSlots = (0xCA - 0x80) / 2 + 1;

  struct Fifo {
    std::array<std::uint32_t, kBGoFifoDepth> Words{};
    std::size_t Head = 0;  // oldest word
    std::size_t Size = 0;
  };

  struct Receiver {
    std::array<std::uint8_t, kTTCrxRegisters> Registers{};
    unsigned Writes = 0;
  };

  static bool Valid(int channel) { return channel >= 0 && channel < kBGoChannels; }
  static std::size_t Slot(std::uint32_t offset) { return (offset - 0x80) / 2; }

  void Signal(int channel);
  void SendWord(BChannelCycle::Source source, int channel, std::uint32_t word);
  void Record(std::uint32_t offset, std::uint16_t value);

  // Module registers.
  std::uint16_t Csr1 = 0;
  std::uint16_t RetransmitOff = 0;  // CSR2 bits 11..8, as bits 3..0
  std::array<std::uint16_t, kBGoChannels> Modes{};
  std::array<std::uint16_t, kBGoChannels> Delays{};
  std::array<std::uint16_t, kBGoChannels> Durations{};
  std::array<Fifo, kBGoChannels> Fifos{};
  std::uint16_t AsyncFirstWord = 0;  // 0xC0
  std::uint16_t TrigAddress = 0;
  std::uint16_t TrigControl = 0;

  // Inspection only; the module's reset leaves these alone.
  std::uint64_t L1As = 0;
  std::array<std::uint64_t, kBGoChannels> Signals{};
  std::array<std::uint64_t, kBGoChannels> Lost{};
  std::array<std::uint16_t, kRegisterSlots> Written{};
  std::array<unsigned, kRegisterSlots> WriteCounts{};

  std::array<Receiver, kTTCrxCount> Receivers{};
  Ring<BChannelCycle, kBChannelLogCapacity> BChannel;
};

}  // namespace sim
