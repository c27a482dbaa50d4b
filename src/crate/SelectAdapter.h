#pragma once

// Choosing the adapter library when a program starts: the one entry point
// of the panel's main and of the headless program. No Qt.

#include <string>
#include <string_view>

#include "crate/CrateSettings.h"

namespace crate {

// What was chosen, and why.
struct CrateChoice {
  std::string Adapter;   // "sim", "sbs" or "caen"
  std::string ChosenBy;  // "the command line", "/etc/quorvane/crate.conf, line 2", "the default"
  std::string Name;      // for the operator: "Simulated crate", "CAEN V2718", ...
  std::string Release;   // the vendor library's release or file; empty for the simulated crate
  bool Simulated = false;
  CrateSettings Settings;  // the crate settings read (paths searched, trace, ...)
};

// CrateChoice::ChosenBy when neither the command line nor the file named one.
inline constexpr const char* kChosenByDefault = "the default";

// The adapters by their names on the command line and in the file.
inline constexpr const char* kAdapterNames = "sim, sbs or caen";

// Decides the adapter (adapterFromCommandLine, empty when not given, else
// the crate settings file's "adapter", else "sim"), loads its library, makes
// it the adapter library of every connection opened from now on
// (InstallAdapterLibrary), powers up the simulated crate at the file's base
// when it is chosen, and switches the connection's trace on when the file
// says so. Touches no bus: the connection opens later. Raises Exception with
// the operator's message on any failure, and then installs nothing: the
// program never falls back to the simulated crate by itself.
CrateChoice SelectAdapter(std::string_view adapterFromCommandLine);
// The same with settings already read.
CrateChoice SelectAdapter(std::string_view adapterFromCommandLine, const CrateSettings& settings);

}  // namespace crate
