#pragma once

// The TTCvi's register map: where each register sits above the module's base
// address and what its bits mean. The module, the decoder, the register
// names, the crate monitor and the panel's views all read it from here.

#include <cstdint>

namespace ttcvi {

// Offsets from the base address. Every register is 16 bits wide but the B-Go
// FIFO data registers, which take one 32-bit B-channel word.
inline constexpr std::uint32_t kCSR1 = 0x80;
inline constexpr std::uint32_t kCSR2 = 0x82;
inline constexpr std::uint32_t kSoftwareReset = 0x84;
inline constexpr std::uint32_t kVMEL1A = 0x86;
inline constexpr std::uint32_t kLongAsync1 = 0xC0;  // bits 31..16 of the long-format word
inline constexpr std::uint32_t kLongAsync2 = 0xC2;  // bits 15..0
inline constexpr std::uint32_t kShortAsync = 0xC4;
inline constexpr std::uint32_t kTrigWordAddress = 0xC8;
inline constexpr std::uint32_t kTrigWordControl = 0xCA;

// The B-Go block: channel n's mode, inhibit and software signal registers
// sit 8n above channel 0's, its FIFO data register 4n above channel 0's.
inline constexpr int kBGoChannels = 4;
inline constexpr std::uint32_t kBGoMode0 = 0x90;
inline constexpr std::uint32_t kInhibitDelay0 = 0x92;
inline constexpr std::uint32_t kInhibitDuration0 = 0x94;
inline constexpr std::uint32_t kBGoSignal0 = 0x96;
inline constexpr std::uint32_t kBGoStride = 8;
inline constexpr std::uint32_t kBGoFIFO0 = 0xB0;
inline constexpr std::uint32_t kBGoFIFOStride = 4;

constexpr std::uint32_t BGoMode(unsigned n) { return kBGoMode0 + kBGoStride * n; }
constexpr std::uint32_t InhibitDelay(unsigned n) { return kInhibitDelay0 + kBGoStride * n; }
constexpr std::uint32_t InhibitDuration(unsigned n) { return kInhibitDuration0 + kBGoStride * n; }
constexpr std::uint32_t BGoSignal(unsigned n) { return kBGoSignal0 + kBGoStride * n; }
constexpr std::uint32_t BGoFIFO(unsigned n) { return kBGoFIFO0 + kBGoFIFOStride * n; }

// What goes to the registers that act on any write.
inline constexpr std::uint16_t kSoftwareResetValue = 0x0000;
inline constexpr std::uint16_t kVMEL1AValue = 0x000F;
inline constexpr std::uint16_t kBGoSignalValue = 0x00FF;

// Bits High()..Low of a register.
struct BitField {
  unsigned Low;
  unsigned Width;

  constexpr unsigned High() const { return Low + Width - 1; }
  constexpr std::uint32_t Ones() const { return (1u << Width) - 1u; }
  // The field of value as a number.
  constexpr unsigned Of(std::uint32_t value) const { return (value >> Low) & Ones(); }
  // value with the field replaced by the low Width bits of field.
  constexpr std::uint32_t With(std::uint32_t value, std::uint32_t field) const {
    return (value & ~(Ones() << Low)) | (field & Ones()) << Low;
  }
};

// CSR1; all other bits are written as 0.
inline constexpr BitField kTriggerSource{0, 3};
inline constexpr BitField kOrbitInternal{3, 1};  // 1 = internal orbit, 0 = external
inline constexpr BitField kL1AFIFOReset{6, 1};   // a pulse: 1 in one write only
inline constexpr BitField kRandomRate{12, 3};
inline constexpr unsigned kVMETriggerSource = 4;

// CSR2 as read: the flags of FIFO n, bit 2n empty and bit 2n + 1 full.
constexpr BitField FIFOFlags(unsigned n) { return {2 * n, 2}; }
constexpr BitField FIFOEmpty(unsigned n) { return {2 * n, 1}; }
constexpr BitField FIFOFull(unsigned n) { return {2 * n + 1, 1}; }
// CSR2 as written, bit 8 + n and 12 + n for channel n; bits 7..0 go out as 0.
inline constexpr BitField kRetransmitOff{8, 4};  // 1 = retransmission off
inline constexpr BitField kBGoFIFOReset{12, 4};  // a pulse, as the L1A FIFO reset
constexpr BitField RetransmitOff(unsigned n) { return {kRetransmitOff.Low + n, 1}; }

// A B-Go mode register: five flags in bits 4..0, all others 0.
inline constexpr BitField kModeEnable{0, 1};
inline constexpr BitField kModeAsynchronous{1, 1};  // 0 = synchronous
inline constexpr BitField kModeRepetitive{2, 1};    // 0 = single
inline constexpr BitField kModeFIFO{3, 1};
inline constexpr BitField kModeCalibration{4, 1};  // TTCvi Mk II, channel 2 only
inline constexpr BitField kModeFlags{0, 5};

// TRIGWORD control; bits 1..0 and 15..10 are 0. The address register takes
// the 16 bits it is given.
inline constexpr BitField kTrigWordSubaddress{2, 6};
inline constexpr BitField kTrigWordExternal{8, 1};
inline constexpr BitField kTrigWordEnable{9, 1};

// A TTCrx address on the B channel.
inline constexpr BitField kTTCrxAddress{0, 14};

}  // namespace ttcvi
