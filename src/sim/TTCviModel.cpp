#include "sim/TTCviModel.h"

namespace sim {

namespace {

constexpr std::uint32_t kModeFirst = 0x90;   // channel n: mode 0x90 + 8n
constexpr std::uint32_t kFifoFirst = 0xB0;   // channel n: FIFO data 0xB0 + 4n
constexpr std::uint16_t kModeBits = 0x001F;  // enable, async, repetitive, FIFO, calibration
constexpr std::uint16_t kModeFifo = 0x0008;
constexpr std::uint16_t kDelayBits = 0x0FFF;
constexpr std::uint16_t kDurationBits = 0x00FF;

}  // namespace

void TTCviModel::PowerUp() {
  SoftwareReset();
  L1As = 0;
  Signals.fill(0);
  Lost.fill(0);
  Written.fill(0);
  WriteCounts.fill(0);
  Receiver atPowerUp;
  atPowerUp.Registers = {0, 0, 0, kTTCrxControlAtPowerUp};
  Receivers.fill(atPowerUp);
  BChannel.Clear();
}

void TTCviModel::SoftwareReset() {
  Csr1 = 0;
  RetransmitOff = 0;
  Modes.fill(0);
  Delays.fill(0);
  Durations.fill(0);
  for (Fifo& fifo : Fifos) fifo.Head = fifo.Size = 0;
  AsyncFirstWord = 0;
  TrigAddress = 0;
  TrigControl = 0;
}

std::uint16_t TTCviModel::CSR2() const {
  std::uint16_t value = static_cast<std::uint16_t>(RetransmitOff << 8);
  for (int n = 0; n < kBGoChannels; ++n) {
    if (Fifos[n].Size == 0) value |= static_cast<std::uint16_t>(1u << (2 * n));
    if (Fifos[n].Size == kBGoFifoDepth) value |= static_cast<std::uint16_t>(1u << (2 * n + 1));
  }
  return value;
}

void TTCviModel::Record(std::uint32_t offset, std::uint16_t value) {
  Written[Slot(offset)] = value;
  ++WriteCounts[Slot(offset)];
}

Answer TTCviModel::Write16(std::uint32_t offset, std::uint16_t value) {
  if (RegisterWidth(offset) != 16) return Answer::NoRegister;
  Record(offset, value);
  switch (offset) {
    case 0x80:
      Csr1 = value & kCSR1ReadBack;  // bit 6 (L1A FIFO reset) is a pulse
      break;
    case 0x82:
      RetransmitOff = (value >> 8) & 0xF;
      for (int n = 0; n < kBGoChannels; ++n) {
        if ((value >> (12 + n)) & 1) Fifos[n].Head = Fifos[n].Size = 0;
      }
      break;
    case 0x84:
      SoftwareReset();
      break;
    case 0x86:
      ++L1As;
      break;
    case 0xC0:
      AsyncFirstWord = value;
      break;
    case 0xC2:
      SendWord(BChannelCycle::Source::AsyncLong, -1,
               (static_cast<std::uint32_t>(AsyncFirstWord) << 16) | value);
      break;
    case 0xC4: {
      // A broadcast command: the register's low 8 bits.
      BChannelCycle cycle;
      cycle.source = BChannelCycle::Source::AsyncShort;
      cycle.command = static_cast<std::uint8_t>(value & 0xFF);
      cycle.word = static_cast<std::uint32_t>(cycle.command) << 23;
      BChannel.Push(cycle);
      break;
    }
    case 0xC8:
      TrigAddress = value;
      break;
    case 0xCA:
      TrigControl = value;
      break;
    default: {
      // The B-Go block: four channels of four registers, 8 bytes apart.
      const int channel = static_cast<int>((offset - kModeFirst) / 8);
      switch ((offset - kModeFirst) % 8) {
        case 0:
          Modes[channel] = value & kModeBits;
          break;
        case 2:
          Delays[channel] = value & kDelayBits;
          break;
        case 4:
          Durations[channel] = value & kDurationBits;
          break;
        case 6:
          Signal(channel);
          break;
      }
      break;
    }
  }
  return Answer::Done;
}

Answer TTCviModel::Write32(std::uint32_t offset, std::uint32_t value) {
  // Only the FIFO data registers are 32 bits wide.
  if (RegisterWidth(offset) != 32) return Answer::NoRegister;
  Record(offset, static_cast<std::uint16_t>(value));
  const int channel = static_cast<int>((offset - kFifoFirst) / 4);
  Fifo& fifo = Fifos[channel];
  if (fifo.Size == kBGoFifoDepth) {
    ++Lost[channel];  // the module drops a word written to a full FIFO
    return Answer::Done;
  }
  fifo.Words[(fifo.Head + fifo.Size) % kBGoFifoDepth] = value;
  ++fifo.Size;
  return Answer::Done;
}

Answer TTCviModel::Read16(std::uint32_t offset, std::uint16_t& value) const {
  if (RegisterWidth(offset) != 16) return Answer::NoRegister;
  if (offset == 0x80) {
    value = Csr1;
  } else if (offset == 0x82) {
    value = CSR2();
  } else if (offset >= kModeFirst && offset < kFifoFirst && (offset - kModeFirst) % 8 == 0) {
    value = Modes[(offset - kModeFirst) / 8];
  } else {
    return Answer::NotReadable;
  }
  return Answer::Done;
}

Answer TTCviModel::Read32(std::uint32_t offset, std::uint32_t&) const {
  if (RegisterWidth(offset) != 32) return Answer::NoRegister;
  return Answer::NotReadable;  // the FIFO data registers are write-only
}

std::vector<std::uint32_t> TTCviModel::FifoWords(int channel) const {
  std::vector<std::uint32_t> words;
  if (!Valid(channel)) return words;
  const Fifo& fifo = Fifos[channel];
  words.reserve(fifo.Size);
  for (std::size_t i = 0; i < fifo.Size; ++i)
    words.push_back(fifo.Words[(fifo.Head + i) % kBGoFifoDepth]);
  return words;
}

std::uint16_t TTCviModel::LastWritten(std::uint32_t offset) const {
  return RegisterWidth(offset) != 0 ? Written[Slot(offset)] : 0;
}

unsigned TTCviModel::WriteCount(std::uint32_t offset) const {
  return RegisterWidth(offset) != 0 ? WriteCounts[Slot(offset)] : 0;
}

std::uint8_t TTCviModel::TTCrxRegister(std::uint16_t address, int subaddress) const {
  if (subaddress < 0 || subaddress >= kTTCrxRegisters) return 0;
  return Receivers[address & kTTCrxAddressMask].Registers[subaddress];
}

std::vector<std::uint16_t> TTCviModel::TTCrxReached() const {
  std::vector<std::uint16_t> reached;
  for (std::size_t address = 0; address < kTTCrxCount; ++address)
    if (Receivers[address].Writes != 0) reached.push_back(static_cast<std::uint16_t>(address));
  return reached;
}

void TTCviModel::Signal(int channel) {
  ++Signals[channel];
  if ((Modes[channel] & kModeFifo) == 0) return;
  Fifo& fifo = Fifos[channel];
  for (std::size_t i = 0; i < fifo.Size; ++i)
    SendWord(BChannelCycle::Source::Fifo, channel, fifo.Words[(fifo.Head + i) % kBGoFifoDepth]);
  // CSR2 bit 8 + n clear: retransmission on, the FIFO keeps its words.
  if ((RetransmitOff >> channel) & 1) fifo.Head = fifo.Size = 0;
}

void TTCviModel::SendWord(BChannelCycle::Source source, int channel, std::uint32_t word) {
  BChannelCycle cycle;
  cycle.source = source;
  cycle.channel = channel;
  cycle.word = word;
  cycle.longFormat = (word >> 31) != 0;
  if (cycle.longFormat) {
    // bit 31 flag, 30..17 TTCrx address, 16 E, 15..8 subaddress, 7..0 data
    cycle.ttcrxAddress = static_cast<std::uint16_t>((word >> 17) & kTTCrxAddressMask);
    cycle.external = ((word >> 16) & 1) != 0;
    cycle.subaddress = static_cast<std::uint8_t>(word >> 8);
    cycle.data = static_cast<std::uint8_t>(word);
    if (!cycle.external && cycle.subaddress < kTTCrxRegisters) {
      Receiver& receiver = Receivers[cycle.ttcrxAddress];
      receiver.Registers[cycle.subaddress] = cycle.data;
      ++receiver.Writes;
    }
  } else {
    cycle.command = static_cast<std::uint8_t>(word >> 23);  // bits 30..23
  }
  BChannel.Push(cycle);
}

}  // namespace sim
