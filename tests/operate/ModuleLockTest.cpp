// One owner per module: the lock file and its holder's message. A holder in
// another process, and one that is killed, are tested through quorvane-ctl
// (tests/ctl).

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "operate/ModuleLock.h"
#include "support/TempFolder.h"

namespace {

using std::chrono::milliseconds;
using Folders = std::vector<std::filesystem::path>;

const ModuleIdentity kSim{"sim", "simbt0/a24", 0xFF1000, "Simulated crate"};

// The message an attempt on kSim in dir was refused with, or "" when it took the lock.
std::string Refusal(const std::string& dir, milliseconds wait = milliseconds(0)) {
  try {
    ModuleLock lock(kSim, "quorvane-ctl", wait, {dir});
  } catch (const Exception& refused) {
    return refused.Message();
  }
  return {};
}

TEST(ModuleLock, FileNameIsTheAdapterKindDeviceAndBaseWhateverTheRelease) {
  const std::pair<ModuleIdentity, const char*> cases[] = {
      {kSim, "quorvane-sim-simbt0-a24-ff1000.lock"},
      {{"caen", "caen-v2718-0-0", 0xEE0000, "CAEN V2718, CAENVMELib 3.4.4"},
       "quorvane-caen-caen-v2718-0-0-ee0000.lock"},
      {{"caen", "caen-v2718-0-0", 0xEE0000, "CAEN V2718, CAENVMELib 3.4.5"},
       "quorvane-caen-caen-v2718-0-0-ee0000.lock"},
      {{"sbs", "/dev/btp5", 0x1000, "SBS/Bit3 PCI-to-VME, libbtp.so.1.3"},
       "quorvane-sbs-dev-btp5-001000.lock"},
      {{"", "", 0, ""}, "quorvane-000000.lock"},
  };
  for (const auto& [module, name] : cases) EXPECT_EQ(ModuleLock::FileName(module), name);
}

TEST(ModuleLock, SecondOwnerIsRefusedWithTheHolderUntilTheFirstLetsGo) {
  TempFolder dir;
  std::optional<ModuleLock> first;
  first.emplace(kSim, "quorvane", milliseconds(0), Folders{dir.Path()});
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
  EXPECT_NO_THROW(ModuleLock(ModuleIdentity{kSim.Kind, kSim.Device, 0xEE0000}, "quorvane-ctl",
                             milliseconds(0), {dir.Path()}));
  first.reset();
  EXPECT_NO_THROW(ModuleLock(kSim, "quorvane-ctl", milliseconds(0), {dir.Path()}));
}

// A note others may write is not believed: the holder's name is the one the
// system knows its process by, and a name holding control bytes is shown escaped.
TEST(ModuleLock, HolderCannotBeForgedAndItsNameIsShownEscaped) {
  TempFolder dir;
  char ownName[16] = {};
  prctl(PR_GET_NAME, ownName);
  prctl(PR_SET_NAME, "lock\x1b[2Jtest");
  ModuleLock holder(kSim, "quorvane", milliseconds(0), {dir.Path()});
  const std::string file = holder.File().string();
  chmod(file.c_str(), 0666);
  WriteRaw(file, "program=forged\npid=" + std::to_string(getpid()) + "\nsince=0\n");
  const std::string refused = Refusal(dir.Path());
  prctl(PR_SET_NAME, ownName);
  const std::string user = getpwuid(geteuid())->pw_name;
  EXPECT_NE(refused.find(" is in use by lock\\x1b[2Jtest, pid " + std::to_string(getpid()) +
                         ", user " + user + ", since "),
            std::string::npos)
      << refused;
}

TEST(ModuleLock, AnythingButARegularFileInTheLocksPlaceIsRefusedAtOnce) {
  const std::pair<const char*, std::function<void(const std::string&)>> cases[] = {
      {"a FIFO", [](const std::string& path) { mkfifo(path.c_str(), 0666); }},
      {"a folder", [](const std::string& path) { mkdir(path.c_str(), 0777); }},
      {"a symbolic link",
       [](const std::string& path) { (void)!symlink("/etc/passwd", path.c_str()); }},
  };
  for (const auto& [kind, make] : cases) {
    TempFolder dir;
    make(dir.Path() + "/" + ModuleLock::FileName(kSim));
    EXPECT_NE(Refusal(dir.Path()).find(": it is " + std::string(kind) + ", not a regular file"),
              std::string::npos)
        << kind << ": " << Refusal(dir.Path());
  }
}

// Never a folder of one user's own: the program stops, saying which folder and why.
TEST(ModuleLock, FolderThatCannotBeSharedSafelyIsRefused) {
  TempFolder open;
  chmod(open.Path().c_str(), 0777);
  const std::pair<std::string, std::string> cases[] = {
      {"/nonexistent/quorvane-locks", "(No such file or directory)"},
      {open.Path(), "(others may write to it but it has no sticky bit"},
  };
  for (const auto& [folder, cause] : cases) {
    const std::string refused = Refusal(folder);
    EXPECT_NE(refused.find("the lock folder " + folder + " cannot be used " + cause),
              std::string::npos)
        << refused;
    EXPECT_NE(refused.find("writable by all with the sticky bit"), std::string::npos) << refused;
  }
}

TEST(ModuleLock, WaitSucceedsWhenTheHolderLetsGoElseTakesTheWholeWait) {
  TempFolder dir;
  auto holder =
      std::make_unique<ModuleLock>(kSim, "quorvane", milliseconds(0), Folders{dir.Path()});
  std::thread letsGo([&holder] {
    std::this_thread::sleep_for(milliseconds(200));
    holder.reset();
  });
  EXPECT_EQ(Refusal(dir.Path(), milliseconds(5000)), "");
  letsGo.join();

  ModuleLock keeps(kSim, "quorvane", milliseconds(0), {dir.Path()});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_NE(Refusal(dir.Path(), milliseconds(300)).find(" is in use by quorvane"),
            std::string::npos);
  EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(300));
}

}  // namespace
