#pragma once

// One owner per module: while a program (the panel or quorvane-ctl) drives a
// TTCvi, it holds an exclusive lock on a small file named after the module
// (adapter, device and base address). The lock is an flock(2) on the open
// file, so it ends with the process that holds it, however that process ends:
// a killed holder never blocks the next one. The file also says who holds it
// (program, pid, user, since when), for the message the next one shows.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Exception.h"

// The module a lock is for.
struct ModuleIdentity {
  std::string Adapter;  // "Simulated crate", "CAEN V2718", ...
  std::string Device;   // the device the connection opened ("simbt0/a24")
  std::uint32_t Base = 0;
};

// The module is held by another program: "in use by quorvane, pid 1234, user
// op, since 10:02".
class EModuleInUse : public Exception {
 public:
  using Exception::Exception;
};

// No lock file can be made: no folder offers one, or the file cannot be
// opened.
class EModuleLockFile : public Exception {
 public:
  using Exception::Exception;
};

class ModuleLock {
 public:
  // Takes the lock for module in the first writable folder of folders,
  // waiting up to wait for a holder to let go (zero: one try). program
  // names the holder for others. Raises EModuleInUse when the wait ends
  // with the module still held, EModuleLockFile when no lock file can be
  // opened.
  ModuleLock(const ModuleIdentity& module, const std::string& program,
             std::chrono::milliseconds wait, const std::vector<std::filesystem::path>& folders);
  // Lets go of the lock (the file stays: removing it would race a waiter).
  ~ModuleLock();

  ModuleLock(const ModuleLock&) = delete;
  ModuleLock& operator=(const ModuleLock&) = delete;

  const std::filesystem::path& File() const { return File_; }

  // /run/lock, then $XDG_RUNTIME_DIR (when set and absolute).
  static std::vector<std::filesystem::path> DefaultFolders();
  // The lock file's name for module: "quorvane-simulated-crate-simbt0-a24-ff1000.lock".
  static std::string FileName(const ModuleIdentity& module);

 private:
  std::filesystem::path File_;
  int Descriptor_ = -1;
};
