#include "ttcvi/B_Go.h"

B_Go::B_Go(TVMEInterface* vme, std::uint32_t baseAddress, std::uint16_t fifoOffset,
           std::uint16_t modeOffset, std::uint16_t signalOffset)
    : VME(vme),
      BaseAddress(baseAddress),
      FIFOOffset(fifoOffset),
      ModeOffset(modeOffset),
      SignalOffset(signalOffset) {}

void B_Go::SetMode(bool enable, bool asynchronous, bool repetitive, bool fifo, bool calibration) {
  std::bitset<16> mode;
  mode[0] = enable;
  mode[1] = asynchronous;
  mode[2] = repetitive;
  mode[3] = fifo;
  mode[4] = calibration;  // Mk II only, channel 2
  VME->Write16(BaseAddress + ModeOffset, static_cast<std::uint16_t>(mode.to_ulong()));
}

std::bitset<5> B_Go::ReadMode() {
  // Only bits 4..0 of the mode register mean anything.
  return std::bitset<5>(VME->Read16(BaseAddress + ModeOffset) & 0x1Fu);
}

// Any write to the signal register fires the channel's B-Go once.
void B_Go::Signal() { VME->Write16(BaseAddress + SignalOffset, 0x00FF); }

void B_Go::WriteFIFO(std::bitset<32> word) {
  VME->Write32(BaseAddress + FIFOOffset, static_cast<std::uint32_t>(word.to_ulong()));
}
