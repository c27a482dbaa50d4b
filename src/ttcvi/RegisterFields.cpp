#include "ttcvi/RegisterFields.h"

#include <cstdio>

#include "base/Text.h"
#include "ttcvi/RegisterMap.h"

using namespace ttcvi;

namespace {

// CSR1 bits 2..0, in the order of the panel's trigger source items.
const char* const kTriggerSources[] = {"L1A ECL", "L1A NIM", "L1A NIM",     "L1A NIM",
                                       "VME",     "Random",  "Calibration", "none"};
// CSR1 bits 14..12, in the order of the panel's rate list.
const char* const kRandomRates[] = {"1 Hz",   "100 Hz", "1 kHz",  "5 kHz",
                                    "10 kHz", "25 kHz", "50 kHz", "100 kHz"};
// The mode register's flags, named as the panel's check boxes.
struct ModeFlag {
  BitField Bit;
  const char* Caption;
};
constexpr ModeFlag kModeCaptions[] = {{kModeEnable, "Enable"},
                                      {kModeAsynchronous, "Asynchron"},
                                      {kModeRepetitive, "Repetetive"},
                                      {kModeFIFO, "FIFO"},
                                      {kModeCalibration, "Calibration"}};

RegisterField Field(std::string name, BitField bits, std::uint32_t value, std::string meaning) {
  RegisterField field;
  field.Name = std::move(name);
  field.High = bits.High();
  field.Low = bits.Low;
  field.Value = bits.Of(value);
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
  const unsigned source = kTriggerSource.Of(value);
  return {
      Field("Trigger source", kTriggerSource, value,
            std::to_string(source) + " " + kTriggerSources[source]),
      Field("Orbit", kOrbitInternal, value, kOrbitInternal.Of(value) ? "internal" : "external"),
      Field("Random rate", kRandomRate, value, kRandomRates[kRandomRate.Of(value)]),
  };
}

std::vector<RegisterField> DecodeCSR2(std::uint16_t value) {
  std::vector<RegisterField> fields;
  for (unsigned n = 0; n < kBGoChannels; ++n) {
    const bool empty = FIFOEmpty(n).Of(value) != 0;
    const bool full = FIFOFull(n).Of(value) != 0;
    RegisterField fifo = Field("FIFO " + std::to_string(n), FIFOFlags(n), value,
                               empty  ? "empty"
                               : full ? "full"
                                      : "loaded");
    fifo.ValueText = BitString(fifo.Value, 2);  // two flags: full, empty
    fields.push_back(std::move(fifo));
  }
  for (unsigned n = 0; n < kBGoChannels; ++n)
    fields.push_back(Field("Retransmit " + std::to_string(n), RetransmitOff(n), value,
                           RetransmitOff(n).Of(value) ? "off" : "on"));
  return fields;
}

std::string BGoModeMeaning(std::uint16_t mode) {
  std::string flags;
  for (const ModeFlag& flag : kModeCaptions)
    if (flag.Bit.Of(mode)) flags += (flags.empty() ? "" : ", ") + std::string(flag.Caption);
  return flags.empty() ? "none" : flags;
}

std::string HexText(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
  return text;
}
