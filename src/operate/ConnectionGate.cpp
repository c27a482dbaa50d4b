#include "operate/ConnectionGate.h"

TVMEInterface& ConnectionGate::Passed() const {
  if (Shut_) throw EActionStopped();
  return *Connection_;
}

void ConnectionGate::ResetAdapter() { Passed().ResetAdapter(); }
void ConnectionGate::Write(std::uint32_t address, const void* data, std::uint32_t count) {
  Passed().Write(address, data, count);
}
void ConnectionGate::Write32(std::uint32_t address, std::uint32_t value) {
  Passed().Write32(address, value);
}
void ConnectionGate::Write16(std::uint32_t address, std::uint16_t value) {
  Passed().Write16(address, value);
}
void ConnectionGate::Read(std::uint32_t address, void* data, std::uint32_t count) {
  Passed().Read(address, data, count);
}
std::uint32_t ConnectionGate::Read32(std::uint32_t address) { return Passed().Read32(address); }
std::uint16_t ConnectionGate::Read16(std::uint32_t address) { return Passed().Read16(address); }
