#pragma once

// quorvane-ctl's accesses in the bus log's file, when the configuration's
// [BusLog] section turns the file log on: the same file and rotation as the
// panel's, each access under the cause open at the time (the command line).

#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include "buslog/BusLog.h"
#include "settings/BusLogSettings.h"
#include "vme/TVMEInterface.h"

class RotatingLogFile;

class CtlBusLog {
 public:
  // The file is buslog.csv in dataFolder; with the file log off, or no
  // folder, nothing is kept. A file that cannot be written is reported on
  // problems once, and the command goes on without it.
  CtlBusLog(const BusLogSettings& settings, const std::filesystem::path& dataFolder,
            std::ostream& problems);
  // Writes what is left.
  ~CtlBusLog();

  CtlBusLog(const CtlBusLog&) = delete;
  CtlBusLog& operator=(const CtlBusLog&) = delete;

  // connection, logged when the file log is on. The log must outlive it.
  std::unique_ptr<TVMEInterface> Record(std::unique_ptr<TVMEInterface> connection);
  // The module's base, for the register names of the file.
  void SetModuleBase(std::uint32_t base) { Base_ = base; }
  // Writes the entries not yet in the file.
  void Flush();

 private:
  BusLog Log_;
  std::unique_ptr<RotatingLogFile> File_;
  std::uint32_t Base_ = 0;
  std::ostream& Problems_;
};
