#pragma once

// What the main window takes from the program entry when it starts: how to
// open its connection, where and how long to wait for the module's lock, and
// how to open the crate monitor. The entry (Application.h) and the window
// (FMain.h) both include this; neither includes the other's header.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "vme/TVMEInterface.h"

class QWidget;
class TBusLogFeed;

// Creates the main window's VME connection. The program's default opens the
// Bit3 adapter: TVMEWinBit3(unit 0, logical device 2, no transfer limit).
using ConnectionFactory = std::function<std::unique_ptr<TVMEInterface>()>;
std::unique_ptr<TVMEInterface> OpenBit3Connection();

// One owner per module: the panel holds the module's lock from before its
// first register access to its end, and waits this long for another program
// (a second panel, quorvane-ctl) to let go of it before it gives up.
inline constexpr std::chrono::seconds kPanelModuleWait{5};
// Where the lock file goes: ModuleLock::DefaultFolders() unless a test
// program gives a folder of its own (its tests run beside others').
std::vector<std::filesystem::path>& PanelLockFolders();

// Creates the window that shows the simulated crate (the crate monitor),
// following it through the main window's bus log. Only a program built with
// the simulated crate has one; the main window offers it only when its
// connection is simulated.
using CrateMonitorFactory = std::function<std::unique_ptr<QWidget>(TBusLogFeed& feed)>;
