#pragma once

// The panel's bus log: the ring every access of the main window's connection
// is recorded in, the file log when the configuration asks for it, and the
// batches in which the windows (bus log, crate monitor) follow new entries.
// Entries are passed on a moment after they arrive, so a burst of accesses
// costs the windows one update, not one per access.

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "buslog/BusLog.h"
#include "buslog/BusLogFormat.h"
#include "settings/BusLogSettings.h"
#include "vme/TVMEInterface.h"

class RotatingLogFile;

class TBusLogFeed : public QObject {
  Q_OBJECT

 public:
  // moduleBase: the TTCvi's base address, for the register names. The file
  // log, when on, is buslog.csv in dataFolder (the per-user data folder by
  // default); it is opened at its first line.
  TBusLogFeed(const BusLogSettings& settings, std::uint32_t moduleBase,
              std::filesystem::path dataFolder = {});
  // Writes what the file log has not written yet.
  ~TBusLogFeed() override;

  TBusLogFeed(const TBusLogFeed&) = delete;
  TBusLogFeed& operator=(const TBusLogFeed&) = delete;

  // connection, wrapped so that every access it makes is logged. The feed
  // must outlive the returned connection.
  std::unique_ptr<TVMEInterface> Record(std::unique_ptr<TVMEInterface> connection);

  const BusLog& Log() const { return Log_; }
  std::uint32_t ModuleBase() const { return Base_; }
  // "CSR1 (0x80)" for a register of the module, empty for any other address.
  std::string RegisterLabel(std::uint32_t address) const;
  RegisterNamer Namer() const;
  // The file the file log writes; empty when it is off.
  std::filesystem::path LogFile() const;

  // Passes on now what arrived since the last batch: to the file log, then
  // to the windows (Appended). Runs by itself shortly after entries arrive,
  // and at once when the ring would otherwise drop entries the file log has
  // not written. A file that cannot be written is reported through the
  // handler guard once and the file log stops.
  void Flush();

  static constexpr int kBatchMilliseconds = 50;

 signals:
  // New entries are in the log (and old ones may have left it).
  void Appended();

 private:
  void WriteFile();

  BusLog Log_;
  std::uint32_t Base_;
  std::unique_ptr<RotatingLogFile> File_;
  std::string FileProblem_;  // why the file log asked for cannot be kept; reported once
  QTimer Batch_;
};
