#include "buslog/BusLogKeeper.h"

#include <utility>

#include "base/Exception.h"
#include "buslog/BusLogFile.h"
#include "buslog/LoggingVME.h"
#include "ttcvi/RegisterNames.h"

BusLogKeeper::BusLogKeeper(const BusLogSettings& settings, std::size_t capacity,
                           const std::filesystem::path& dataFolder)
    : Log_(capacity) {
  if (settings.FileLog) {
    if (dataFolder.empty())
      Problem_ = "Bus log: no home folder is known to keep the file log in; the file log is off";
    else
      File_ = std::make_unique<RotatingLogFile>(dataFolder / "buslog.csv", settings.MaxFileSize,
                                                settings.KeepFiles, CsvLine(BusLogHeadings()));
  }
  Install();
}

BusLogKeeper::~BusLogKeeper() {
  Log_.SetReader({}, {});
  try {
    AppendToFile();
  } catch (const Exception&) {
    // Nobody is left to tell.
  }
}

void BusLogKeeper::Install() {
  Log_.SetReader(Arrived_, [this] {
    // Only the file needs every entry: it takes them before the ring drops
    // them. A problem here waits for the next WriteFile to be told.
    if (!File_) return;
    try {
      AppendToFile();
    } catch (const Exception& error) {
      Problem_ = error.Message();
      File_.reset();
    }
    Log_.MarkRead(Log_.Total());
  });
}

void BusLogKeeper::OnArrived(std::function<void()> arrived) {
  Arrived_ = std::move(arrived);
  Install();
}

std::unique_ptr<TVMEInterface> BusLogKeeper::Record(std::unique_ptr<TVMEInterface> connection) {
  return std::make_unique<LoggingVME>(std::move(connection), Log_);
}

RegisterNamer BusLogKeeper::Namer() const {
  return [this](std::uint32_t address) { return TTCviRegisterLabel(Base_, address); };
}

std::filesystem::path BusLogKeeper::LogFile() const {
  return File_ ? File_->File() : std::filesystem::path();
}

void BusLogKeeper::AppendToFile() {
  if (!File_) return;
  const RegisterNamer namer = Namer();
  const std::uint64_t end = Log_.Total();
  for (std::uint64_t sequence = Log_.ReadUpTo(); sequence < end; ++sequence)
    if (const BusLogEntry* entry = Log_.Find(sequence))
      File_->Append(CsvLine(FormatBusLogEntry(*entry, namer)));
  File_->Flush();
}

void BusLogKeeper::WriteFile() {
  try {
    AppendToFile();
  } catch (const Exception& error) {
    Problem_ = error.Message();
    File_.reset();  // told once; the program goes on without the file
  }
  Log_.MarkRead(Log_.Total());
  if (!Problem_.empty()) throw Exception(std::exchange(Problem_, std::string()));
}
