// The device server's mapping on the simulated crate, without a network:
// what a client's call leaves on the crate, the kind of refusal it is told,
// and the device's state afterwards.

#include <gtest/gtest.h>

#include <functional>

#include "operate/ModuleSession.h"
#include "sim/AdapterCalls.h"
#include "sim/SimCrate.h"
#include "support/SimulatedChoice.h"
#include "support/TempFolder.h"
#include "tango/TTCviDevice.h"
#include "ttcvi/TTCrxRegisters.h"
#include "vme/TVMEWinBit3.h"

namespace {

std::unique_ptr<TVMEInterface> Connect() { return std::make_unique<TVMEWinBit3>(0, 2, -1); }

class TTCviDeviceTest : public testing::Test {
 protected:
  void SetUp() override {
    InstallAdapterLibrary(sim::SimulatedAdapterLibrary());
    Crate().PowerUp();
    // The file log on: the bus log's causes are read from its file.
    WriteRaw(Dir.File("quorvane.ini"),
             "[B_GoSequnces]\nNoOfSeq=1\n[B_GoSequncesSeq0]\nCaption=Trig\nNoOfVectors=1\n"
             "vector0=10000000000000000000000000000101\n"
             "[PreSettings]\nNoOfPreSets=1\n[PreSettingsPreset0]\nCaption=Physics\n"
             "TriggerSource=5\nRanGenRate=3\nRxName=Rx1\n[PreSettingsSeq1]\nNoOfVectors=1\n"
             "vector0=10000000000000000000000000000101\n"
             "[Rx_Addresses]\nNoOfRxAddresses=1\nRxAddress0=Rx1=7\n[BusLog]\nFileLog=1\n");
    Environment.Select = [](const DeviceProperties&) {
      return SimulatedCrateNamedOnTheCommandLine();
    };
    Environment.Connect = Connect;
    Environment.DefaultConfig = Dir.File("quorvane.ini");
    Environment.DataFolder = Dir.Path();
    Environment.LockFolders = {Dir.Path()};
    Environment.Notice = [this](const std::string& text) { Notices.push_back(text); };
  }

  static sim::Crate& Crate() { return sim::Crate::Instance(); }

  TempFolder Dir;
  DeviceEnvironment Environment;
  std::vector<std::string> Notices;
};

TEST_F(TTCviDeviceTest, WritesAndCommandsReachTheCrateUnderTheClientsCause) {
  {
    // A module left running at 5 kHz, external orbit.
    TVMEWinBit3 connection(0, 2, -1);
    TTTCvi(&connection, sim::kTTCviBase).SetRandomRate(3);
  }
  TTCviDevice device(Environment);
  device.Init({});
  ASSERT_EQ(device.State(), DeviceState::On) << device.Status();

  // Choosing the random source keeps the rate the module runs at.
  device.WriteTriggerSource(5, "10.0.0.7");
  EXPECT_EQ(Crate().CSR1(), 0x3005);
  device.WriteInhibitDelay({1, 2, 3, 4095});
  EXPECT_EQ(Crate().InhibitDelay(3), 4095);
  device.WriteRetransmit({true, false, true, true});
  EXPECT_EQ(device.Retransmit(), (std::array<bool, 4>{true, false, true, true}));
  device.SetRx("Rx1", {.Deskew1 = 17, .Control = 0x55});
  EXPECT_EQ(Crate().TTCrxRegister(7, 0), ttcrx::DeskewCode(17));
  EXPECT_EQ(Crate().TTCrxRegister(7, 3), 0x55);

  device.ApplyPreset("Physics", "10.0.0.7");
  EXPECT_EQ(Crate().BGoFifoSize(1), 1u);
  EXPECT_EQ(Notices, std::vector<std::string>{"B-Go Fifo [1] loaded"});
  EXPECT_EQ(device.FifoEmpty(), (std::array<bool, 4>{true, false, true, true}));
  const std::string log = ReadRaw(Dir.File("buslog.csv"));
  EXPECT_NE(log.find("ApplyPreset 'Physics' from 10.0.0.7"), std::string::npos) << log;
  EXPECT_NE(log.find("Write TriggerSource 5 Random from 10.0.0.7"), std::string::npos);
}

TEST_F(TTCviDeviceTest, RefusalsNameTheirKindAndOnlyTheBusSetsFault) {
  struct Case {
    const char* name;
    std::function<void(TTCviDevice&)> call;
    DeviceRefusal kind;
    DeviceState after;
  };
  const Case cases[] = {
      {"unknown preset", [](TTCviDevice& d) { d.ApplyPreset("Cosmics"); },
       DeviceRefusal::UnknownName, DeviceState::On},
      {"unknown sequence", [](TTCviDevice& d) { d.LoadFifo(0, "Nope"); },
       DeviceRefusal::UnknownName, DeviceState::On},
      {"unknown TTCrx", [](TTCviDevice& d) { d.SendLong("Rx9", 1, 2, false); },
       DeviceRefusal::UnknownName, DeviceState::On},
      {"source", [](TTCviDevice& d) { d.WriteTriggerSource(7); }, DeviceRefusal::OutOfRange,
       DeviceState::On},
      {"duration",
       [](TTCviDevice& d) {
         d.WriteInhibitDuration({0, 256, 0, 0});
       },
       DeviceRefusal::OutOfRange, DeviceState::On},
      {"channel", [](TTCviDevice& d) { d.ResetFifos({4}); }, DeviceRefusal::OutOfRange,
       DeviceState::On},
      {"deskew", [](TTCviDevice& d) { d.SetRx("Rx1", {.Deskew2 = 240}); },
       DeviceRefusal::OutOfRange, DeviceState::On},
      {"bus",
       [](TTCviDevice& d) {
         Crate().FailNext(sim::Call::Write, sim::kStatusBusError);
         d.Trigger();
       },
       DeviceRefusal::BusError, DeviceState::Fault},
  };
  TTCviDevice device(Environment);
  device.Init({});
  for (const Case& c : cases) {
    Crate().ClearCycles();
    try {
      c.call(device);
      ADD_FAILURE() << c.name << ": not refused";
    } catch (const EDeviceRefused& refused) {
      EXPECT_EQ(refused.Kind(), c.kind) << c.name << ": " << refused.Message();
      EXPECT_EQ(device.State(), c.after) << c.name;
    }
    if (c.kind != DeviceRefusal::BusError) {
      EXPECT_TRUE(Crate().Cycles().empty()) << c.name;
    }
  }
  EXPECT_NE(device.Status().find("VME"), std::string::npos) << device.Status();
  device.CSR2();  // the next access that succeeds
  EXPECT_EQ(device.State(), DeviceState::On);
}

TEST_F(TTCviDeviceTest, AnotherHolderDisablesTheDeviceAndOffLetsThePanelIn) {
  BusLogKeeper log({}, 16, "");
  auto panel = std::make_unique<ModuleSession>(Connect, sim::kTTCviBase, log,
                                               SessionPlan{"quorvane", {}, {Dir.Path()}});
  TTCviDevice device(Environment);
  device.Init({});
  EXPECT_EQ(device.State(), DeviceState::Disable);
  EXPECT_NE(device.Status().find("quorvane"), std::string::npos) << device.Status();
  try {
    device.CSR1();
    ADD_FAILURE() << "read while the panel holds the module";
  } catch (const EDeviceRefused& refused) {
    EXPECT_EQ(refused.Kind(), DeviceRefusal::ModuleInUse);
  }

  panel.reset();  // the panel closes: the next access takes the module
  device.CSR1();
  EXPECT_EQ(device.State(), DeviceState::On);
  device.Off();
  EXPECT_EQ(device.State(), DeviceState::Off);
  EXPECT_NO_THROW(
      ModuleSession(Connect, sim::kTTCviBase, log, SessionPlan{"quorvane", {}, {Dir.Path()}}));
  EXPECT_THROW(device.CSR1(), EDeviceRefused);
  EXPECT_EQ(device.State(), DeviceState::Off);
}

}  // namespace
