#pragma once

// The readable registers of the TTCvi decoded field by field, as an operator
// reads them: CSR1 (trigger source, orbit, random rate), CSR2 (each B-Go
// FIFO's state, each channel's retransmission) and a B-Go mode register. The
// crate monitor and quorvane-ctl status show these same words.

#include <cstdint>
#include <string>
#include <vector>

struct RegisterField {
  std::string Name;   // "Trigger source", "FIFO 2", "Retransmit 0"
  unsigned High = 0;  // the field's bits, High..Low
  unsigned Low = 0;
  unsigned Value = 0;     // the field's bits as a number
  std::string ValueText;  // as shown: decimal, or the bits of a pair of flags ("01")
  std::string Meaning;    // "5 Random", "internal", "25 kHz", "empty", "off"

  // "Trigger source (2..0)", "Orbit (3)", "FIFO 0 (1, 0)".
  std::string Label() const;
};

// CSR1 bits 2..0 trigger source, 3 orbit, 14..12 random rate.
std::vector<RegisterField> DecodeCSR1(std::uint16_t value);
// CSR2 bits 2n / 2n + 1 FIFO n empty / full (four fields "FIFO n"), then bit
// 8 + n retransmission of channel n (four fields "Retransmit n", 1 = off).
std::vector<RegisterField> DecodeCSR2(std::uint16_t value);
// The flags of a B-Go mode register (bits 4..0) by the panel's box captions,
// "Enable, FIFO"; "none" when all are clear.
std::string BGoModeMeaning(std::uint16_t mode);

// "0x" and digits hexadecimal digits, upper case: HexText(0x8, 4) = "0x0008".
std::string HexText(std::uint32_t value, int digits);
