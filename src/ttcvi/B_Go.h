#pragma once

#include <bitset>
#include <cstdint>

#include "vme/TVMEInterface.h"

// One B-Go channel of the TTCvi: mode register, software signal, FIFO data.
class B_Go {
 public:
  B_Go(TVMEInterface* vme, std::uint32_t baseAddress, std::uint16_t fifoOffset,
       std::uint16_t modeOffset, std::uint16_t signalOffset);

  // Mode bits 0..4: enable, asynchronous, repetitive, FIFO, calibration.
  void SetMode(bool enable, bool asynchronous, bool repetitive, bool fifo, bool calibration);
  std::bitset<5> ReadMode();
  void Signal();
  void WriteFIFO(std::bitset<32> word);

  TVMEInterface* VME;
  std::uint32_t BaseAddress;
  std::uint16_t FIFOOffset;
  std::uint16_t ModeOffset;
  std::uint16_t SignalOffset;
};
