#pragma once

// The simulated adapter library's virtual VME crate: one TTCvi at A24 base
// 0xFF1000, TTCrx receivers on its B channel. The nine adapter calls of
// vme/Bit3Api.h are answered from here. Tests inspect the bus cycles and the
// module state and inject failures through this interface.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vme/Bit3Api.h"

namespace sim {

constexpr std::uint32_t kTTCviBase = 0xFF1000;
constexpr std::uint32_t kA24NonPrivilegedData = 0x39;
constexpr std::size_t kBGoFifoDepth = 256;        // words of 32 bits per B-Go FIFO
constexpr std::size_t kCycleRingCapacity = 4096;  // bus cycles kept for inspection

// Statuses the simulated library can return; bt_strerror describes each.
enum SimStatus : bt_error_t {
  kStatusBusError = 1,       // no module decodes the address, or wrong address modifier
  kStatusBadSize = 2,        // transfer size the addressed register cannot take
  kStatusNotOpen = 3,        // handle not open
  kStatusNoDevice = 4,       // bt_open of a device name the crate does not know
  kStatusBadParameter = 5,   // unknown parameter code
  kStatusInjected = 100,     // first of the statuses tests may inject freely
};

struct BusCycle {
  bool write = false;
  std::uint32_t address = 0;
  std::uint32_t addressModifier = 0;
  unsigned width = 0;  // 16 or 32 bits; 0 for a size the module refused
  std::uint32_t value = 0;
  bt_error_t status = 0;
};

enum class Call { Open, GetInfo, SetInfo, Write, Read, Reset, Close };

class Crate {
 public:
  static Crate& Instance();

  // Power-up: module and receivers to their power-up state, adapter closed,
  // address-modifier parameters to their start values (not 0x39), no faults,
  // no recorded cycles.
  void PowerUp();

  // Bus cycles seen, oldest first; the ring keeps the newest
  // kCycleRingCapacity so a long run never grows memory.
  std::vector<BusCycle> Cycles() const;
  void ClearCycles();
  std::uint64_t TotalCycles() const;

  // The next call of this kind fails with status (once).
  void FailNext(Call call, bt_error_t status);

  bool IsOpen() const;
  bt_devdata_t Parameter(bt_info_t code) const;

  // Module state as an operator could observe it.
  std::uint16_t CSR1() const;                          // as read back
  std::uint16_t CSR2() const;                          // as read back, FIFO bits included
  std::uint16_t BGoMode(int channel) const;            // bits 4..0
  std::size_t BGoFifoSize(int channel) const;
  std::vector<std::uint32_t> BGoFifo(int channel) const;  // oldest first
  std::uint16_t LastWritten(std::uint32_t offset) const;  // write-only registers, 0 if never
  unsigned WriteCount(std::uint32_t offset) const;

  // TTCrx receivers reached by asynchronous long-format cycles (internal
  // registers, E = 0): subaddress 0 fine deskew 1, 1 fine deskew 2,
  // 2 coarse delays, 3 control register (power-up 0x93).
  std::uint8_t TTCrxRegister(std::uint16_t ttcrxAddress, int subaddress) const;

 private:
  Crate();
  struct Impl;
  Impl* Impl_;
};

}  // namespace sim
