#pragma once

// The bus log of one program's module: the ring every access is recorded in
// and, when the configuration's [BusLog] section turns it on, the file every
// access is appended to. The panel, quorvane-ctl and the device server keep
// their log through this; a window only adds when it looks at new entries.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "buslog/BusLog.h"
#include "buslog/BusLogFormat.h"
#include "settings/BusLogSettings.h"
#include "vme/TVMEInterface.h"

class RotatingLogFile;

class BusLogKeeper {
 public:
  // capacity: entries the ring keeps (the settings' Entries for a program
  // that shows them). The file, when on, is buslog.csv in dataFolder; with
  // no folder known the file log is off and WriteFile says so once.
  BusLogKeeper(const BusLogSettings& settings, std::size_t capacity,
               const std::filesystem::path& dataFolder);
  // Writes what the file lacks; a problem then is lost with the program.
  ~BusLogKeeper();

  BusLogKeeper(const BusLogKeeper&) = delete;
  BusLogKeeper& operator=(const BusLogKeeper&) = delete;

  // connection, wrapped so that every access it makes is logged. The keeper
  // must outlive the returned connection.
  std::unique_ptr<TVMEInterface> Record(std::unique_ptr<TVMEInterface> connection);

  const BusLog& Log() const { return Log_; }
  // The module's base, for the register names.
  void SetModuleBase(std::uint32_t base) { Base_ = base; }
  std::uint32_t ModuleBase() const { return Base_; }
  RegisterNamer Namer() const;
  // The file the file log writes; empty when it is off.
  std::filesystem::path LogFile() const;

  // Runs at the first entry after the last WriteFile (a window schedules
  // its look at the new entries).
  void OnArrived(std::function<void()> arrived);
  // Appends to the file the entries it lacks and marks every entry read.
  // Raises Exception once with the file's problem (including one met while
  // the ring was about to drop unwritten entries); the file log is off
  // after it.
  void WriteFile();

 private:
  void Install();
  void AppendToFile();

  BusLog Log_;
  std::uint32_t Base_ = 0;
  std::unique_ptr<RotatingLogFile> File_;
  std::string Problem_;  // why the file log asked for is off; told once
  std::function<void()> Arrived_;
};
