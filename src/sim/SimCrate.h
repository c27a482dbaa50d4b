#pragma once

// The simulated adapter library's virtual VME crate: one TTCvi at A24 base
// 0xFF1000 (another base when the crate settings file names one,
// src/crate), TTCrx receivers on its B channel. The nine adapter calls of
// vme/Bit3Api.h are answered from here. Tests inspect the bus cycles and the
// module state and inject failures through this interface.
//
// Adapter behaviour:
// - One device, unit 0 logical device 2 (the A24 window); its name comes from
//   bt_gen_name (kDeviceName). Up to kMaxOpenHandles handles may be open at
//   once; a closed handle stays invalid (handles are never reused).
// - Parameters 6 and 13 belong to the device, not to a handle. Both start at
//   0x3D (A24 supervisory data) so that a connection has to set them. A
//   transfer is programmed I/O and uses the modifier held in parameter 13;
//   parameter 6 (the DMA modifier) is kept and read back but never used.
// - bt_reset resets the adapter only; the crate's modules keep their state.
// - Every transfer on an open handle is one recorded bus cycle, failed ones
//   included (with their status, injected failures too). Calls refused
//   before the bus (handle not open, null buffer, zero bytes) record nothing;
//   a zero-byte transfer succeeds.
// - bt_strerror writes prefix + ": " + the description (the separator also
//   after an empty prefix, so "device NAME" + text reads "device NAME: ...").
//   The description of the latest failure names its cause (address,
//   modifier, size); null for 0, kStatusUndescribed and unknown codes.
//
// TTCvi model (offsets from the TTCvi's base; only 0x39 reaches it):
// - Registers 0x80..0xCA of the map; odd or unused offsets in that window and
//   anything outside it answer with a bus error. 16-bit registers take only
//   2-byte transfers, the FIFO data registers 0xB0 + 4n only 4-byte ones;
//   any other size is kStatusBadSize.
// - Readable: CSR1, CSR2 and the four B-Go mode registers. A read of a
//   write-only register is a bus error, so a stray read shows up in tests.
// - CSR1 reads back bits 14..12 (random rate), 3 (orbit) and 2..0 (trigger
//   source); bit 6 (L1A FIFO reset) is a pulse and reads 0, other bits read 0.
// - CSR2 reads back bits 11..8 (retransmit off per channel) and, in bits
//   2n / 2n + 1, FIFO n empty / full. Writing 1 to bit 12 + n empties FIFO n.
// - The software reset (0x84, any value) returns registers and FIFOs to
//   power-up. Inspection counters (L1A, signals, lost words, write counts,
//   last written values) and the TTCrx receivers are not module state and
//   are untouched by it.
// - A software B-Go (0x96 + 8n) of a channel in FIFO mode (mode bit 3) sends
//   its FIFO's words on the B channel, oldest first; with retransmission on
//   (CSR2 bit 8 + n = 0) the FIFO keeps them, otherwise they are removed.
// - 0xC2 sends the long-format cycle made of the 0xC0 word (bits 31..16) and
//   the 0xC2 word (bits 15..0); 0xC0 keeps its value for later cycles. A word
//   without the long-format flag goes out as a short-format broadcast.
//
// TTCrx model: one receiver at every 14-bit address (addresses are masked to
// 14 bits). A long-format cycle with E = 0 and subaddress 0..3 sets fine
// deskew 1, fine deskew 2, coarse delays or the control register. Power-up
// values: deskews 0, coarse delays 0, control register 0x93. Other
// subaddresses and E = 1 cycles reach no modelled register (they are logged).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vme/Bit3Api.h"

namespace sim {

constexpr std::uint32_t kTTCviBase = 0xFF1000;
constexpr std::uint32_t kA24NonPrivilegedData = 0x39;
constexpr std::uint32_t kAddressModifierAtPowerUp = 0x3D;  // A24 supervisory data
constexpr std::size_t kBGoFifoDepth = 256;                 // words of 32 bits per B-Go FIFO
constexpr std::size_t kCycleRingCapacity = 4096;           // bus cycles kept for inspection
constexpr std::size_t kBChannelLogCapacity = 4096;         // B-channel cycles kept for inspection
constexpr std::size_t kMaxOpenHandles = 16;
constexpr int kBGoChannels = 4;
constexpr std::uint8_t kTTCrxControlAtPowerUp = 0x93;
constexpr const char* kDeviceName = "simbt0/a24";  // bt_gen_name(0, 2, ...)

// Statuses the simulated library can return; bt_strerror describes each.
enum SimStatus : bt_error_t {
  kStatusBusError = 1,      // no module decodes the address, or wrong address modifier
  kStatusBadSize = 2,       // transfer size the addressed register cannot take
  kStatusNotOpen = 3,       // handle not open
  kStatusNoDevice = 4,      // bt_open of a device name the crate does not know
  kStatusBadParameter = 5,  // unknown parameter code
  kStatusBadArgument = 6,   // null pointer, bad access flags, parameter value out of range
  kStatusTooManyOpen = 7,   // kMaxOpenHandles handles already open
  kStatusAccessDenied = 8,  // transfer the handle's access flags do not allow
  kStatusUndescribed = 99,  // for injection only: bt_strerror has no text for it
  kStatusInjected = 100,    // first of the statuses tests may inject freely
};

struct BusCycle {
  bool write = false;
  std::uint32_t address = 0;
  std::uint32_t addressModifier = 0;
  unsigned width = 0;  // 16 or 32 bits; 0 for a size the module refused
  std::uint32_t value = 0;
  bt_error_t status = 0;
};

// One cycle sent on the B channel, decoded from its 32-bit word.
struct BChannelCycle {
  enum class Source { AsyncLong, AsyncShort, Fifo };
  Source source = Source::AsyncLong;
  int channel = -1;        // B-Go channel for Fifo, -1 for asynchronous cycles
  std::uint32_t word = 0;  // the B-channel word (short async: command in bits 30..23)
  bool longFormat = false;
  std::uint16_t ttcrxAddress = 0;  // long format: bits 30..17
  bool external = false;           // long format: E, bit 16
  std::uint8_t subaddress = 0;     // long format: bits 15..8
  std::uint8_t data = 0;           // long format: bits 7..0
  std::uint8_t command = 0;        // short format: bits 30..23
};

enum class Call { Open, GetInfo, SetInfo, Write, Read, Reset, Close };

struct CrateSettings;

class Crate {
 public:
  // The one crate of the process; built on first use and never destroyed, so
  // a connection closed during static destruction still finds it.
  static Crate& Instance();

  // Power-up: module and receivers to their power-up state, adapter closed,
  // address-modifier parameters to their start values (not 0x39), no faults,
  // no recorded cycles, all inspection counters zero, the TTCvi at
  // kTTCviBase. The crate is so when first used.
  void PowerUp();
  // The same with the TTCvi at the settings' base (the crate settings
  // file's "base", src/crate).
  void PowerUp(const CrateSettings& settings);
  // The A24 base address the TTCvi answers at.
  std::uint32_t TTCviBase() const;

  // Bus cycles seen since power-up or the last ClearCycles, oldest first; the
  // ring keeps the newest kCycleRingCapacity so a long run never grows memory.
  std::vector<BusCycle> Cycles() const;
  void ClearCycles();                 // empties the ring and zeroes TotalCycles
  std::uint64_t TotalCycles() const;  // all cycles, also those the ring dropped

  // The next call of this kind fails with status (once), doing nothing else.
  // A status of 0 cancels a pending failure. bt_strerror then describes the
  // status as "injected failure (status N)", except kStatusUndescribed, which
  // it leaves without a text (null), as a library does with a code it does
  // not know.
  void FailNext(Call call, bt_error_t status);

  bool IsOpen() const;  // any handle open
  unsigned OpenHandleCount() const;
  unsigned AdapterResetCount() const;            // successful bt_reset calls
  bt_devdata_t Parameter(bt_info_t code) const;  // 0 for an unknown code

  // Module state as an operator could observe it. Channels outside 0..3 give
  // 0 or an empty result.
  std::uint16_t CSR1() const;                // as read back
  std::uint16_t CSR2() const;                // as read back, FIFO bits included
  std::uint16_t BGoMode(int channel) const;  // bits 4..0
  std::size_t BGoFifoSize(int channel) const;
  std::vector<std::uint32_t> BGoFifo(int channel) const;  // oldest first
  // Raw value last written to any register (FIFO data: the low 16 bits),
  // 0 if never.
  std::uint16_t LastWritten(std::uint32_t offset) const;
  unsigned WriteCount(std::uint32_t offset) const;   // accepted writes of a register
  std::uint16_t InhibitDelay(int channel) const;     // 12 bits
  std::uint16_t InhibitDuration(int channel) const;  // 8 bits
  std::uint16_t TrigWordAddress() const;             // 0xC8
  std::uint16_t TrigWordControl() const;             // 0xCA
  std::uint64_t L1ACount() const;                    // software triggers (0x86)
  std::uint64_t BGoSignalCount(int channel) const;   // software B-Go signals
  std::uint64_t BGoLostWords(int channel) const;     // FIFO writes lost when full

  // TTCrx receivers reached by long-format cycles, asynchronous or sent from
  // a B-Go FIFO (internal registers, E = 0): subaddress 0 fine deskew 1, 1 fine deskew 2,
  // 2 coarse delays, 3 control register (power-up 0x93). Any other
  // subaddress reads 0.
  std::uint8_t TTCrxRegister(std::uint16_t ttcrxAddress, int subaddress) const;
  unsigned TTCrxWriteCount(std::uint16_t ttcrxAddress) const;  // register writes received
  // The addresses of the receivers that have received a register write since
  // power-up, in ascending order.
  std::vector<std::uint16_t> TTCrxReached() const;

  // B-channel cycles sent (asynchronous and from FIFOs), oldest first; the
  // log keeps the newest kBChannelLogCapacity.
  std::vector<BChannelCycle> BChannelCycles() const;
  void ClearBChannelCycles();  // empties the log and zeroes TotalBChannelCycles
  std::uint64_t TotalBChannelCycles() const;

 private:
  friend struct Adapter;  // the nine adapter calls work on Impl_
  Crate();
  struct Impl;
  Impl* Impl_;
};

}  // namespace sim
