#pragma once

// quorvane-ctl: the module from scripts and run control, on the layers below
// the windows. The whole program is RunCtl, so tests run it in-process with
// their own streams, connection and folders; main() only fills in the
// defaults.
//
// Exit statuses: 0 done; 1 the crate refused (the error box's text on the
// error stream); 2 usage or configuration error; 3 the module is in use; 4
// the output could not be written (what the command sent stays sent).

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "crate/SelectAdapter.h"
#include "vme/TVMEInterface.h"

enum CtlExit {
  kCtlDone = 0,
  kCtlCrateRefused = 1,
  kCtlUsage = 2,
  kCtlInUse = 3,
  kCtlOutputFailed = 4
};

struct CtlEnvironment {
  std::ostream* Out = nullptr;
  std::ostream* Err = nullptr;
  // Chooses the adapter and installs its library (crate::SelectAdapter);
  // adapter is what --adapter named ("sim", "sbs", "caen"), empty when it was
  // not given. Raises Exception when no adapter can be chosen.
  std::function<crate::CrateChoice(const std::string& adapter)> Select;
  // Opens the connection to the crate through the adapter chosen.
  std::function<std::unique_ptr<TVMEInterface>(const std::string& adapter)> Connect;
  // The configuration file when --config is not given: the installed
  // panel's per-user file; empty when no home folder is known.
  std::filesystem::path DefaultConfig;
  // Where the module's lock file may go, the first writable one is used.
  std::vector<std::filesystem::path> LockFolders;
  // The per-user data folder: the bus log's file goes there (empty: none).
  std::filesystem::path DataFolder;
};

// The defaults of the installed program: the standard streams, the adapter
// of this build, $XDG_DATA_HOME/quorvane/quorvane.ini, the locks in
// /run/lock alone.
CtlEnvironment DefaultCtlEnvironment();

// The release of this build ("0.1"), as the package has it.
const char* CtlRelease();

// Runs one command line (arguments after the program's name); returns the
// exit status. Never throws.
int RunCtl(const std::vector<std::string>& arguments, const CtlEnvironment& environment);
