#pragma once

// One program's hold on its module: the connection to the crate, the
// module's lock, the bus log of every access and the one TTTCvi with its
// sender. The panel, quorvane-ctl and the device server open it here, in one
// way: the lock is taken before the first register access, every access is
// logged under the cause open at the time, and closing lets the connection go
// before the lock, so that no program of ours touches the bus after it let
// another one have the module.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "buslog/BusLogKeeper.h"
#include "operate/ConnectionGate.h"
#include "operate/ModuleLock.h"
#include "operate/ModuleSender.h"
#include "ttcvi/TTTCvi.h"
#include "vme/TVMEInterface.h"

// How a program opens its module.
struct SessionPlan {
  std::string Program;  // "quorvane", "quorvane-ctl", "quorvane-ds": the holder others are told
  std::chrono::milliseconds Wait{0};  // for another holder to let go
  std::vector<std::filesystem::path> LockFolders = ModuleLock::DefaultFolders();
};

class ModuleSession {
 public:
  using Opener = std::function<std::unique_ptr<TVMEInterface>()>;

  // Opens the connection (opening touches no module), takes the lock of the
  // module at base, and from then on logs every access into log, which must
  // outlive the session. Raises the opener's error, EModuleInUse or
  // EModuleLockFile; nothing is left open then.
  ModuleSession(const Opener& open, std::uint32_t base, BusLogKeeper& log, const SessionPlan& plan);
  // The connection closes first, then the lock is let go.
  ~ModuleSession();

  ModuleSession(const ModuleSession&) = delete;
  ModuleSession& operator=(const ModuleSession&) = delete;

  TTTCvi& Module() const { return *Module_; }
  ModuleSender& Sender() const { return *Sender_; }
  VMEConnectionDescription Describe() const { return Connection_->Describe(); }
  std::uint32_t Base() const { return Base_; }
  // From StopAccess on, every access raises EActionStopped before anything
  // is sent (the program is ending on a signal); AllowAccess undoes it.
  void StopAccess() { Gate_->Shut(); }
  void AllowAccess() { Gate_->Open(); }
  // Lets the module go before the session ends (the window closed, a
  // device server switched off): access stops first, then the lock goes.
  void Release();

 private:
  std::uint32_t Base_;
  std::unique_ptr<ModuleLock> Lock_;
  std::unique_ptr<TVMEInterface> Connection_;
  ConnectionGate* Gate_ = nullptr;  // the outermost part of Connection_
  std::unique_ptr<TTTCvi> Module_;
  std::unique_ptr<ModuleSender> Sender_;
};
