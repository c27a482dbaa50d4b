// The panel takes the module's lock at start: it waits for another program
// to let go, and otherwise ends its start naming the holder, having touched
// no register.

#include <QAbstractButton>
#include <chrono>
#include <thread>

#include "operate/ModuleLock.h"
#include "sim/SimCrate.h"
#include "ui/Application.h"
#include "ui/FMain.h"
#include "ui/UiTestSupport.h"

namespace {

using std::chrono::milliseconds;

TEST(PanelLock, PanelWaitsForTheModuleThenNamesItsHolder) {
  sim::Crate& crate = sim::Crate::Instance();
  crate.PowerUp();
  ScopedWorkDir dir;
  const ModuleIdentity module{"sim", "simbt0/a24", sim::kTTCviBase};

  {
    // A script that ends within the panel's wait: the panel starts after it.
    auto script =
        std::make_unique<ModuleLock>(module, "quorvane-ctl", milliseconds(0), PanelLockFolders());
    std::thread ends([&script] {
      std::this_thread::sleep_for(milliseconds(300));
      script.reset();
    });
    QuorvaneWindows windows = CreateQuorvaneWindows(OpenBit3Connection);
    ends.join();
    EXPECT_NE(windows.frmMain, nullptr);
    EXPECT_EQ(crate.WriteCount(0x84), 1u);  // start-up's reset went out
    // Closed and saved, the panel holds the module no longer.
    ASSERT_TRUE(windows.frmMain->close());
    EXPECT_NO_THROW(ModuleLock(module, "quorvane-ctl", milliseconds(0), PanelLockFolders()));
  }

  ModuleLock script(module, "quorvane-ctl", milliseconds(0), PanelLockFolders());
  crate.ClearCycles();
  ModalAnswer answer(PressOk);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(RunQuorvane(OpenBit3Connection), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, kPanelModuleWait);
  EXPECT_TRUE(answer.Text().startsWith(
      "The TTCvi at A24 0xFF1000 (Simulated crate, simbt0/a24) is in use by quorvane-ctl, pid " +
      QString::number(getpid()) + ", user "))
      << answer.Text().toStdString();
  EXPECT_TRUE(crate.Cycles().empty());
}

}  // namespace
