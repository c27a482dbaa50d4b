#include "crate/SelectAdapter.h"

#include <fcntl.h>

#include <iostream>

#include "adapters/caen/CaenLibrary.h"
#include "adapters/sbs/SbsLibrary.h"
#include "base/Exception.h"
#include "base/RegularFile.h"
#include "base/Text.h"
#include "sim/AdapterCalls.h"
#include "sim/SimCrate.h"
#include "vme/TDebug.h"

namespace crate {

namespace {

constexpr int kTraceAll = 1;  // the connection traces at level 1

// The connection's trace as the file's "trace" says: off leaves it silent.
void ApplyTrace(const CrateSettings& settings) {
  const std::string& trace = settings.Trace;
  if (trace == "off") return;
  if (trace == "on") {
    DebugLog.Out = &std::cerr;
  } else {
    // The trace may sit in a folder others share: a link planted there must
    // not make us append to whatever it points at, nor a FIFO hang the start.
    std::string why;
    const int descriptor = OpenRegularFile(trace.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644, why);
    if (descriptor < 0)
      throw Exception(settings.TracePlace.Text() + ": trace file \"" + trace +
                      "\" cannot be opened for writing: " + why);
    DebugLog.File.Open(descriptor);
    DebugLog.Out = &DebugLog.File;
  }
  DebugLog.Threshold = kTraceAll;
}

}  // namespace

CrateChoice SelectAdapter(std::string_view adapterFromCommandLine) {
  return SelectAdapter(adapterFromCommandLine, LoadCrateSettings(CrateSettingsPlaces()));
}

CrateChoice SelectAdapter(std::string_view adapterFromCommandLine, const CrateSettings& settings) {
  CrateChoice choice;
  choice.Settings = settings;
  if (!adapterFromCommandLine.empty()) {
    choice.Adapter = LowerAscii(adapterFromCommandLine);
    choice.ChosenBy = "the command line";
  } else if (!settings.Adapter.empty()) {
    choice.Adapter = LowerAscii(settings.Adapter);
    choice.ChosenBy = settings.AdapterPlace.Text();
  } else {
    choice.Adapter = "sim";
    choice.ChosenBy = kChosenByDefault;
  }

  // "base" places the simulated TTCvi only; a real module's base is the
  // panel's configuration file's, and taking this one for it would drive
  // whatever answers at the file's address.
  if (choice.Adapter != "sim" && settings.BasePlace.Line > 0)
    throw Exception(settings.BasePlace.Text() + ": \"base\" is the simulated crate's and means " +
                    "nothing to the " + choice.Adapter +
                    " adapter: the module's base is set in the configuration file "
                    "(quorvane.ini), section [TTCvi_Address], key TTCviAddress; remove \"base\"");

  AdapterLibrary library;
  if (choice.Adapter == "sim") {
    library = sim::SimulatedAdapterLibrary();
  } else if (choice.Adapter == "sbs") {
    library = sbs::LoadSbsLibrary(settings.SbsLibrary.empty() ? sbs::kDefaultLibrary
                                                              : settings.SbsLibrary);
  } else if (choice.Adapter == "caen") {
    if (!settings.HaveBridge)
      throw Exception(
          "the caen adapter needs the bridge: write \"bridge = V2718\" (or another "
          "bridge) with its link and node into " +
          (settings.File.empty() ? settings.Places.front().string() : settings.File.string()));
    const std::string bad = caen::CheckBridge(settings.Caen, settings.HaveHost);
    if (!bad.empty()) throw Exception(settings.BridgePlace.Text() + ": " + bad);
    library = caen::LoadCaenLibrary(
        settings.CaenLibrary.empty() ? caen::kDefaultLibrary : settings.CaenLibrary, settings.Caen);
  } else {
    const std::string given =
        adapterFromCommandLine.empty()
            ? settings.AdapterPlace.Text() + ": adapter \"" + settings.Adapter + "\""
            : "--adapter " + std::string(adapterFromCommandLine);
    throw Exception(given + ": no such adapter (known: " + kAdapterNames + ")");
  }

  library.Kind = choice.Adapter;  // the lock's name for the module, whatever the release
  ApplyTrace(settings);
  if (library.Simulated) sim::Crate::Instance().PowerUp(settings.Sim);
  choice.Name = library.Name;
  choice.Release = library.Release;
  choice.Simulated = library.Simulated;
  InstallAdapterLibrary(std::move(library));
  return choice;
}

}  // namespace crate
