#pragma once

#include <memory>

#include "base/Exception.h"
#include "vme/TVMEInterface.h"

// Stops the action running now without an error box: the program is ending
// on a signal, so an action cut short by it sends nothing more and ends as
// if the operator had let it be.
class EActionStopped : public Exception {
 public:
  EActionStopped() : Exception("The panel is closing") {}
};

// A program's connection once it may no longer reach the bus: shut,
// every access raises EActionStopped before anything is sent, so an action
// that a signal cut short goes no further and nothing follows the release of
// the module. Open, it passes everything on unchanged.
class ConnectionGate : public TVMEInterface {
 public:
  explicit ConnectionGate(std::unique_ptr<TVMEInterface> connection)
      : Connection_(std::move(connection)) {}

  void Shut() { Shut_ = true; }
  void Open() { Shut_ = false; }

  void ResetAdapter() override;
  void Write(std::uint32_t address, const void* data, std::uint32_t count) override;
  void Write32(std::uint32_t address, std::uint32_t value) override;
  void Write16(std::uint32_t address, std::uint16_t value) override;
  void Read(std::uint32_t address, void* data, std::uint32_t count) override;
  std::uint32_t Read32(std::uint32_t address) override;
  std::uint16_t Read16(std::uint32_t address) override;
  VMEConnectionDescription Describe() const override { return Connection_->Describe(); }

 private:
  TVMEInterface& Passed() const;

  std::unique_ptr<TVMEInterface> Connection_;
  bool Shut_ = false;
};
