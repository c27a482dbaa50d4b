#pragma once

// One owner per module: while a program (the panel or quorvane-ctl) drives a
// TTCvi, it holds an exclusive lock on a small file named after the module
// (adapter kind, device and base address) in a folder all users share. The
// lock is an flock(2) on the open file, so it ends with the process that
// holds it, however that process ends: a killed holder never blocks the next
// one. Who holds it is asked of the system (the kernel's table of locks, the
// holder's process); the program's own name for itself is believed only from
// a file that no one but the holder's user can have written.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Exception.h"

// The module a lock is for.
struct ModuleIdentity {
  std::string Kind;    // "sim", "sbs" or "caen": any release of a library is one adapter
  std::string Device;  // the device the connection opened ("simbt0/a24")
  std::uint32_t Base = 0;
  std::string Adapter{};  // for messages only: "Simulated crate", "CAEN V2718, CAENVMELib 3.4.4"
};

// The module is held by another program: "in use by quorvane, pid 1234, user
// op, since 10:02".
class EModuleInUse : public Exception {
 public:
  using Exception::Exception;
};

// No lock file can be made: the folder cannot be used, or something other
// than a regular file is in the lock file's place, or it cannot be opened.
class EModuleLockFile : public Exception {
 public:
  using Exception::Exception;
};

class ModuleLock {
 public:
  // Takes the lock for module in the first usable folder of folders,
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

  // /run/lock alone: a folder of one user's own would hide the lock from
  // another user's programs.
  static std::vector<std::filesystem::path> DefaultFolders();
  // The lock file's name for module: "quorvane-sim-simbt0-a24-ff1000.lock".
  static std::string FileName(const ModuleIdentity& module);

 private:
  std::filesystem::path File_;
  int Descriptor_ = -1;
};
