// The real connection over the simulated crate: what an operator would see.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "sim/AdapterCalls.h"
#include "sim/SimCrate.h"
#include "vme/TVMEWinBit3.h"
#include "vme/VMEErrors.h"

namespace {

using sim::Call;

class ConnectionOnSim : public ::testing::Test {
 protected:
  sim::Crate& crate = sim::Crate::Instance();
  void SetUp() override {
    InstallAdapterLibrary(sim::SimulatedAdapterLibrary());
    crate.PowerUp();
  }
  void TearDown() override { crate.PowerUp(); }
};

TEST_F(ConnectionOnSim, OpensSetsTheModifiersAndReachesTheModule) {
  {
    TVMEWinBit3 connection(0, 2, -1);
    EXPECT_STREQ(connection.GetDeviceName(), sim::kDeviceName);
    const VMEConnectionDescription described = connection.Describe();
    EXPECT_EQ(described.Adapter, "Simulated crate");
    EXPECT_EQ(described.Device, sim::kDeviceName);
    EXPECT_TRUE(described.Simulated);
    EXPECT_EQ(crate.Parameter(BT_INFO_DMA_AMOD), sim::kA24NonPrivilegedData);
    EXPECT_EQ(crate.Parameter(BT_INFO_PIO_AMOD), sim::kA24NonPrivilegedData);

    connection.Write16(sim::kTTCviBase + 0x80, 0x2005);
    EXPECT_EQ(connection.Read16(sim::kTTCviBase + 0x80), 0x2005);
    EXPECT_EQ(connection.Read16(sim::kTTCviBase + 0x82), 0x0055);
    connection.Write32(sim::kTTCviBase + 0xB0, 0xA4680393);
    EXPECT_EQ(crate.BGoFifo(0), std::vector<std::uint32_t>{0xA4680393});
    connection.ResetAdapter();
    EXPECT_EQ(crate.AdapterResetCount(), 1u);
  }
  EXPECT_FALSE(crate.IsOpen()) << "destruction closes the handle";
}

TEST_F(ConnectionOnSim, BusErrorReachesTheOperatorWithItsCause) {
  TVMEWinBit3 connection(0, 2, -1);
  try {
    connection.Write16(0xFF0080, 1);
    FAIL() << "no error";
  } catch (const EVMEWrite& error) {
    EXPECT_EQ(error.Message(),
              "VME Error: write error device simbt0/a24: VME bus error: no module answers at "
              "0xFF0080 with address modifier 0x39");
  }
  EXPECT_THROW(connection.Read32(sim::kTTCviBase + 0x80), EVMERead);  // 32 bits at CSR1
  EXPECT_EQ(connection.Read16(sim::kTTCviBase + 0x80), 0) << "the connection is still usable";
  EXPECT_FALSE(connection.IsBusy());
}

TEST_F(ConnectionOnSim, InjectedFailuresOfEachStage) {
  crate.FailNext(Call::Open, 150);
  try {
    TVMEWinBit3 connection(0, 2, -1);
    FAIL() << "no error";
  } catch (const EVMEOpen& error) {
    EXPECT_EQ(error.Message(),
              "VME Error: could not open device simbt0/a24: injected failure (status 150)");
  }

  crate.FailNext(Call::SetInfo, 151);
  EXPECT_THROW(TVMEWinBit3(0, 2, -1), EVME);
  EXPECT_FALSE(crate.IsOpen()) << "a failed set-up leaves no handle open";

  TVMEWinBit3 connection(0, 2, -1);
  crate.FailNext(Call::Write, sim::kStatusUndescribed);
  try {
    connection.Write16(sim::kTTCviBase + 0x86, 0x000F);
    FAIL() << "no error";
  } catch (const EVMEWrite& error) {
    EXPECT_EQ(error.Message(),
              "VME Error: write error device simbt0/a24error description anavailable");
  }
  EXPECT_EQ(crate.L1ACount(), 0u);
  connection.Write16(sim::kTTCviBase + 0x86, 0x000F);
  EXPECT_EQ(crate.L1ACount(), 1u);
}

TEST_F(ConnectionOnSim, ConnectionCreatedWhileModifiersAreRightSetsNothing) {
  auto first = std::make_unique<TVMEWinBit3>(0, 2, -1);
  // Parameters belong to the device: a second connection finds 0x39 and
  // must not need bt_set_info, so an injected set failure stays pending.
  crate.FailNext(Call::SetInfo, 152);
  TVMEWinBit3 second(0, 2, -1);
  EXPECT_EQ(crate.OpenHandleCount(), 2u);
  first.reset();
  second.Write16(sim::kTTCviBase + 0xC8, 7);
  EXPECT_EQ(crate.TrigWordAddress(), 7);
  crate.FailNext(Call::SetInfo, 0);
}

}  // namespace
