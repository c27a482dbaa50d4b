#pragma once

// The panel's bus log as its windows follow it: the program's bus log (its
// ring and, when the configuration asks for it, its file) with the batches in
// which the windows (bus log, crate monitor) see new entries. Entries are
// passed on a moment after they arrive, so a burst of accesses costs the
// windows one update, not one per access.

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "buslog/BusLog.h"
#include "buslog/BusLogFormat.h"
#include "buslog/BusLogKeeper.h"
#include "settings/BusLogSettings.h"
#include "vme/TVMEInterface.h"

class TBusLogFeed : public QObject {
  Q_OBJECT

 public:
  // moduleBase: the TTCvi's base address, for the register names. The file
  // log, when on, is buslog.csv in dataFolder (the per-user data folder by
  // default); it is opened at its first line.
  TBusLogFeed(const BusLogSettings& settings, std::uint32_t moduleBase,
              const std::filesystem::path& dataFolder = {});
  // Writes what the file log has not written yet.
  ~TBusLogFeed() override;

  TBusLogFeed(const TBusLogFeed&) = delete;
  TBusLogFeed& operator=(const TBusLogFeed&) = delete;

  // The program's bus log: the module's session records into it.
  BusLogKeeper& Keeper() { return Keeper_; }
  const BusLog& Log() const { return Keeper_.Log(); }
  std::uint32_t ModuleBase() const { return Keeper_.ModuleBase(); }
  // "CSR1 (0x80)" for a register of the module, empty for any other address.
  std::string RegisterLabel(std::uint32_t address) const;
  RegisterNamer Namer() const { return Keeper_.Namer(); }
  // The file the file log writes; empty when it is off.
  std::filesystem::path LogFile() const { return Keeper_.LogFile(); }

  // Passes on now what arrived since the last batch: to the file log, then
  // to the windows (Appended). Runs by itself shortly after entries arrive.
  // A file that cannot be written is reported through the handler guard once
  // and the file log stops.
  void Flush();

  static constexpr int kBatchMilliseconds = 50;

 signals:
  // New entries are in the log (and old ones may have left it).
  void Appended();

 private:
  BusLogKeeper Keeper_;
  QTimer Batch_;
};
