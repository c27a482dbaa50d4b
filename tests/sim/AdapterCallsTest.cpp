// The adapter side of the simulated library: names, handles, parameters,
// transfer checks, the cycle ring, fault injection and error texts.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>

#include "SimFixture.h"

namespace {

using sim::Call;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// ---- device names ----

TEST(SimGenName, UnitZeroA24IsTheCratesDevice) {
  char name[20];
  EXPECT_EQ(bt_gen_name(0, BT_DEV_A24, name, sizeof name), name);
  EXPECT_STREQ(name, sim::kDeviceName);
}

TEST(SimGenName, NeverLongerThan19CharactersNorTheBuffer) {
  struct Case {
    int unit;
    bt_dev_t device;
  };
  const Case cases[] = {{0, 2}, {7, 2}, {0, 0}, {INT_MAX, 2}, {INT_MIN, INT_MIN}, {-1, 99}};
  for (const Case& c : cases) {
    for (std::size_t max : {std::size_t{1}, std::size_t{4}, std::size_t{20}, std::size_t{64}}) {
      char buffer[80];
      std::memset(buffer, '#', sizeof buffer);
      ASSERT_EQ(bt_gen_name(c.unit, c.device, buffer, max), buffer);
      const std::size_t length = std::strlen(buffer);
      EXPECT_LE(length, 19u) << c.unit << "/" << c.device;
      EXPECT_LT(length, max) << c.unit << "/" << c.device;
      EXPECT_EQ(buffer[max], '#') << "wrote beyond max " << max;
    }
  }
}

TEST(SimGenName, ZeroSizeOrNullBufferIsLeftAlone) {
  char buffer[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(bt_gen_name(0, 2, buffer, 0), buffer);
  EXPECT_EQ(buffer[0], '#');
  EXPECT_EQ(bt_gen_name(0, 2, nullptr, 20), nullptr);
}

// ---- open, handles, close ----

class SimOpen : public SimTest {};

TEST_F(SimOpen, UnknownDeviceNameIsRefused) {
  bt_desc_t other = -7;
  EXPECT_EQ(bt_open(&other, "simbt1/a24", BT_RD | BT_WR), sim::kStatusNoDevice);
  EXPECT_TRUE(Contains(Describe(sim::kStatusNoDevice), "simbt1/a24"))
      << Describe(sim::kStatusNoDevice);
  EXPECT_EQ(bt_open(&other, nullptr, BT_RD | BT_WR), sim::kStatusNoDevice);
  EXPECT_EQ(other, -7) << "a failed open leaves the handle as it was";
  EXPECT_EQ(crate.OpenHandleCount(), 1u);
}

TEST_F(SimOpen, AccessFlagsOutsideReadWriteAreRefused) {
  bt_desc_t other = 0;
  EXPECT_EQ(bt_open(&other, sim::kDeviceName, 0), sim::kStatusBadArgument);
  EXPECT_EQ(bt_open(&other, sim::kDeviceName, 4), sim::kStatusBadArgument);
  EXPECT_EQ(bt_open(nullptr, sim::kDeviceName, 3), sim::kStatusBadArgument);
}

TEST_F(SimOpen, EveryCallOnAClosedHandleIsNotOpen) {
  ASSERT_EQ(bt_close(handle), BT_SUCCESS);
  EXPECT_FALSE(crate.IsOpen());
  std::uint16_t value = 0;
  bt_devdata_t data = 0;
  std::size_t done = 0;
  EXPECT_EQ(bt_get_info(handle, BT_INFO_PIO_AMOD, &data), sim::kStatusNotOpen);
  EXPECT_EQ(bt_set_info(handle, BT_INFO_PIO_AMOD, 0x39), sim::kStatusNotOpen);
  EXPECT_EQ(bt_write(handle, &value, At(0x80), 2, &done), sim::kStatusNotOpen);
  EXPECT_EQ(bt_read(handle, &value, At(0x80), 2, &done), sim::kStatusNotOpen);
  EXPECT_EQ(bt_reset(handle), sim::kStatusNotOpen);
  EXPECT_EQ(bt_close(handle), sim::kStatusNotOpen);
  EXPECT_EQ(bt_write(0, &value, At(0x80), 2, &done), sim::kStatusNotOpen);
  EXPECT_EQ(bt_write(-1, &value, At(0x80), 2, &done), sim::kStatusNotOpen);
  EXPECT_TRUE(crate.Cycles().empty()) << "a refused handle makes no bus cycle";
  EXPECT_TRUE(Contains(Describe(sim::kStatusNotOpen), "not open"));
}

TEST_F(SimOpen, AStaleHandleNeverNamesANewOne) {
  const bt_desc_t old = handle;
  ASSERT_EQ(bt_close(old), BT_SUCCESS);
  ASSERT_EQ(bt_open(&handle, sim::kDeviceName, BT_RD | BT_WR), BT_SUCCESS);  // same slot again
  EXPECT_NE(handle, old);
  EXPECT_EQ(bt_reset(old), sim::kStatusNotOpen);
  EXPECT_EQ(bt_reset(handle), BT_SUCCESS);
}

TEST_F(SimOpen, OpenHandlesAreBoundedAndIndependent) {
  bt_desc_t handles[sim::kMaxOpenHandles];
  for (std::size_t i = 1; i < sim::kMaxOpenHandles; ++i)
    ASSERT_EQ(bt_open(&handles[i], sim::kDeviceName, BT_RD), BT_SUCCESS) << i;
  bt_desc_t extra = 0;
  EXPECT_EQ(bt_open(&extra, sim::kDeviceName, BT_RD), sim::kStatusTooManyOpen);
  EXPECT_EQ(crate.OpenHandleCount(), sim::kMaxOpenHandles);
  ASSERT_EQ(bt_close(handles[3]), BT_SUCCESS);
  EXPECT_EQ(bt_open(&extra, sim::kDeviceName, BT_RD), BT_SUCCESS);
  EXPECT_EQ(Read16(0x82), 0x0055) << "the first handle still works";
}

TEST_F(SimOpen, HandleOpenedForReadingCannotWrite) {
  bt_desc_t reader = 0;
  ASSERT_EQ(bt_open(&reader, sim::kDeviceName, BT_RD), BT_SUCCESS);
  std::uint16_t value = 0x0008;
  std::size_t done = 0;
  EXPECT_EQ(bt_write(reader, &value, At(0x80), 2, &done), sim::kStatusAccessDenied);
  EXPECT_EQ(crate.CSR1(), 0);
  EXPECT_EQ(bt_read(reader, &value, At(0x82), 2, &done), BT_SUCCESS);
  EXPECT_EQ(value, 0x0055);
}

TEST_F(SimOpen, PowerUpClosesEveryHandle) {
  crate.PowerUp();
  EXPECT_FALSE(crate.IsOpen());
  EXPECT_EQ(bt_reset(handle), sim::kStatusNotOpen);
}

// ---- parameters ----

TEST(SimParameters, StartValuesAreNotTheModulesModifier) {
  sim::Crate& crate = sim::Crate::Instance();
  crate.PowerUp();
  bt_desc_t handle = 0;
  ASSERT_EQ(bt_open(&handle, sim::kDeviceName, 3), BT_SUCCESS);
  for (bt_info_t code : {BT_INFO_DMA_AMOD, BT_INFO_PIO_AMOD}) {
    bt_devdata_t value = 0;
    ASSERT_EQ(bt_get_info(handle, code, &value), BT_SUCCESS);
    EXPECT_EQ(value, sim::kAddressModifierAtPowerUp) << code;
    EXPECT_NE(value, sim::kA24NonPrivilegedData);
    EXPECT_EQ(crate.Parameter(code), value);
  }
  crate.PowerUp();
}

TEST_F(SimOpen, ParametersAreSetIndependently) {
  ASSERT_EQ(bt_set_info(handle, BT_INFO_DMA_AMOD, 0x0D), BT_SUCCESS);
  bt_devdata_t value = 0;
  ASSERT_EQ(bt_get_info(handle, BT_INFO_DMA_AMOD, &value), BT_SUCCESS);
  EXPECT_EQ(value, 0x0Du);
  ASSERT_EQ(bt_get_info(handle, BT_INFO_PIO_AMOD, &value), BT_SUCCESS);
  EXPECT_EQ(value, 0x39u);
  EXPECT_EQ(crate.Parameter(BT_INFO_DMA_AMOD), 0x0Du);
  EXPECT_EQ(crate.Parameter(42), 0u);
}

TEST_F(SimOpen, UnknownParameterAndBadValuesAreRefused) {
  bt_devdata_t value = 1234;
  EXPECT_EQ(bt_get_info(handle, 7, &value), sim::kStatusBadParameter);
  EXPECT_TRUE(Contains(Describe(sim::kStatusBadParameter), "7"))
      << Describe(sim::kStatusBadParameter);
  EXPECT_EQ(value, 1234u);
  EXPECT_EQ(bt_set_info(handle, 0, 0x39), sim::kStatusBadParameter);
  EXPECT_EQ(bt_set_info(handle, BT_INFO_PIO_AMOD, 0x40), sim::kStatusBadArgument);
  EXPECT_EQ(crate.Parameter(BT_INFO_PIO_AMOD), 0x39u);
  EXPECT_EQ(bt_get_info(handle, BT_INFO_PIO_AMOD, nullptr), sim::kStatusBadArgument);
}

// ---- transfers ----

class SimTransfer : public SimTest {};

TEST_F(SimTransfer, OnlyModifier0x39InParameter13ReachesTheModule) {
  ASSERT_EQ(bt_set_info(handle, BT_INFO_PIO_AMOD, 0x3D), BT_SUCCESS);
  EXPECT_EQ(Write16(0x80, 0x0008), sim::kStatusBusError);
  EXPECT_EQ(crate.CSR1(), 0);
  const std::string text = Describe(sim::kStatusBusError);
  EXPECT_TRUE(Contains(text, "no module answers at 0xFF1080")) << text;
  EXPECT_TRUE(Contains(text, "address modifier 0x3D")) << text;
  const auto cycles = crate.Cycles();
  ASSERT_EQ(cycles.size(), 1u);
  EXPECT_EQ(cycles[0].addressModifier, 0x3Du);
  EXPECT_EQ(cycles[0].status, sim::kStatusBusError);
  EXPECT_EQ(cycles[0].width, 16u);

  // Parameter 6 (the DMA modifier) plays no part in programmed transfers.
  ASSERT_EQ(bt_set_info(handle, BT_INFO_PIO_AMOD, 0x39), BT_SUCCESS);
  ASSERT_EQ(bt_set_info(handle, BT_INFO_DMA_AMOD, 0x3D), BT_SUCCESS);
  EXPECT_EQ(Write16(0x80, 0x0008), BT_SUCCESS);
  EXPECT_EQ(crate.CSR1(), 0x0008);
}

TEST_F(SimTransfer, AddressesWithoutARegisterAreBusErrors) {
  struct Case {
    std::uint32_t address;
    const char* text;
  };
  const Case cases[] = {
      {sim::kTTCviBase + 0x7E, "no module answers at 0xFF107E with address modifier 0x39"},
      {sim::kTTCviBase + 0xCC, "no module answers at 0xFF10CC"},
      {sim::kTTCviBase, "no module answers at 0xFF1000"},
      {0x000080, "no module answers at 0x000080"},
      {sim::kTTCviBase + 0x88, "no register at 0xFF1088"},  // unused offset in the window
      {sim::kTTCviBase + 0x81, "no register at 0xFF1081"},  // odd
      {sim::kTTCviBase + 0xB2, "no register at 0xFF10B2"},  // inside a 32-bit register
      {sim::kTTCviBase + 0xC6, "no register at 0xFF10C6"},
  };
  for (const Case& c : cases) {
    std::uint16_t value = 1;
    std::size_t done = 77;
    EXPECT_EQ(bt_write(handle, &value, c.address, 2, &done), sim::kStatusBusError)
        << std::hex << c.address;
    EXPECT_EQ(done, 0u);
    EXPECT_TRUE(Contains(Describe(sim::kStatusBusError), c.text)) << Describe(sim::kStatusBusError);
    EXPECT_EQ(bt_read(handle, &value, c.address, 2, &done), sim::kStatusBusError)
        << std::hex << c.address;
  }
  EXPECT_EQ(crate.Cycles().size(), 2 * std::size(cases)) << "failed cycles are recorded too";
}

TEST_F(SimTransfer, SizesMustMatchTheRegister) {
  struct Case {
    std::uint32_t offset;
    std::size_t count;
  };
  const Case refused[] = {{0x80, 4}, {0x80, 1}, {0x80, 3}, {0x80, 8},
                          {0xB0, 2}, {0xBC, 8}, {0xC2, 4}};
  for (const Case& c : refused) {
    std::uint32_t value[2] = {0xFFFFFFFF, 0xFFFFFFFF};
    std::size_t done = 9;
    EXPECT_EQ(bt_write(handle, value, At(c.offset), c.count, &done), sim::kStatusBadSize)
        << std::hex << c.offset << " " << c.count;
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(bt_read(handle, value, At(c.offset), c.count, &done), sim::kStatusBadSize);
    EXPECT_EQ(crate.Cycles().back().width, 0u) << "a refused size is recorded as width 0";
  }
  EXPECT_TRUE(Contains(Describe(sim::kStatusBadSize),
                       "4 bytes refused at 0xFF10C2: the register takes 2-byte"))
      << Describe(sim::kStatusBadSize);
  EXPECT_EQ(crate.CSR1(), 0);
  EXPECT_EQ(crate.BGoFifoSize(0), 0u);
  EXPECT_EQ(crate.WriteCount(0xC2), 0u);
}

TEST_F(SimTransfer, SuccessSetsTheTransferredCountAndRecordsTheCycle) {
  std::uint16_t value = 0x3007;
  std::size_t done = 0;
  ASSERT_EQ(bt_write(handle, &value, At(0x80), 2, &done), BT_SUCCESS);
  EXPECT_EQ(done, 2u);
  std::uint32_t word = 0x80000001;
  ASSERT_EQ(bt_write(handle, &word, At(0xB4), 4, &done), BT_SUCCESS);
  EXPECT_EQ(done, 4u);
  std::uint16_t back = 0;
  ASSERT_EQ(bt_read(handle, &back, At(0x80), 2, &done), BT_SUCCESS);
  EXPECT_EQ(done, 2u);
  EXPECT_EQ(back, 0x3007);
  ASSERT_EQ(bt_write(handle, &value, At(0x80), 2, nullptr), BT_SUCCESS) << "count word optional";

  const auto cycles = crate.Cycles();
  ASSERT_EQ(cycles.size(), 4u);
  const sim::BusCycle expected[] = {
      {true, sim::kTTCviBase + 0x80, 0x39, 16, 0x3007, 0},
      {true, sim::kTTCviBase + 0xB4, 0x39, 32, 0x80000001, 0},
      {false, sim::kTTCviBase + 0x80, 0x39, 16, 0x3007, 0},
  };
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(cycles[i].write, expected[i].write) << i;
    EXPECT_EQ(cycles[i].address, expected[i].address) << i;
    EXPECT_EQ(cycles[i].addressModifier, expected[i].addressModifier) << i;
    EXPECT_EQ(cycles[i].width, expected[i].width) << i;
    EXPECT_EQ(cycles[i].value, expected[i].value) << i;
    EXPECT_EQ(cycles[i].status, expected[i].status) << i;
  }
}

TEST_F(SimTransfer, ZeroBytesIsNoCycleAndNullBufferIsRefused) {
  std::size_t done = 5;
  EXPECT_EQ(bt_write(handle, nullptr, At(0x80), 0, &done), BT_SUCCESS);
  EXPECT_EQ(done, 0u);
  EXPECT_EQ(bt_write(handle, nullptr, At(0x80), 2, &done), sim::kStatusBadArgument);
  EXPECT_EQ(bt_read(handle, nullptr, At(0x80), 2, &done), sim::kStatusBadArgument);
  EXPECT_TRUE(crate.Cycles().empty());
}

TEST_F(SimTransfer, TheRingKeepsTheNewestCyclesAndCountsAll) {
  const std::size_t extra = 10;
  for (std::size_t i = 0; i < sim::kCycleRingCapacity + extra; ++i)
    ASSERT_EQ(Write16(0xC8, static_cast<std::uint16_t>(i)), BT_SUCCESS);
  const auto cycles = crate.Cycles();
  ASSERT_EQ(cycles.size(), sim::kCycleRingCapacity);
  EXPECT_EQ(cycles.front().value, extra) << "the oldest cycles were dropped";
  EXPECT_EQ(cycles.back().value, (sim::kCycleRingCapacity + extra - 1) & 0xFFFF);
  EXPECT_EQ(crate.TotalCycles(), sim::kCycleRingCapacity + extra);

  crate.ClearCycles();
  EXPECT_TRUE(crate.Cycles().empty());
  EXPECT_EQ(crate.TotalCycles(), 0u);
  ASSERT_EQ(Write16(0xC8, 1), BT_SUCCESS);
  EXPECT_EQ(crate.Cycles().size(), 1u);
  EXPECT_EQ(crate.TotalCycles(), 1u);
}

TEST_F(SimTransfer, AdapterResetLeavesTheModuleAlone) {
  ASSERT_EQ(Write16(0x80, 0x0008), BT_SUCCESS);
  ASSERT_EQ(bt_reset(handle), BT_SUCCESS);
  EXPECT_EQ(crate.AdapterResetCount(), 1u);
  EXPECT_EQ(Read16(0x80), 0x0008);
}

// ---- fault injection and error texts ----

class SimFaults : public SimTest {};

TEST_F(SimFaults, EachCallKindFailsOnceWithTheInjectedStatus) {
  struct Case {
    Call call;
    const char* name;
    std::function<bt_error_t(SimFaults&)> invoke;
  };
  const Case cases[] = {
      {Call::Open, "open",
       [](SimFaults&) {
         bt_desc_t h = 0;
         const bt_error_t s = bt_open(&h, sim::kDeviceName, 3);
         if (s == BT_SUCCESS) bt_close(h);
         return s;
       }},
      {Call::GetInfo, "get_info",
       [](SimFaults& t) {
         bt_devdata_t v = 0;
         return bt_get_info(t.handle, BT_INFO_PIO_AMOD, &v);
       }},
      {Call::SetInfo, "set_info",
       [](SimFaults& t) { return bt_set_info(t.handle, BT_INFO_PIO_AMOD, 0x39); }},
      {Call::Write, "write", [](SimFaults& t) { return t.Write16(0xC8, 0x1234); }},
      {Call::Read, "read",
       [](SimFaults& t) {
         std::uint16_t v = 0;
         std::size_t done = 0;
         return bt_read(t.handle, &v, At(0x82), 2, &done);
       }},
      {Call::Reset, "reset", [](SimFaults& t) { return bt_reset(t.handle); }},
      {Call::Close, "close",
       [](SimFaults& t) {
         const bt_error_t s = bt_close(t.handle);
         if (s == BT_SUCCESS) bt_open(&t.handle, sim::kDeviceName, 3);
         return s;
       }},
  };
  bt_error_t status = sim::kStatusInjected + 23;
  for (const Case& c : cases) {
    ++status;
    crate.FailNext(c.call, status);
    EXPECT_EQ(c.invoke(*this), status) << c.name;
    EXPECT_EQ(Describe(status), ": injected failure (status " + std::to_string(status) + ")")
        << c.name;
    EXPECT_EQ(c.invoke(*this), BT_SUCCESS) << c.name << ": the fault fires only once";
  }
}

TEST_F(SimFaults, InjectedWriteChangesNothingButIsRecorded) {
  crate.FailNext(Call::Write, sim::kStatusBusError);
  std::size_t done = 3;
  std::uint16_t value = 0x0008;
  EXPECT_EQ(bt_write(handle, &value, At(0x80), 2, &done), sim::kStatusBusError);
  EXPECT_EQ(done, 0u);
  EXPECT_EQ(crate.CSR1(), 0);
  EXPECT_EQ(crate.WriteCount(0x80), 0u);
  ASSERT_EQ(crate.Cycles().size(), 1u);
  EXPECT_EQ(crate.Cycles()[0].status, sim::kStatusBusError);
  EXPECT_TRUE(Contains(Describe(sim::kStatusBusError), "injected failure (status 1"));
}

TEST_F(SimFaults, InjectedReadLeavesTheBufferAlone) {
  crate.FailNext(Call::Read, 321);
  std::uint16_t value = 0xBEEF;
  std::size_t done = 0;
  EXPECT_EQ(bt_read(handle, &value, At(0x82), 2, &done), 321);
  EXPECT_EQ(value, 0xBEEF);
}

TEST_F(SimFaults, PowerUpAndStatusZeroCancelPendingFaults) {
  crate.FailNext(Call::Reset, 150);
  crate.FailNext(Call::Reset, 0);
  EXPECT_EQ(bt_reset(handle), BT_SUCCESS);
  crate.FailNext(Call::Open, 150);
  crate.PowerUp();
  EXPECT_EQ(bt_open(&handle, sim::kDeviceName, 3), BT_SUCCESS);
}

TEST_F(SimFaults, EveryStatusTheLibraryProducesHasAText) {
  for (bt_error_t status : {sim::kStatusBusError, sim::kStatusBadSize, sim::kStatusNotOpen,
                            sim::kStatusNoDevice, sim::kStatusBadParameter, sim::kStatusBadArgument,
                            sim::kStatusTooManyOpen, sim::kStatusAccessDenied}) {
    const std::string text = Describe(status);
    EXPECT_GT(text.size(), 10u) << status;
    EXPECT_NE(text, "(null)") << status;
  }
}

TEST_F(SimFaults, UnknownStatusesAndSuccessHaveNoText) {
  char buffer[64] = "untouched";
  EXPECT_EQ(bt_strerror(handle, 0, "", buffer, sizeof buffer), nullptr);
  EXPECT_EQ(bt_strerror(handle, 99, "", buffer, sizeof buffer), nullptr);
  EXPECT_EQ(bt_strerror(handle, sim::kStatusInjected + 500, "", buffer, sizeof buffer), nullptr)
      << "never injected";
  EXPECT_EQ(bt_strerror(handle, -4, "", buffer, sizeof buffer), nullptr);
  EXPECT_STREQ(buffer, "untouched");
}

TEST_F(SimFaults, StrerrorHonoursTheBufferSizeAndPrefix) {
  EXPECT_EQ(Write16(0x00, 1), sim::kStatusBusError);
  char full[256];
  ASSERT_NE(bt_strerror(handle, sim::kStatusBusError, "bus", full, sizeof full), nullptr);
  EXPECT_EQ(std::string(full).rfind("bus: VME bus error: no module answers at 0xFF1000", 0), 0u)
      << full;

  char small[12];
  std::memset(small, '#', sizeof small);
  ASSERT_EQ(bt_strerror(handle, sim::kStatusBusError, "bus", small, 8), small);
  EXPECT_EQ(std::strlen(small), 7u);
  EXPECT_EQ(std::string(small), std::string(full, 7));
  EXPECT_EQ(small[8], '#');

  EXPECT_EQ(bt_strerror(handle, sim::kStatusBusError, "", small, 0), nullptr);
  EXPECT_EQ(bt_strerror(handle, sim::kStatusBusError, "", nullptr, 10), nullptr);
  // The handle plays no part: after a failed open the caller passes whatever it holds.
  ASSERT_NE(bt_strerror(-99, sim::kStatusBusError, nullptr, full, sizeof full), nullptr);
  EXPECT_TRUE(Contains(full, "VME bus error"));
}

}  // namespace
