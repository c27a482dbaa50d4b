#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>

#include "ttcvi/B_Go.h"
#include "vme/TVMEInterface.h"

// One TTCvi module at one VME base address. CSR1 and CSR2 are written whole
// from shadows; an operation changes only its own bits. The panel never loads
// the shadows from the module; a program that did not write the registers
// itself (quorvane-ctl) loads them from a read-back first.
class TTTCvi {
 public:
  // The register offsets and bit fields are those of ttcvi/RegisterMap.h.
  TTTCvi(TVMEInterface* vme, std::uint32_t baseAddress);

  void Reset();
  void SetTriggerSource(int source);
  void SetRandomRate(int rate);
  void SetOrbitSignal(bool internal);
  void ResetL1AFIFO(bool reset);
  void VMETrigger();
  std::uint16_t ReadCSR1();
  std::uint16_t ReadCSR2();
  void WriteCSR1(std::uint16_t value);
  void WriteCSR2(std::uint16_t value);
  void ResetBGoFIFOs(std::bitset<4> channels);
  void SetRetransmit(std::bitset<4> retransmitOff);
  // Take the fields the operations own from a read-back value: CSR1 bits
  // 14..12, 3 and 2..0; CSR2 bits 11..8. Pulse and status bits stay 0, so
  // they never go back to the module. No register is accessed.
  void LoadCSR1Shadow(std::uint16_t readBack);
  void LoadCSR2Shadow(std::uint16_t readBack);
  void SetInhibit0(int delay, int duration);
  void SetInhibit1(int delay, int duration);
  void SetInhibit2(int delay, int duration);
  void SetInhibit3(int delay, int duration);
  void SendLongAsync(int ttcrxAddress, int subaddress, int data);
  void SendLongAsyncExternal(int ttcrxAddress, int subaddress, int data);
  void SendShortAsync(int command);
  void SetTrigWord(int ttcrxAddress, int subaddress, bool external, bool enable);

  TVMEInterface* VME;
  std::uint32_t BaseAddress;
  std::bitset<16> CSR1Shadow;
  std::bitset<16> CSR2Shadow;
  std::array<std::unique_ptr<B_Go>, 4> BGo;

 private:
  void WriteRegister(std::uint32_t offset, std::uint16_t value);
  void SetInhibit(int channel, int delay, int duration);
  void SendLong(int ttcrxAddress, int subaddress, int data, bool external);
};
