#include "ttcvi/RegisterFields.h"

#include <cstdio>

namespace {

constexpr int kChannels = 4;

// CSR1 bits 2..0, in the order of the panel's trigger source items.
const char* const kTriggerSources[] = {"L1A ECL", "L1A NIM", "L1A NIM",     "L1A NIM",
                                       "VME",     "Random",  "Calibration", "none"};
// CSR1 bits 14..12, in the order of the panel's rate list.
const char* const kRandomRates[] = {"1 Hz",   "100 Hz", "1 kHz",  "5 kHz",
                                    "10 kHz", "25 kHz", "50 kHz", "100 kHz"};
// Mode register bits 0..4, named as the panel's check boxes.
const char* const kModeFlags[] = {"Enable", "Asynchron", "Repetetive", "FIFO", "Calibration"};

unsigned Bits(std::uint32_t value, unsigned high, unsigned low) {
  return (value >> low) & ((1u << (high - low + 1)) - 1u);
}

RegisterField Field(std::string name, unsigned high, unsigned low, std::uint32_t value,
                    std::string meaning) {
  RegisterField field;
  field.Name = std::move(name);
  field.High = high;
  field.Low = low;
  field.Value = Bits(value, high, low);
  field.ValueText = std::to_string(field.Value);
  field.Meaning = std::move(meaning);
  return field;
}

}  // namespace

std::string RegisterField::Label() const {
  if (High == Low) return Name + " (" + std::to_string(Low) + ")";
  if (High == Low + 1) return Name + " (" + std::to_string(High) + ", " + std::to_string(Low) + ")";
  return Name + " (" + std::to_string(High) + ".." + std::to_string(Low) + ")";
}

std::vector<RegisterField> DecodeCSR1(std::uint16_t value) {
  const unsigned source = Bits(value, 2, 0);
  return {
      Field("Trigger source", 2, 0, value, std::to_string(source) + " " + kTriggerSources[source]),
      Field("Orbit", 3, 3, value, Bits(value, 3, 3) ? "internal" : "external"),
      Field("Random rate", 14, 12, value, kRandomRates[Bits(value, 14, 12)]),
  };
}

std::vector<RegisterField> DecodeCSR2(std::uint16_t value) {
  std::vector<RegisterField> fields;
  for (unsigned n = 0; n < kChannels; ++n) {
    const bool empty = Bits(value, 2 * n, 2 * n) != 0;
    const bool full = Bits(value, 2 * n + 1, 2 * n + 1) != 0;
    RegisterField fifo = Field("FIFO " + std::to_string(n), 2 * n + 1, 2 * n, value,
                               empty  ? "empty"
                               : full ? "full"
                                      : "loaded");
    fifo.ValueText = BitString(fifo.Value, 2);  // two flags: full, empty
    fields.push_back(std::move(fifo));
  }
  for (unsigned n = 0; n < kChannels; ++n) {
    const unsigned bit = 8 + n;
    fields.push_back(Field("Retransmit " + std::to_string(n), bit, bit, value,
                           Bits(value, bit, bit) ? "off" : "on"));
  }
  return fields;
}

std::string BGoModeMeaning(std::uint16_t mode) {
  std::string flags;
  for (unsigned bit = 0; bit < 5; ++bit)
    if (Bits(mode, bit, bit)) flags += (flags.empty() ? "" : ", ") + std::string(kModeFlags[bit]);
  return flags.empty() ? "none" : flags;
}

std::string BitString(std::uint32_t value, unsigned count) {
  std::string bits;
  for (unsigned bit = count; bit-- > 0;) bits += ((value >> bit) & 1u) ? '1' : '0';
  return bits;
}

std::string HexText(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
  return text;
}
