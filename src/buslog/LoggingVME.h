#pragma once

// A connection that logs every access of the connection it wraps: the one
// place every register access passes, so no caller changes for the log.
// Each access goes to the wrapped connection unchanged and is recorded when it
// returns, a failed one with its error's message before the error goes on to
// the caller.

#include <cstdint>
#include <memory>

#include "buslog/BusLog.h"
#include "vme/TVMEInterface.h"

class LoggingVME : public TVMEInterface {
 public:
  // log must outlive the connection.
  LoggingVME(std::unique_ptr<TVMEInterface> connection, BusLog& log);

  void ResetAdapter() override;
  void Write(std::uint32_t address, const void* data, std::uint32_t count) override;
  void Write32(std::uint32_t address, std::uint32_t value) override;
  void Write16(std::uint32_t address, std::uint16_t value) override;
  void Read(std::uint32_t address, void* data, std::uint32_t count) override;
  std::uint32_t Read32(std::uint32_t address) override;
  std::uint16_t Read16(std::uint32_t address) override;
  // The wrapped connection's description: the log is no adapter.
  VMEConnectionDescription Describe() const override { return Connection_->Describe(); }

  TVMEInterface& Wrapped() const { return *Connection_; }

 private:
  template <class Access>
  auto Logged(BusAccess access, std::uint32_t address, std::uint32_t bytes, std::uint32_t value,
              Access&& call);

  std::unique_ptr<TVMEInterface> Connection_;
  BusLog& Log_;
};
