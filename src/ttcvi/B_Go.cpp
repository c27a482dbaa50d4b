#include "ttcvi/B_Go.h"

#include "ttcvi/RegisterMap.h"

using namespace ttcvi;

B_Go::B_Go(TVMEInterface* vme, std::uint32_t baseAddress, std::uint16_t fifoOffset,
           std::uint16_t modeOffset, std::uint16_t signalOffset)
    : VME(vme),
      BaseAddress(baseAddress),
      FIFOOffset(fifoOffset),
      ModeOffset(modeOffset),
      SignalOffset(signalOffset) {}

void B_Go::SetMode(bool enable, bool asynchronous, bool repetitive, bool fifo, bool calibration) {
  std::uint32_t mode = kModeEnable.With(0, enable);
  mode = kModeAsynchronous.With(mode, asynchronous);
  mode = kModeRepetitive.With(mode, repetitive);
  mode = kModeFIFO.With(mode, fifo);
  mode = kModeCalibration.With(mode, calibration);  // Mk II only, channel 2
  VME->Write16(BaseAddress + ModeOffset, static_cast<std::uint16_t>(mode));
}

std::bitset<5> B_Go::ReadMode() {
  // Only bits 4..0 of the mode register mean anything.
  return std::bitset<5>(kModeFlags.Of(VME->Read16(BaseAddress + ModeOffset)));
}

// Any write to the signal register fires the channel's B-Go once.
void B_Go::Signal() { VME->Write16(BaseAddress + SignalOffset, kBGoSignalValue); }

void B_Go::WriteFIFO(std::bitset<32> word) {
  VME->Write32(BaseAddress + FIFOOffset, static_cast<std::uint32_t>(word.to_ulong()));
}
