#pragma once

#include <bitset>
#include <cstdint>
#include <string>

// The one codec of B-channel words (the FIFO word of a B-Go channel).
//   long format : bit 31 = 1, bits 30..17 TTCrx address, bit 16 E,
//                 bits 15..8 subaddress, bits 7..0 data
//   short format: bit 31 = 0, bits 30..23 command, bits 22..0 zero
// Fields wider than their place are cut to their low bits without a message.
using BChannelWord = std::bitset<32>;

BChannelWord MakeLongWord(std::uint32_t ttcrxAddress, bool external, std::uint32_t subaddress,
                          std::uint32_t data);
BChannelWord MakeShortWord(std::uint32_t command);

struct LongFields {
  std::uint16_t address;  // 14 bits
  bool external;
  std::uint8_t subaddress;
  std::uint8_t data;
};

bool IsLongWord(const BChannelWord& word);
LongFields DecodeLong(const BChannelWord& word);
std::uint8_t DecodeShort(const BChannelWord& word);

// A word as the sequence editor lists it: long format "address, E,
// subaddress, data" in decimal ("12, 1, 3, 200"), short format the command
// in decimal ("42").
std::string WordDisplayText(const BChannelWord& word);
