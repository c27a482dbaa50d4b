#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "vme/TVMEInterface.h"

// A TVMEInterface that records every register access and answers reads from
// a script. Failures can be injected for the n-th access to come.
class RecordingVME : public TVMEInterface {
 public:
  struct Access {
    char kind;  // 'W' write, 'R' read, 'X' adapter reset
    std::uint32_t address;
    unsigned width;  // 16 or 32 bits (8 * count for Write/Read)
    std::uint32_t value;
    bool operator==(const Access&) const = default;
  };

  void ResetAdapter() override;
  void Write(std::uint32_t address, const void* data, std::uint32_t count) override;
  void Write32(std::uint32_t address, std::uint32_t value) override;
  void Write16(std::uint32_t address, std::uint16_t value) override;
  void Read(std::uint32_t address, void* data, std::uint32_t count) override;
  std::uint32_t Read32(std::uint32_t address) override;
  std::uint16_t Read16(std::uint32_t address) override;
  VMEConnectionDescription Describe() const override { return {"Test connection", "", false}; }

  // Reads at this address return value (after any queued values are used).
  void SetReadValue(std::uint32_t address, std::uint32_t value) { ReadValues[address] = value; }
  // The next read at address returns these, in order.
  void QueueReadValue(std::uint32_t address, std::uint32_t value) {
    ReadQueues[address].push_back(value);
  }
  // The access with this 0-based index (counted over all accesses from now)
  // raises EVMEWrite or EVMERead as appropriate; it is not recorded.
  void FailAccess(std::size_t accessesFromNow) { FailAt = Log.size() + accessesFromNow; }
  // Every write raises from now on (not recorded).
  void FailAllWrites(bool fail = true) { FailWrites = fail; }

  std::vector<Access> Log;
  std::map<std::uint32_t, std::uint32_t> ReadValues;
  std::map<std::uint32_t, std::deque<std::uint32_t>> ReadQueues;

 private:
  bool ShouldFail(bool write);
  std::uint32_t NextReadValue(std::uint32_t address);
  std::optional<std::size_t> FailAt;
  bool FailWrites = false;
};

// Access shorthands for expectations.
inline RecordingVME::Access W16(std::uint32_t address, std::uint32_t value) {
  return {'W', address, 16, value};
}
inline RecordingVME::Access W32(std::uint32_t address, std::uint32_t value) {
  return {'W', address, 32, value};
}
inline RecordingVME::Access R16(std::uint32_t address, std::uint32_t value) {
  return {'R', address, 16, value};
}
std::ostream& operator<<(std::ostream& out, const RecordingVME::Access& access);
