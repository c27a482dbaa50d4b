// One owner per module: the lock file and its holder's message. A holder in
// another process, and one that is killed, are tested through quorvane-ctl
// (tests/ctl).

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "operate/ModuleLock.h"
#include "support/TempFolder.h"

namespace {

using std::chrono::milliseconds;

const ModuleIdentity kSim{"Simulated crate", "simbt0/a24", 0xFF1000};

TEST(ModuleLock, FileNameTellsAdapterDeviceAndBaseApart) {
  const std::pair<ModuleIdentity, const char*> cases[] = {
      {kSim, "quorvane-simulated-crate-simbt0-a24-ff1000.lock"},
      {{"CAEN V2718", "caen-v2718-0-0", 0xEE0000},
       "quorvane-caen-v2718-caen-v2718-0-0-ee0000.lock"},
      {{"SBS/Bit3 PCI-to-VME", "/dev/btp5", 0x1000},
       "quorvane-sbs-bit3-pci-to-vme-dev-btp5-001000.lock"},
      {{"", "", 0}, "quorvane-000000.lock"},
  };
  for (const auto& [module, name] : cases) EXPECT_EQ(ModuleLock::FileName(module), name);
}

TEST(ModuleLock, SecondOwnerIsRefusedWithTheHolderUntilTheFirstLetsGo) {
  TempFolder dir;
  std::optional<ModuleLock> first;
  first.emplace(kSim, "quorvane", milliseconds(0), std::vector<std::filesystem::path>{dir.Path()});
  EXPECT_EQ(first->File(), dir.Path() + "/" + ModuleLock::FileName(kSim));
  try {
    ModuleLock second(kSim, "quorvane-ctl", milliseconds(100), {dir.Path()});
    FAIL() << "the module was taken twice";
  } catch (const EModuleInUse& inUse) {
    const std::string expected =
        "The TTCvi at A24 0xFF1000 (Simulated crate, simbt0/a24) is in use "
        "by quorvane, pid " +
        std::to_string(getpid()) + ", user ";
    EXPECT_EQ(inUse.Message().substr(0, expected.size()), expected);
    EXPECT_NE(inUse.Message().find(", since "), std::string::npos) << inUse.Message();
  }
  // Another module (another base) is free all along.
  EXPECT_NO_THROW(ModuleLock(ModuleIdentity{kSim.Adapter, kSim.Device, 0xEE0000}, "quorvane-ctl",
                             milliseconds(0), {dir.Path()}));
  first.reset();
  EXPECT_NO_THROW(ModuleLock(kSim, "quorvane-ctl", milliseconds(0), {dir.Path()}));
}

TEST(ModuleLock, FolderThatCannotTakeTheFileIsReported) {
  try {
    ModuleLock lock(kSim, "quorvane-ctl", milliseconds(0), {"/nonexistent/quorvane-locks"});
    FAIL() << "locked without a lock file";
  } catch (const EModuleLockFile& error) {
    EXPECT_NE(error.Message().find("/nonexistent/quorvane-locks cannot be written"),
              std::string::npos)
        << error.Message();
  }
}

}  // namespace
