#pragma once

#include <cstdint>
#include <string>

// What a connection talks to, in words for the operator (the corner panel
// of the main window names it) and a flag for code that must know whether a
// real crate is behind it.
struct VMEConnectionDescription {
  std::string Adapter;     // "Simulated crate", "SBS/Bit3 PCI-to-VME", "CAEN V2718", ...
  std::string Device;      // the device the connection opened ("simbt0/a24"); may be empty
  bool Simulated = false;  // no real crate: the cycles go to a model
  std::string Kind{};      // "sim", "sbs" or "caen", without the library's release
};

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

  // Describes the adapter and device. Touches no bus. A connection that does
  // not describe itself gives an empty adapter name.
  virtual VMEConnectionDescription Describe() const { return {}; }
};
