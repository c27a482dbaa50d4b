// The caen adapter through the real connection: TVMEWinBit3 on the nine
// calls realised over the CAEN VME library (here our fake of it, a shared
// library with the vendor's C interface, loaded as the program loads it),
// chosen and configured by this test's own per-user crate settings file.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "UserSettings.h"
#include "adapters/AdapterTestSupport.h"
#include "crate/SelectAdapter.h"
#include "fake_caen/FakeCaen.h"
#include "vme/Bit3Api.h"
#include "vme/TVMEWinBit3.h"

namespace {

using adapter_test::RaisedBy;
using fake_caen::Call;
using fake_caen::CallsOf;
using fake_caen::State;

class CaenAdapterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_caen::Reset();
    Select("bridge = V2718\nlink = 1\nnode = 2\n");
  }

  // The caen adapter chosen by the crate settings file, as the program
  // chooses it; bridge: the file's bridge lines.
  void Select(const std::string& bridge) {
    settings.Write("adapter = caen\ncaen.library = " QUORVANE_FAKE_CAEN "\n" + bridge);
    crate::SelectAdapter("");
    State().log.clear();  // the release asked for
  }
  void TearDown() override { fake_caen::Reset(); }

  // An open connection, the opening calls dropped from the log.
  std::unique_ptr<TVMEWinBit3> Open() {
    auto connection = std::make_unique<TVMEWinBit3>(0, 2, -1);
    State().log.clear();
    return connection;
  }

  static std::string Text(CVErrorCodes code) { return fake_caen::Decoded(code); }

  UserSettings settings;
  adapter_test::TraceCapture trace;
};

TEST_F(CaenAdapterTest, StartUpInitialisesTheBridgeOfTheSettingsFileAndNothingElse) {
  State().nextHandle = 0;  // the library's first handle is 0: a real handle
  {
    TVMEWinBit3 connection(0, 2, -1);
    ASSERT_EQ(State().log.size(), 1u);
    const auto& init = State().log[0];
    EXPECT_EQ(init.call, Call::Init);
    EXPECT_EQ(init.board, cvV2718);
    EXPECT_EQ(init.link, 1u);
    EXPECT_EQ(init.node, 2);
    EXPECT_EQ(std::string(connection.GetDeviceName()), "caen-v2718-1-2");
    EXPECT_EQ(fake_caen::OpenHandles(), 1u);

    const VMEConnectionDescription description = connection.Describe();
    EXPECT_EQ(description.Adapter, "CAEN V2718, CAENVMELib 3.4.4");
    EXPECT_EQ(description.Device, "caen-v2718-1-2");
    EXPECT_FALSE(description.Simulated);
    State().log.clear();
  }
  const auto ends = CallsOf(Call::End);
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_EQ(ends[0].handle, 0);
  EXPECT_EQ(fake_caen::OpenHandles(), 0u);
}

TEST_F(CaenAdapterTest, EachBridgeOpensWithItsBoardTypeAndLink) {
  struct Case {
    const char* settings;
    CVBoardTypes board;
    std::uint32_t link;
    const char* host;
    short node;
    const char* device;
    const char* adapter;
  };
  const Case cases[] = {
      {"bridge=V1718\nlink=1", cvV1718, 1, "", 0, "caen-v1718-1-0", "CAEN V1718"},
      {"bridge=V2718\nlink=3\nnode=7", cvV2718, 3, "", 7, "caen-v2718-3-7", "CAEN V2718"},
      {"bridge=V2718-A4818\nlink=21456", cvUSB_A4818_V2718, 21456, "", 0, "caen-v2718-21456-0",
       "CAEN V2718-A4818"},
      {"bridge=V3718", cvUSB_V3718, 0, "", 0, "caen-v3718-0-0", "CAEN V3718"},
      {"bridge=V3718-A2818", cvPCI_A2818_V3718, 0, "", 0, "caen-v3718-0-0", "CAEN V3718-A2818"},
      {"bridge=V3718-A3818\nnode=1", cvPCIE_A3818_V3718, 0, "", 1, "caen-v3718-0-1",
       "CAEN V3718-A3818"},
      {"bridge=V3718-A4818", cvUSB_A4818_V3718, 0, "", 0, "caen-v3718-0-0", "CAEN V3718-A4818"},
      {"bridge=V4718\nlink=5", cvUSB_V4718, 5, "", 0, "caen-v4718-5-0", "CAEN V4718"},
      {"bridge=V4718-ETH\nhost=10.1.2.3", cvETH_V4718, 0, "10.1.2.3", 0, "caen-v4718-10.1.2.3",
       "CAEN V4718-ETH"},
      // The library takes only a dotted address; a name and its address are one
      // device, so one module has one lock whichever was written.
      {"bridge=V4718-ETH\nhost=localhost", cvETH_V4718, 0, "127.0.0.1", 0, "caen-v4718-127.0.0.1",
       "CAEN V4718-ETH"},
      {"bridge=V4718-ETH\nhost=192.168.100.200", cvETH_V4718, 0, "192.168.100.200", 0,
       "caen-v4718-192.168.100.200", "CAEN V4718-ETH"},
      {"bridge=V4718-A2818", cvPCI_A2818_V4718, 0, "", 0, "caen-v4718-0-0", "CAEN V4718-A2818"},
      {"bridge=V4718-A3818", cvPCIE_A3818_V4718, 0, "", 0, "caen-v4718-0-0", "CAEN V4718-A3818"},
      {"bridge=V4718-A4818", cvUSB_A4818_V4718, 0, "", 0, "caen-v4718-0-0", "CAEN V4718-A4818"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    fake_caen::Reset();
    Select(c.settings);
    TVMEWinBit3 connection(0, 2, -1);
    const auto inits = CallsOf(Call::Init);
    ASSERT_EQ(inits.size(), 1u);
    EXPECT_EQ(inits[0].board, c.board);
    EXPECT_EQ(inits[0].link, c.link);
    EXPECT_EQ(inits[0].host, c.host);
    EXPECT_EQ(inits[0].node, c.node);
    EXPECT_EQ(std::string(connection.GetDeviceName()), c.device);
    EXPECT_EQ(connection.Describe().Adapter, c.adapter + std::string(", CAENVMELib 3.4.4"));
  }
}

TEST_F(CaenAdapterTest, HostWithoutAnIPv4AddressIsRefusedBeforeTheBridgeIsTouched) {
  Select("bridge = V4718-ETH\nhost = no such host");
  const auto raised = RaisedBy([] { TVMEWinBit3 connection(0, 2, -1); });
  ASSERT_TRUE(raised);
  EXPECT_EQ(raised->message.rfind("VME Error: could not open device caen-v4718-no such host: host "
                                  "\"no such host\" has no IPv4 address (",
                                  0),
            0u)
      << raised->message;
  EXPECT_TRUE(CallsOf(Call::Init).empty());
}

// The library's table of texts stops at the timeout (-5); the statuses
// after it get texts of their own rather than "Unknown error".
TEST_F(CaenAdapterTest, StatusesTheLibraryCannotDescribeHaveTextsOfTheirOwn) {
  struct Case {
    CVErrorCodes status;
    const char* text;
  };
  const Case cases[] = {
      {cvAlreadyOpenError, "the bridge is already open (by another program, or twice by this one)"},
      {cvMaxBoardCountError, "the library has as many bridges open as it can"},
      {cvNotSupported, "the bridge does not support this function"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    fake_caen::Queue(Call::Init, {c.status});
    const auto raised = RaisedBy([] { TVMEWinBit3 connection(0, 2, -1); });
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->message,
              std::string("VME Error: could not open device caen-v2718-1-2: ") + c.text);
  }
}

TEST_F(CaenAdapterTest, AccessesAreSingleA24NonPrivilegedCyclesOfTheirWidth) {
  auto connection = Open();
  const std::int32_t handle = 0;

  connection->Write16(0xFF1080, 0x1234);
  connection->Write32(0xFF10B0, 0xCAFEF00D);
  State().registers[0xFF1082] = 0x5AA5;
  EXPECT_EQ(connection->Read16(0xFF1082), 0x5AA5);
  EXPECT_EQ(connection->Read32(0xFF10B0), 0xCAFEF00Du);

  struct Expected {
    Call call;
    std::uint32_t address;
    std::uint32_t data;
    CVDataWidth width;
  };
  const Expected expected[] = {{Call::Write, 0xFF1080, 0x1234, cvD16},
                               {Call::Write, 0xFF10B0, 0xCAFEF00D, cvD32},
                               {Call::Read, 0xFF1082, 0x5AA5, cvD16},
                               {Call::Read, 0xFF10B0, 0xCAFEF00D, cvD32}};
  const auto& log = State().log;
  ASSERT_EQ(log.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(log[i].call, expected[i].call);
    EXPECT_EQ(log[i].handle, handle);
    EXPECT_EQ(log[i].address, expected[i].address);
    EXPECT_EQ(log[i].data, expected[i].data);
    EXPECT_EQ(log[i].modifier, cvA24_U_DATA);
    EXPECT_EQ(log[i].width, expected[i].width);
  }
}

// Releases with known faults for the chosen bridge, and releases too old,
// are refused when the adapter is chosen, before any bridge is touched. A
// release text that cannot be read is a library with CAENVME_Init2, so 3.3
// or later: accepted with a warning.
TEST_F(CaenAdapterTest, ReleasesWithKnownFaultsForTheBridgeAreRefusedAtStart) {
  struct Case {
    const char* release;  // null: CAENVME_SWRelease fails
    const char* bridge;
    const char* message;  // empty: accepted
    bool warns;
  };
  const Case cases[] = {
      {"3.2.9", "bridge = V2718", " is older than 3.3: install CAENVMELib 3.3 or later from CAEN",
       false},
      {"3.3.7", "bridge = V4718-A3818",
       " makes faulty D16 cycles on the V4718, and every register of the TTCvi is written with "
       "D16: install CAENVMELib 3.3.8 or later",
       false},
      {"3.3.8", "bridge = V4718-A3818", "", false},
      {"3.3.7", "bridge = V2718-A4818",
       " has a regression with the A4818 that 3.3.8 fixes: install CAENVMELib 3.3.8 or later",
       false},
      {"3.3.6", "bridge = V3718-A4818", "", false},
      {"3.3.9", "bridge = V2718-A4818\nlink = 40000",
       " cannot open a bridge by a PID above 32767 (link = 40000): install CAENVMELib 3.4.0 or "
       "later",
       false},
      {"3.3.9", "bridge = V2718-A4818\nlink = 32767", "", false},
      {"3.4.0", "bridge = V4718\nlink = 40000", "", false},
      {"v3.4.4", "bridge = V4718", "", true},
      {"CAENVMELib", "bridge = V2718", "", true},
      {"", "bridge = V2718", "", true},
      {nullptr, "bridge = V2718-A4818\nlink = 40000", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.release ? c.release : "(refused)") + " " + c.bridge);
    fake_caen::Reset();
    State().release = c.release ? c.release : "";
    State().releaseFails = c.release == nullptr;
    std::ostringstream warnings;
    std::streambuf* const saved = std::cerr.rdbuf(warnings.rdbuf());
    const auto raised = RaisedBy([&] { Select(c.bridge); });
    std::cerr.rdbuf(saved);
    EXPECT_EQ(warnings.str().rfind(
                  "warning: the release of " QUORVANE_FAKE_CAEN " cannot be read (", 0) == 0,
              c.warns)
        << warnings.str();
    if (*c.message == '\0') {
      EXPECT_FALSE(raised) << raised->message;
      continue;
    }
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->message,
              std::string(QUORVANE_FAKE_CAEN) + " (CAENVMELib " + c.release + ")" + c.message);
    EXPECT_TRUE(CallsOf(Call::Init).empty());
  }
}

// Another vendor's library named as the CAEN one is called what it is.
TEST_F(CaenAdapterTest, ALibraryWithoutCaenFunctionsIsNotCalledTooOld) {
  const auto raised = RaisedBy([this] {
    settings.Write("adapter = caen\nbridge = V2718\ncaen.library = " QUORVANE_FAKE_SBS "\n");
    crate::SelectAdapter("");
  });
  ASSERT_TRUE(raised);
  EXPECT_EQ(raised->message, QUORVANE_FAKE_SBS
            " is not the CAEN VME library (it has no CAENVME_ functions): install "
            "CAENVMELib 3.3 or later from CAEN, or name its file with "
            "\"caen.library = <path>\" in the crate settings file");
}

TEST_F(CaenAdapterTest, OnlyUnitZeroLogicalDeviceTwoNamesTheBridge) {
  const auto raised = RaisedBy([] { TVMEWinBit3 connection(0, 3, -1); });
  ASSERT_TRUE(raised);
  EXPECT_EQ(raised->message,
            "VME Error: could not open device caen-unit0-dev3: no CAEN device "
            "is named \"caen-unit0-dev3\"; the crate settings describe caen-v2718-1-2 (unit 0, "
            "logical device 2: the A24 window)");
  EXPECT_TRUE(RaisedBy([] { TVMEWinBit3 connection(1, 2, -1); }));
  EXPECT_TRUE(CallsOf(Call::Init).empty());
}

TEST_F(CaenAdapterTest, AccessesNoSingleCycleCanMakeAreRefusedWithoutACycle) {
  auto connection = Open();
  const std::uint8_t bytes[8] = {};
  std::uint8_t buffer[8] = {};
  struct Case {
    const char* label;
    std::function<void()> action;
    const char* message;
  };
  TVMEWinBit3& c = *connection;
  const Case cases[] = {
      {"3 bytes", [&] { c.Write(0xFF1080, bytes, 3); },
       "VME Error: write error device caen-v2718-1-2: a single cycle moves 2 bytes (D16) or 4 "
       "(D32), not 3"},
      {"8 bytes", [&] { c.Read(0xFF1080, buffer, 8); },
       "VME Error: read error device caen-v2718-1-2: a single cycle moves 2 bytes (D16) or 4 "
       "(D32), not 8"},
      {"above A24", [&] { c.Write16(0x1FF1080, 1); },
       "VME Error: write error device caen-v2718-1-2: address 0x1ff1080 is outside the A24 "
       "space"},
      {"across the top", [&] { c.Read32(0xFFFFFE); },
       "VME Error: read error device caen-v2718-1-2: address 0xfffffe is outside the A24 space"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.label);
    const auto raised = RaisedBy(k.action);
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->message, k.message);
  }
  EXPECT_TRUE(State().log.empty());
  EXPECT_FALSE(RaisedBy([&] { c.Write32(0xFFFFFC, 1); }));  // the last 4 bytes of A24
}

TEST_F(CaenAdapterTest, ModifierParametersHoldA24NonPrivilegedDataAndAcceptNothingElse) {
  auto connection = Open();
  const bt_desc_t handle = 0;
  const Bit3Calls& calls = InstalledAdapterLibrary()->Calls;
  auto text = [&](bt_error_t status) {
    char buffer[256];
    const char* made = calls.bt_strerror(handle, status, "", buffer, sizeof buffer);
    return made != nullptr ? std::string(made) : std::string("(null)");
  };
  for (bt_info_t parameter : {BT_INFO_DMA_AMOD, BT_INFO_PIO_AMOD}) {
    SCOPED_TRACE(parameter);
    bt_devdata_t value = 0;
    EXPECT_EQ(calls.bt_get_info(handle, parameter, &value), BT_SUCCESS);
    EXPECT_EQ(value, 0x39u);
    EXPECT_EQ(calls.bt_set_info(handle, parameter, 0x39), BT_SUCCESS);
    const bt_error_t refused = calls.bt_set_info(handle, parameter, 0x3D);
    EXPECT_NE(refused, BT_SUCCESS);
    EXPECT_EQ(text(refused),
              ": address modifier 0x3d is not offered: every cycle is A24 non-privileged data "
              "(0x39)");
  }
  bt_devdata_t value = 0;
  const bt_error_t unknown = calls.bt_get_info(handle, 7, &value);
  EXPECT_NE(unknown, BT_SUCCESS);
  EXPECT_EQ(text(unknown), ": parameter 7 is not offered (6 and 13, the address modifiers, are)");
  EXPECT_NE(calls.bt_set_info(handle, 11, 0x39), BT_SUCCESS);
  EXPECT_TRUE(State().log.empty());  // the library has no such parameters to ask
}

}  // namespace
