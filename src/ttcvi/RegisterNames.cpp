#include "ttcvi/RegisterNames.h"

#include "ttcvi/RegisterFields.h"
#include "ttcvi/RegisterMap.h"

using namespace ttcvi;

std::string TTCviRegisterName(std::uint32_t offset) {
  switch (offset) {
    case kCSR1:
      return "CSR1";
    case kCSR2:
      return "CSR2";
    case kSoftwareReset:
      return "Software reset";
    case kVMEL1A:
      return "VME L1A";
    case kLongAsync1:
      return "Long async 1";
    case kLongAsync2:
      return "Long async 2";
    case kShortAsync:
      return "Short async";
    case kTrigWordAddress:
      return "TRIGWORD address";
    case kTrigWordControl:
      return "TRIGWORD control";
    default:
      break;
  }
  // The B-Go block: four registers per channel, then one FIFO per channel.
  for (unsigned n = 0; n < kBGoChannels; ++n) {
    const std::string channel = std::to_string(n);
    if (offset == BGoMode(n)) return "B-Go " + channel + " mode";
    if (offset == InhibitDelay(n)) return "Inhibit " + channel + " delay";
    if (offset == InhibitDuration(n)) return "Inhibit " + channel + " duration";
    if (offset == BGoSignal(n)) return "B-Go " + channel + " signal";
    if (offset == BGoFIFO(n)) return "B-Go " + channel + " FIFO";
  }
  return {};
}

std::string TTCviRegisterLabel(std::uint32_t base, std::uint32_t address) {
  if (address < base) return {};
  const std::uint32_t offset = address - base;
  const std::string name = TTCviRegisterName(offset);
  if (name.empty()) return {};
  return name + " (" + HexText(offset, 2) + ")";
}

const std::vector<std::uint32_t>& TTCviRegisterOffsets() {
  static const std::vector<std::uint32_t> offsets = [] {
    std::vector<std::uint32_t> all;
    for (std::uint32_t offset = kCSR1; offset <= kTrigWordControl; offset += 2)
      if (!TTCviRegisterName(offset).empty()) all.push_back(offset);
    return all;
  }();
  return offsets;
}
