#pragma once

#include <cstdint>

// Register access to the VME crate. Addresses are complete VME addresses
// (module base + register offset); the address space and modifier are fixed
// when the connection opens. A 2-byte request is one 16-bit register access,
// a 4-byte request one 32-bit access; values are host integers.
class TVMEInterface {
 public:
  virtual ~TVMEInterface() = default;

  virtual void ResetAdapter() = 0;
  virtual void Write(std::uint32_t address, const void* data, std::uint32_t count) = 0;
  virtual void Write32(std::uint32_t address, std::uint32_t value) = 0;
  virtual void Write16(std::uint32_t address, std::uint16_t value) = 0;
  virtual void Read(std::uint32_t address, void* data, std::uint32_t count) = 0;
  virtual std::uint32_t Read32(std::uint32_t address) = 0;
  virtual std::uint16_t Read16(std::uint32_t address) = 0;
};
