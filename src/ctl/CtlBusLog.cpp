#include "ctl/CtlBusLog.h"

#include "base/Exception.h"
#include "buslog/BusLogFile.h"
#include "buslog/BusLogFormat.h"
#include "buslog/LoggingVME.h"
#include "ttcvi/RegisterNames.h"

namespace {
constexpr std::size_t kRing = 1024;  // written out whenever it fills: the file keeps them all
}

CtlBusLog::CtlBusLog(const BusLogSettings& settings, const std::filesystem::path& dataFolder,
                     std::ostream& problems)
    : Log_(kRing), Problems_(problems) {
  if (!settings.FileLog) return;
  if (dataFolder.empty()) {
    Problems_ << "quorvane-ctl: Bus log: no home folder is known to keep the file log in; the "
                 "file log is off\n";
    return;
  }
  File_ = std::make_unique<RotatingLogFile>(dataFolder / "buslog.csv", settings.MaxFileSize,
                                            settings.KeepFiles, CsvLine(BusLogHeadings()));
  Log_.SetReader({}, [this] { Flush(); });
}

CtlBusLog::~CtlBusLog() {
  Log_.SetReader({}, {});
  Flush();
}

std::unique_ptr<TVMEInterface> CtlBusLog::Record(std::unique_ptr<TVMEInterface> connection) {
  if (!File_) return connection;
  return std::make_unique<LoggingVME>(std::move(connection), Log_);
}

void CtlBusLog::Flush() {
  if (!File_) return;
  const RegisterNamer namer = [this](std::uint32_t address) {
    return TTCviRegisterLabel(Base_, address);
  };
  try {
    for (std::uint64_t sequence = Log_.ReadUpTo(); sequence < Log_.Total(); ++sequence)
      if (const BusLogEntry* entry = Log_.Find(sequence))
        File_->Append(CsvLine(FormatBusLogEntry(*entry, namer)));
    File_->Flush();
  } catch (const Exception& error) {
    Problems_ << "quorvane-ctl: " << error.Message() << '\n';
    File_.reset();
  }
  Log_.MarkRead(Log_.Total());
}
