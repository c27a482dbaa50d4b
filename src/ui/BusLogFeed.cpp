#include "ui/BusLogFeed.h"

#include <cstdio>
#include <utility>

#include "base/Exception.h"
#include "buslog/BusLogFile.h"
#include "buslog/LoggingVME.h"
#include "ttcvi/RegisterNames.h"
#include "ui/EventGuard.h"

TBusLogFeed::TBusLogFeed(const BusLogSettings& settings, std::uint32_t moduleBase,
                         std::filesystem::path dataFolder)
    : Log_(settings.Entries), Base_(moduleBase) {
  if (settings.FileLog) {
    if (dataFolder.empty()) dataFolder = UserDataFolder();
    if (dataFolder.empty())
      FileProblem_ =
          "Bus log: no home folder is known to keep the file log in; the file log is off";
    else
      File_ = std::make_unique<RotatingLogFile>(dataFolder / "buslog.csv", settings.MaxFileSize,
                                                settings.KeepFiles, CsvLine(BusLogHeadings()));
  }
  Batch_.setSingleShot(true);
  Batch_.setInterval(kBatchMilliseconds);
  connect(&Batch_, &QTimer::timeout, this, [this] { Flush(); });
  Log_.SetReader([this] { Batch_.start(); },
                 [this] {
                   // Only the file log needs every entry; the windows show
                   // what the ring keeps.
                   if (File_) Flush();
                 });
}

TBusLogFeed::~TBusLogFeed() {
  Log_.SetReader({}, {});
  try {
    WriteFile();
    if (File_) File_->Flush();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quorvane: %s\n", error.what());  // no window is left to show it
  }
}

std::unique_ptr<TVMEInterface> TBusLogFeed::Record(std::unique_ptr<TVMEInterface> connection) {
  return std::make_unique<LoggingVME>(std::move(connection), Log_);
}

std::string TBusLogFeed::RegisterLabel(std::uint32_t address) const {
  return TTCviRegisterLabel(Base_, address);
}

RegisterNamer TBusLogFeed::Namer() const {
  return [this](std::uint32_t address) { return RegisterLabel(address); };
}

std::filesystem::path TBusLogFeed::LogFile() const {
  return File_ ? File_->File() : std::filesystem::path();
}

void TBusLogFeed::WriteFile() {
  if (!FileProblem_.empty()) throw Exception(std::exchange(FileProblem_, std::string()));
  if (!File_) return;
  const RegisterNamer namer = Namer();
  const std::uint64_t end = Log_.Total();
  for (std::uint64_t sequence = Log_.ReadUpTo(); sequence < end; ++sequence)
    if (const BusLogEntry* entry = Log_.Find(sequence))
      File_->Append(CsvLine(FormatBusLogEntry(*entry, namer)));
  File_->Flush();
}

void TBusLogFeed::Flush() {
  Batch_.stop();
  Guarded([this] {
    try {
      WriteFile();
    } catch (...) {
      File_.reset();  // reported once; the panel goes on without the file
      throw;
    }
  });
  Log_.MarkRead(Log_.Total());
  emit Appended();
}
