#include "RecordingVME.h"

#include <cstring>
#include <iomanip>
#include <ostream>

#include "vme/VMEErrors.h"

bool RecordingVME::ShouldFail(bool write) {
  if (write && FailWrites) return true;
  if (FailAt && *FailAt == Log.size()) {
    FailAt.reset();
    return true;
  }
  return false;
}

std::uint32_t RecordingVME::NextReadValue(std::uint32_t address) {
  auto queue = ReadQueues.find(address);
  if (queue != ReadQueues.end() && !queue->second.empty()) {
    const std::uint32_t value = queue->second.front();
    queue->second.pop_front();
    return value;
  }
  auto fixed = ReadValues.find(address);
  return fixed == ReadValues.end() ? 0 : fixed->second;
}

void RecordingVME::ResetAdapter() { Log.push_back({'X', 0, 0, 0}); }

void RecordingVME::Write(std::uint32_t address, const void* data, std::uint32_t count) {
  if (ShouldFail(true)) throw EVMEWrite("device recordingInjected write failure");
  std::uint32_t value = 0;
  std::memcpy(&value, data, count < 4 ? count : 4);
  Log.push_back({'W', address, 8 * count, value});
}

void RecordingVME::Write32(std::uint32_t address, std::uint32_t value) {
  Write(address, &value, 4);
}

void RecordingVME::Write16(std::uint32_t address, std::uint16_t value) {
  Write(address, &value, 2);
}

void RecordingVME::Read(std::uint32_t address, void* data, std::uint32_t count) {
  if (ShouldFail(false)) throw EVMERead("device recordingInjected read failure");
  const std::uint32_t value = NextReadValue(address);
  std::memcpy(data, &value, count < 4 ? count : 4);
  // Log what the caller received: a 16-bit read delivers the low half only.
  const std::uint32_t delivered = count >= 4 ? value : value & ((1u << (8 * count)) - 1);
  Log.push_back({'R', address, 8 * count, delivered});
}

std::uint32_t RecordingVME::Read32(std::uint32_t address) {
  std::uint32_t value = 0;
  Read(address, &value, 4);
  return value;
}

std::uint16_t RecordingVME::Read16(std::uint32_t address) {
  std::uint16_t value = 0;
  Read(address, &value, 2);
  return value;
}

std::ostream& operator<<(std::ostream& out, const RecordingVME::Access& access) {
  return out << access.kind << access.width << "(0x" << std::hex << access.address << ", 0x"
             << access.value << std::dec << ")";
}
