// The sbs adapter through the real connection: TVMEWinBit3 compiled against
// the SBS/Bit3 Linux library's declarations (here our fake of them) and
// linked with the adapter's logical device mapping.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FakeSbs.h"
#include "adapters/AdapterTestSupport.h"
#include "vme/TVMEWinBit3.h"

namespace {

using adapter_test::RaisedBy;
using fake_sbs::Call;
using fake_sbs::CallsOf;
using fake_sbs::State;

constexpr bt_devdata_t kA32Data = 0x09;  // what a fresh descriptor holds here
const std::string kA24Name = "/dev/btp5";

class SbsAdapterTest : public ::testing::Test {
 protected:
  void SetUp() override { Fresh(); }
  void TearDown() override { fake_sbs::Reset(); }

  // A fresh library: nothing open, an empty log, the tests' texts.
  static void Fresh() {
    fake_sbs::Reset();
    State().parameters = {{BT_INFO_DMA_AMOD, kA32Data}, {BT_INFO_PIO_AMOD, kA32Data}};
    State().texts = {{BT_ENXIO, "no such device"},
                     {BT_EACCESS, "permission denied"},
                     {BT_EIO, "remote bus error"},
                     {BT_ENOPWR, "remote power off or cable disconnected"}};
  }

  // An open connection, the opening calls dropped from the log.
  std::unique_ptr<TVMEWinBit3> Open() {
    auto connection = std::make_unique<TVMEWinBit3>(0, 2, -1);
    descriptor = CallsOf(Call::Open).at(0).descriptor;
    State().log.clear();
    return connection;
  }

  bt_desc_t descriptor = nullptr;  // what the connection opened

  adapter_test::TraceCapture trace;
};

TEST_F(SbsAdapterTest, StartUpOpensTheA24WindowAndSetsBothModifiersByTheirNames) {
  {
    TVMEWinBit3 connection(0, 2, -1);
    const auto& log = State().log;
    ASSERT_EQ(log.size(), 6u);

    EXPECT_EQ(log[0].call, Call::GenName);
    EXPECT_EQ(log[0].unit, 0);
    EXPECT_EQ(log[0].device, BT_DEV_A24);  // 5 in the Linux library; its 2 is A16
    EXPECT_EQ(log[0].size, 20u);
    EXPECT_EQ(connection.GetDeviceName(), kA24Name);

    EXPECT_EQ(log[1].call, Call::Open);
    EXPECT_EQ(log[1].text, kA24Name);
    EXPECT_EQ(log[1].flags, static_cast<bt_accessflag_t>(BT_RDWR));
    descriptor = log[1].descriptor;
    ASSERT_NE(descriptor, nullptr);

    struct Expected {
      Call call;
      bt_info_t parameter;
      bt_devdata_t value;
    };
    const Expected expected[] = {{Call::GetInfo, BT_INFO_DMA_AMOD, kA32Data},
                                 {Call::SetInfo, BT_INFO_DMA_AMOD, 0x39},
                                 {Call::GetInfo, BT_INFO_PIO_AMOD, kA32Data},
                                 {Call::SetInfo, BT_INFO_PIO_AMOD, 0x39}};
    for (std::size_t i = 0; i < 4; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(log[2 + i].call, expected[i].call);
      EXPECT_EQ(log[2 + i].parameter, expected[i].parameter);
      EXPECT_EQ(log[2 + i].value, expected[i].value);
      EXPECT_EQ(log[2 + i].descriptor, descriptor);  // the vendor's descriptor is the handle
    }
    EXPECT_EQ(fake_sbs::OpenDescriptors(), 1u);
    State().log.clear();
  }
  const auto closes = CallsOf(Call::Close);
  ASSERT_EQ(closes.size(), 1u);
  EXPECT_EQ(closes[0].descriptor, descriptor);
  EXPECT_EQ(fake_sbs::OpenDescriptors(), 0u);
}

TEST_F(SbsAdapterTest, ModifiersAlreadyA24NonPrivilegedDataAreLeftAlone) {
  State().parameters = {{BT_INFO_DMA_AMOD, 0x39}, {BT_INFO_PIO_AMOD, 0x39}};
  TVMEWinBit3 connection(0, 2, -1);
  EXPECT_EQ(CallsOf(Call::GetInfo).size(), 2u);
  EXPECT_TRUE(CallsOf(Call::SetInfo).empty());
  EXPECT_TRUE(CallsOf(Call::StrError).empty());
}

TEST_F(SbsAdapterTest, LogicalDevicesAreNumberedAsTheWindowsLibraryNumbersThem) {
  struct Case {
    std::int32_t number;
    bt_dev_t device;
  };
  const Case cases[] = {{0, BT_DEV_DP},  {1, BT_DEV_A16}, {2, BT_DEV_A24},
                        {3, BT_DEV_A32}, {4, BT_DEV_LM},  {5, BT_DEV_NIO}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    State().log.clear();
    char name[20] = "stale";
    EXPECT_EQ(bt_gen_name(3, c.number, name, sizeof name), name);
    EXPECT_EQ(std::string(name), fake_sbs::DeviceName(3, c.device));
    const auto calls = CallsOf(Call::GenName);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].device, c.device);
    EXPECT_EQ(calls[0].unit, 3);
  }
}

TEST_F(SbsAdapterTest, UnknownLogicalDeviceOrUnnamedDeviceGivesAnEmptyNameThatOpenRefuses) {
  for (std::int32_t number : {6, -1, 99}) {
    SCOPED_TRACE(number);
    fake_sbs::Reset();
    State().texts = {{BT_ENXIO, "no such device"}};
    const auto raised = RaisedBy([&] { TVMEWinBit3 connection(0, number, -1); });
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->type, "EVMEOpen");
    EXPECT_EQ(raised->message, "VME Error: could not open device : no such device");
    EXPECT_TRUE(CallsOf(Call::GenName).empty());  // the vendor is not asked for it
    EXPECT_EQ(fake_sbs::OpenDescriptors(), 0u);
  }
  // A unit the vendor cannot name (it gives null) is refused the same way.
  fake_sbs::Reset();
  State().texts = {{BT_ENXIO, "no such device"}};
  const auto raised = RaisedBy([&] { TVMEWinBit3 connection(-1, 2, -1); });
  ASSERT_TRUE(raised);
  EXPECT_EQ(raised->message, "VME Error: could not open device : no such device");
}

TEST_F(SbsAdapterTest, WritesAndReadsAreSingleTransfersOfTheHostBytes) {
  auto connection = Open();

  connection->Write16(0xFF1080, 0x1234);
  connection->Write32(0xFF10B0, 0xCAFEF00D);
  const auto writes = CallsOf(Call::Write);
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0].address, 0xFF1080u);
  EXPECT_EQ(writes[0].count, 2u);
  EXPECT_EQ(writes[0].bytes, (std::vector<std::uint8_t>{0x34, 0x12}));
  EXPECT_EQ(writes[1].address, 0xFF10B0u);
  EXPECT_EQ(writes[1].count, 4u);
  EXPECT_EQ(writes[1].bytes, (std::vector<std::uint8_t>{0x0D, 0xF0, 0xFE, 0xCA}));
  EXPECT_EQ(writes[0].descriptor, descriptor);
  EXPECT_EQ(writes[1].descriptor, descriptor);

  State().memory[0xFF1082] = 0xA5;
  State().memory[0xFF1083] = 0x5A;
  EXPECT_EQ(connection->Read16(0xFF1082), 0x5AA5);
  EXPECT_EQ(connection->Read32(0xFF10B0), 0xCAFEF00Du);
  const auto reads = CallsOf(Call::Read);
  ASSERT_EQ(reads.size(), 2u);
  EXPECT_EQ(reads[0].address, 0xFF1082u);
  EXPECT_EQ(reads[0].count, 2u);
  EXPECT_EQ(reads[1].count, 4u);
  EXPECT_EQ(reads[0].descriptor, descriptor);
  EXPECT_TRUE(CallsOf(Call::StrError).empty());
}

// Every refused call, and the message the operator reads: TVMEWinBit3's
// words around the vendor's bt_strerror text, unchanged.
TEST_F(SbsAdapterTest, RefusedCallsRaiseTheConnectionsErrorsWithTheVendorsText) {
  struct Case {
    const char* label;
    Call refused;
    std::initializer_list<bt_error_t> statuses;
    void (*action)(TVMEWinBit3&);  // null: the failure is in opening
    const char* type;
    const char* message;
  };
  const Case cases[] = {
      {"open",
       Call::Open,
       {BT_ENXIO},
       nullptr,
       "EVMEOpen",
       "VME Error: could not open device /dev/btp5: no such device"},
      {"get DMA modifier",
       Call::GetInfo,
       {BT_EACCESS},
       nullptr,
       "EVME",
       "VME Errordevice /dev/btp5: permission denied"},
      {"set DMA modifier",
       Call::SetInfo,
       {BT_EACCESS},
       nullptr,
       "EVME",
       "VME Errordevice /dev/btp5: permission denied"},
      {"get PIO modifier",
       Call::GetInfo,
       {BT_SUCCESS, BT_ENOPWR},
       nullptr,
       "EVME",
       "VME Errordevice /dev/btp5: remote power off or cable disconnected"},
      {"set PIO modifier",
       Call::SetInfo,
       {BT_SUCCESS, BT_EACCESS},
       nullptr,
       "EVME",
       "VME Errordevice /dev/btp5: permission denied"},
      {"write",
       Call::Write,
       {BT_EIO},
       [](TVMEWinBit3& c) { c.Write16(0xFF1080, 1); },
       "EVMEWrite",
       "VME Error: write error device /dev/btp5: remote bus error"},
      {"read",
       Call::Read,
       {BT_EIO},
       [](TVMEWinBit3& c) { c.Read16(0xFF1080); },
       "EVMERead",
       "VME Error: read error device /dev/btp5: remote bus error"},
      {"reset",
       Call::Reset,
       {BT_ENOPWR},
       [](TVMEWinBit3& c) { c.ResetAdapter(); },
       "EVME",
       "VME Errordevice /dev/btp5: remote power off or cable disconnected"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Fresh();
    fake_sbs::Queue(c.refused, c.statuses);
    std::unique_ptr<TVMEWinBit3> connection;
    auto raised = RaisedBy([&] {
      connection = std::make_unique<TVMEWinBit3>(0, 2, -1);
      if (c.action != nullptr) c.action(*connection);
    });
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->type, c.type);
    EXPECT_EQ(raised->message, c.message);

    const auto texts = CallsOf(Call::StrError);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "");    // no prefix of ours
    EXPECT_EQ(texts[0].size, 256u);  // the connection's text buffer
    if (c.action == nullptr) {
      EXPECT_FALSE(connection);
      EXPECT_EQ(fake_sbs::OpenDescriptors(), 0u);  // a half-opened connection is closed
      continue;
    }
    // The connection stays usable: the next access goes through.
    EXPECT_FALSE(connection->IsBusy());
    EXPECT_FALSE(RaisedBy([&] { connection->Write16(0xFF1080, 2); }));
  }
}

TEST_F(SbsAdapterTest, FailedOpenDescribesTheStatusWithTheDescriptorItLeft) {
  fake_sbs::Queue(Call::Open, {BT_ENXIO});
  EXPECT_TRUE(RaisedBy([] { TVMEWinBit3 connection(0, 2, -1); }));
  const auto texts = CallsOf(Call::StrError);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].descriptor, nullptr);
  EXPECT_EQ(texts[0].status, BT_ENXIO);
}

TEST_F(SbsAdapterTest, RefusedCloseIsTracedWithTheVendorsText) {
  DebugLog.Threshold = 1;
  {
    auto connection = Open();
    fake_sbs::Queue(Call::Close, {BT_EIO});
  }
  EXPECT_NE(trace.Text().find("VME Errordevice /dev/btp5: remote bus error"), std::string::npos)
      << trace.Text();
  EXPECT_EQ(CallsOf(Call::Close).size(), 1u);
}

TEST_F(SbsAdapterTest, MissingVendorTextReadsAsUnavailable) {
  State().strerrorGivesNull = true;
  auto connection = Open();
  fake_sbs::Queue(Call::Write, {BT_EIO});
  const auto raised = RaisedBy([&] { connection->Write32(0xFF1080, 1); });
  ASSERT_TRUE(raised);
  EXPECT_EQ(raised->message,
            "VME Error: write error device /dev/btp5error description anavailable");
}

TEST_F(SbsAdapterTest, ConnectionNamesTheSbsAdapterAndItsDevice) {
  auto connection = Open();
  const VMEConnectionDescription description = connection->Describe();
  EXPECT_EQ(description.Adapter, "SBS/Bit3 PCI-to-VME");
  EXPECT_EQ(description.Device, kA24Name);
  EXPECT_FALSE(description.Simulated);
}

}  // namespace
