// The panel beside quorvane-ctl: its windows on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "sim/AdapterCalls.h"
#include "support/TempFolder.h"
#include "ui/Application.h"
#include "ui/UiTestSupport.h"

// GUI tests run on the real widgets. ctest sets QT_QPA_PLATFORM=offscreen;
// listing the tests (test discovery) needs no QApplication at all.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setApplicationName("Quorvane");
  // The windows' connections open on the simulated crate, as the program's
  // do when it chooses the simulated crate at start.
  InstallAdapterLibrary(sim::SimulatedAdapterLibrary());
  // The panels' module locks in a folder of this program's own: test
  // programs run side by side on the one simulated module.
  const TempFolder locks("quorvane-locks");
  PanelLockFolders() = {locks.Path()};
  const UnansweredModalCloser closer;  // an unexpected box fails its test, never hangs it
  return RUN_ALL_TESTS();
}
