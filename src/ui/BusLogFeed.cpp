#include "ui/BusLogFeed.h"

#include <cstdio>

#include "base/Exception.h"
#include "buslog/BusLogFile.h"
#include "ttcvi/RegisterNames.h"
#include "ui/EventGuard.h"

TBusLogFeed::TBusLogFeed(const BusLogSettings& settings, std::uint32_t moduleBase,
                         const std::filesystem::path& dataFolder)
    : Keeper_(settings, static_cast<std::size_t>(settings.Entries),
              dataFolder.empty() && settings.FileLog ? UserDataFolder() : dataFolder) {
  Keeper_.SetModuleBase(moduleBase);
  Batch_.setSingleShot(true);
  Batch_.setInterval(kBatchMilliseconds);
  connect(&Batch_, &QTimer::timeout, this, [this] { Flush(); });
  Keeper_.OnArrived([this] { Batch_.start(); });
}

TBusLogFeed::~TBusLogFeed() {
  Keeper_.OnArrived({});
  try {
    Keeper_.WriteFile();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quorvane: %s\n", error.what());  // no window is left to show it
  }
}

std::string TBusLogFeed::RegisterLabel(std::uint32_t address) const {
  return TTCviRegisterLabel(Keeper_.ModuleBase(), address);
}

void TBusLogFeed::Flush() {
  Batch_.stop();
  Guarded([this] { Keeper_.WriteFile(); });
  emit Appended();
}
