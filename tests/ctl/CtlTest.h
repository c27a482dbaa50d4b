#pragma once

// quorvane-ctl run in-process on the simulated crate through the real Bit3
// connection, with its own configuration file, lock folder and data folder.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ctl/Ctl.h"
#include "sim/AdapterCalls.h"
#include "sim/SimCrate.h"
#include "support/SimulatedChoice.h"
#include "support/TempFolder.h"
#include "vme/TVMEWinBit3.h"

class CtlTest : public testing::Test {
 protected:
  void SetUp() override {
    InstallAdapterLibrary(sim::SimulatedAdapterLibrary());
    Crate().PowerUp();
    WriteRaw(Ini(), kConfiguration);
    DefaultConfig = Ini();
  }

  // The simulated crate, named on the command line: the crate keeps its
  // state from one run to the next.
  static crate::CrateChoice NamedSimulatedCrate(const std::string&) {
    return SimulatedCrateNamedOnTheCommandLine();
  }

  static sim::Crate& Crate() { return sim::Crate::Instance(); }
  std::string Ini() const { return Dir.File("quorvane.ini"); }

  // Runs one command line; Out and Err hold what it printed.
  int Run(const std::vector<std::string>& arguments) {
    Out.str("");
    Err.str("");
    CtlEnvironment environment;
    environment.Out = &Out;
    environment.Err = &Err;
    environment.Select = Select;
    environment.Connect = [](const std::string&) -> std::unique_ptr<TVMEInterface> {
      return std::make_unique<TVMEWinBit3>(0, 2, -1);
    };
    environment.DefaultConfig = DefaultConfig;
    environment.LockFolders = {Dir.Path()};
    environment.DataFolder = Dir.Path();
    return RunCtl(arguments, environment);
  }

  // Write cycles the crate accepted, as (offset, value).
  static std::vector<std::pair<std::uint32_t, std::uint32_t>> Writes() {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> writes;
    for (const sim::BusCycle& cycle : Crate().Cycles())
      if (cycle.write && cycle.status == 0)
        writes.emplace_back(cycle.address - sim::kTTCviBase, cycle.value);
    return writes;
  }

  // Two sequences, one preset, two TTCrx entries (Rx2 in hexadecimal) and a
  // third whose address is no number.
  static constexpr const char* kConfiguration =
      "[B_GoSequnces]\nNoOfSeq=2\n[B_GoSequncesSeq0]\nCaption=Trig\nNoOfVectors=2\n"
      "vector0=10000000000000000000000000000101\nvector1=00000000000000000000000000000001\n"
      "[B_GoSequncesSeq1]\nCaption=Empty\nNoOfVectors=0\n"
      "[PreSettings]\nNoOfPreSets=1\n[PreSettingsPreset0]\nCaption=Run1\nRxName=Rx1\n"
      "[Rx_Addresses]\nNoOfRxAddresses=3\nRxAddress0=Rx1=000001\nRxAddress1=Rx2=x1F\n"
      "RxAddress2=Bad=zz\n";

  TempFolder Dir;
  std::function<crate::CrateChoice(const std::string&)> Select = NamedSimulatedCrate;
  std::filesystem::path DefaultConfig;
  std::ostringstream Out;
  std::ostringstream Err;
};
