#include "ttcvi/BChannelWord.h"

namespace {

// Long format, bit positions of the fields.
constexpr std::uint32_t kFormatBit = 1u << 31;
constexpr unsigned kAddressShift = 17;
constexpr std::uint32_t kAddressMask = 0x3FFF;  // 14-bit TTCrx address
constexpr unsigned kExternalShift = 16;
constexpr unsigned kSubaddressShift = 8;
constexpr std::uint32_t kByteMask = 0xFF;
// Short format: the 8-bit command sits in bits 30..23.
constexpr unsigned kCommandShift = 23;

std::uint32_t Value(const BChannelWord& word) {
  return static_cast<std::uint32_t>(word.to_ulong());
}

}  // namespace

BChannelWord MakeLongWord(std::uint32_t ttcrxAddress, bool external, std::uint32_t subaddress,
                          std::uint32_t data) {
  return BChannelWord(kFormatBit | (ttcrxAddress & kAddressMask) << kAddressShift |
                      static_cast<std::uint32_t>(external) << kExternalShift |
                      (subaddress & kByteMask) << kSubaddressShift | (data & kByteMask));
}

BChannelWord MakeShortWord(std::uint32_t command) {
  return BChannelWord((command & kByteMask) << kCommandShift);
}

bool IsLongWord(const BChannelWord& word) { return word[31]; }

LongFields DecodeLong(const BChannelWord& word) {
  const std::uint32_t value = Value(word);
  return LongFields{static_cast<std::uint16_t>(value >> kAddressShift & kAddressMask),
                    word[kExternalShift],
                    static_cast<std::uint8_t>(value >> kSubaddressShift & kByteMask),
                    static_cast<std::uint8_t>(value & kByteMask)};
}

std::uint8_t DecodeShort(const BChannelWord& word) {
  return static_cast<std::uint8_t>(Value(word) >> kCommandShift & kByteMask);
}

std::string WordDisplayText(const BChannelWord& word) {
  if (!IsLongWord(word)) return std::to_string(DecodeShort(word));
  const LongFields f = DecodeLong(word);
  return std::to_string(f.address) + ", " + (f.external ? "1" : "0") + ", " +
         std::to_string(f.subaddress) + ", " + std::to_string(f.data);
}
