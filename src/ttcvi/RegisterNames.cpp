#include "ttcvi/RegisterNames.h"

#include <cstdio>

#include "ttcvi/TTTCvi.h"

std::string TTCviRegisterName(std::uint32_t offset) {
  switch (offset) {
    case TTTCvi::kCSR1:
      return "CSR1";
    case TTTCvi::kCSR2:
      return "CSR2";
    case TTTCvi::kSoftwareReset:
      return "Software reset";
    case TTTCvi::kVMEL1A:
      return "VME L1A";
    case TTTCvi::kLongAsync1:
      return "Long async 1";
    case TTTCvi::kLongAsync2:
      return "Long async 2";
    case TTTCvi::kShortAsync:
      return "Short async";
    case TTTCvi::kTrigWordAddress:
      return "TRIGWORD address";
    case TTTCvi::kTrigWordControl:
      return "TRIGWORD control";
    default:
      break;
  }
  // The B-Go block: four channels of four registers, 8 bytes apart.
  if (offset >= TTTCvi::kBGoMode0 && offset < TTTCvi::kBGoFIFO0) {
    const std::string channel = std::to_string((offset - TTTCvi::kBGoMode0) / 8);
    switch ((offset - TTTCvi::kBGoMode0) % 8) {
      case 0:
        return "B-Go " + channel + " mode";
      case 2:
        return "Inhibit " + channel + " delay";
      case 4:
        return "Inhibit " + channel + " duration";
      case 6:
        return "B-Go " + channel + " signal";
      default:
        return {};
    }
  }
  // The four FIFO data registers, 32 bits each.
  if (offset >= TTTCvi::kBGoFIFO0 && offset < TTTCvi::kLongAsync1 &&
      (offset - TTTCvi::kBGoFIFO0) % 4 == 0)
    return "B-Go " + std::to_string((offset - TTTCvi::kBGoFIFO0) / 4) + " FIFO";
  return {};
}

std::string TTCviRegisterLabel(std::uint32_t base, std::uint32_t address) {
  if (address < base) return {};
  const std::uint32_t offset = address - base;
  const std::string name = TTCviRegisterName(offset);
  if (name.empty()) return {};
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(offset));
  return name + " (" + hex + ")";
}

const std::vector<std::uint32_t>& TTCviRegisterOffsets() {
  static const std::vector<std::uint32_t> offsets = [] {
    std::vector<std::uint32_t> all;
    for (std::uint32_t offset = TTTCvi::kCSR1; offset <= TTTCvi::kTrigWordControl; offset += 2)
      if (!TTCviRegisterName(offset).empty()) all.push_back(offset);
    return all;
  }();
  return offsets;
}
