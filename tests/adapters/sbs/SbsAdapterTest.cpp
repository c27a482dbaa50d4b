// The sbs adapter through the real connection: the SBS/Bit3 Linux library
// (here our fake of it, a shared library with the vendor's C interface)
// loaded as the program loads it, and TVMEWinBit3 calling it through the
// adapter's mapping of descriptors, devices and parameters.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "adapters/AdapterTestSupport.h"
#include "crate/SelectAdapter.h"
#include "fake_sbs/FakeSbs.h"
#include "support/TempFolder.h"
#include "vme/TVMEWinBit3.h"

namespace {

using adapter_test::RaisedBy;
using fake_sbs::Call;
using fake_sbs::CallsOf;
using fake_sbs::State;

using namespace fake_sbs;  // the vendor's numbers

constexpr bt_devdata_t kA32Data = 0x09;      // what a fresh descriptor holds here
const std::string kA24Name = "/dev/btp160";  // minor number (5 << 5) + 0
// A refused open adds what the device file says; there is none here.
const std::string kNoDeviceFile =
    "; /dev/btp160 does not exist: load the SBS/Bit3 driver (btp) and create its device files";

// The adapter chosen as the program chooses it, with the fake's file.
void SelectSbs(const std::string& library = QUORVANE_FAKE_SBS) {
  crate::CrateSettings settings;
  settings.SbsLibrary = library;
  crate::SelectAdapter("sbs", settings);
}

class SbsAdapterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Fresh();
    SelectSbs();
  }
  void TearDown() override { fake_sbs::Reset(); }

  // A fresh library: nothing open, an empty log, the tests' texts.
  static void Fresh() {
    fake_sbs::Reset();
    State().parameters = {{kInfoDmaAmod, kA32Data}, {kInfoPioAmod, kA32Data}};
    State().texts = {{kENXIO, "no such device"},
                     {kEFAIL, "operation failed"},
                     {kEACCESS, "permission denied"},
                     {kEIO, "remote bus error"},
                     {kENOPWR, "remote power off or cable disconnected"}};
  }

  // An open connection, the opening calls dropped from the log.
  std::unique_ptr<TVMEWinBit3> Open() {
    auto connection = std::make_unique<TVMEWinBit3>(0, 2, -1);
    descriptor = CallsOf(Call::Open).at(0).descriptor;
    State().log.clear();
    return connection;
  }

  const void* descriptor = nullptr;  // what the connection opened

  adapter_test::TraceCapture trace;
};

TEST_F(SbsAdapterTest, StartUpOpensTheA24WindowAndSetsBothModifiersByTheirNames) {
  {
    TVMEWinBit3 connection(0, 2, -1);
    const auto& log = State().log;
    ASSERT_EQ(log.size(), 6u);

    EXPECT_EQ(log[0].call, Call::GenName);
    EXPECT_EQ(log[0].unit, 0);
    EXPECT_EQ(log[0].device, kDevA24);  // 5 in the Linux library; its 2 is A16
    EXPECT_EQ(log[0].size, TVMEWinBit3::kDeviceNameSize);
    EXPECT_EQ(connection.GetDeviceName(), kA24Name);

    EXPECT_EQ(log[1].call, Call::Open);
    EXPECT_EQ(log[1].text, kA24Name);
    EXPECT_EQ(log[1].flags, 3u);  // BT_RDWR
    descriptor = log[1].descriptor;
    ASSERT_NE(descriptor, nullptr);

    struct Expected {
      Call call;
      int parameter;
      bt_devdata_t value;
    };
    const Expected expected[] = {{Call::GetInfo, kInfoDmaAmod, kA32Data},
                                 {Call::SetInfo, kInfoDmaAmod, 0x39},
                                 {Call::GetInfo, kInfoPioAmod, kA32Data},
                                 {Call::SetInfo, kInfoPioAmod, 0x39}};
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
  State().parameters = {{kInfoDmaAmod, 0x39}, {kInfoPioAmod, 0x39}};
  TVMEWinBit3 connection(0, 2, -1);
  EXPECT_EQ(CallsOf(Call::GetInfo).size(), 2u);
  EXPECT_TRUE(CallsOf(Call::SetInfo).empty());
  EXPECT_TRUE(CallsOf(Call::StrError).empty());
}

TEST_F(SbsAdapterTest, LogicalDevicesAreNumberedAsTheWindowsLibraryNumbersThem) {
  struct Case {
    std::int32_t number;
    int device;
    const char* name;
  };
  const Case cases[] = {{0, kDevDP, "/dev/btp35"},   {1, kDevA16, "/dev/btp67"},
                        {2, kDevA24, "/dev/btp163"}, {3, kDevA32, "/dev/btp99"},
                        {4, kDevLM, "/dev/btp195"},  {5, kDevNIO, "/dev/btp3"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    State().log.clear();
    char name[20] = "stale";
    EXPECT_EQ(InstalledAdapterLibrary()->Calls.bt_gen_name(3, c.number, name, sizeof name), name);
    EXPECT_STREQ(name, c.name);
    const auto calls = CallsOf(Call::GenName);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].device, c.device);
    EXPECT_EQ(calls[0].unit, 3);
  }
}

TEST_F(SbsAdapterTest, UnknownLogicalDeviceOrUnnamedDeviceGivesAnEmptyNameThatOpenRefuses) {
  const std::string kNoName =
      "VME Error: could not open device : the library made no device name (unit or logical "
      "device out of its range)";
  for (std::int32_t number : {6, -1, 99}) {
    SCOPED_TRACE(number);
    fake_sbs::Reset();
    const auto raised = RaisedBy([&] { TVMEWinBit3 connection(0, number, -1); });
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->type, "EVMEOpen");
    EXPECT_EQ(raised->message, kNoName);
    EXPECT_TRUE(CallsOf(Call::Open).empty());
    EXPECT_TRUE(CallsOf(Call::GenName).empty());  // the vendor is not asked for it
    EXPECT_EQ(fake_sbs::OpenDescriptors(), 0u);
  }
  // A unit the vendor cannot name (it gives null) is refused the same way.
  fake_sbs::Reset();
  const auto raised = RaisedBy([&] { TVMEWinBit3 connection(16, 2, -1); });
  ASSERT_TRUE(raised);
  EXPECT_EQ(raised->message, kNoName);
  EXPECT_EQ(CallsOf(Call::GenName).size(), 1u);
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

TEST_F(SbsAdapterTest, FailedOpenDescribesTheStatusWithTheDescriptorItLeft) {
  fake_sbs::Queue(Call::Open, {kENXIO});
  EXPECT_TRUE(RaisedBy([] { TVMEWinBit3 connection(0, 2, -1); }));
  const auto texts = CallsOf(Call::StrError);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].descriptor, nullptr);
  EXPECT_EQ(texts[0].status, kENXIO);
}

TEST_F(SbsAdapterTest, DeviceFileHintBelongsToTheRefusedOpenOnly) {
  State().missing.insert(kA24Name);
  auto raised = RaisedBy([] { TVMEWinBit3 connection(0, 2, -1); });
  ASSERT_TRUE(raised);
  EXPECT_EQ(raised->message,
            "VME Error: could not open device /dev/btp160: operation failed" + kNoDeviceFile);
  State().missing.clear();
  auto connection = Open();
  fake_sbs::Queue(Call::Reset, {kEFAIL});  // the same status, from another call
  raised = RaisedBy([&] { connection->ResetAdapter(); });
  ASSERT_TRUE(raised);
  EXPECT_EQ(raised->message, "VME Errordevice /dev/btp160: operation failed");
}

TEST_F(SbsAdapterTest, ConnectionNamesTheSbsAdapterAndItsDevice) {
  auto connection = Open();
  const VMEConnectionDescription description = connection->Describe();
  EXPECT_EQ(description.Adapter, "SBS/Bit3 PCI-to-VME, libbtp.so");
  EXPECT_EQ(description.Device, kA24Name);
  EXPECT_FALSE(description.Simulated);
}

// The driver may move fewer bytes than asked and the library still report
// success: the register did not get (or give) the whole value.
TEST_F(SbsAdapterTest, ShortTransfersReportedAsSuccessAreErrors) {
  auto connection = Open();
  State().shortBy = 1;
  auto raised = RaisedBy([&] { connection->Write16(0xFF1080, 0x1234); });
  ASSERT_TRUE(raised);
  EXPECT_EQ(raised->type, "EVMEWrite");
  EXPECT_EQ(raised->message,
            "VME Error: write error device /dev/btp160: only 1 of 2 bytes were written although "
            "the adapter reported success");
  raised = RaisedBy([&] { connection->Read32(0xFF10B0); });
  ASSERT_TRUE(raised);
  EXPECT_EQ(raised->type, "EVMERead");
  EXPECT_EQ(raised->message,
            "VME Error: read error device /dev/btp160: only 3 of 4 bytes were read although the "
            "adapter reported success");
  EXPECT_FALSE(connection->IsBusy());
}

TEST_F(SbsAdapterTest, ZeroLengthTransfersAreRefusedAsTheLibraryRefusesThem) {
  State().texts[kEINVAL] = "invalid argument";
  auto connection = Open();
  const auto raised = RaisedBy([&] { connection->Write(0xFF1080, nullptr, 0); });
  ASSERT_TRUE(raised);
  EXPECT_EQ(raised->message, "VME Error: write error device /dev/btp160: invalid argument");
}

// Each library that cannot be used is one message naming the file and what
// to do; the adapter installed before stays installed.
TEST_F(SbsAdapterTest, UnusableLibrariesAreRefusedWithWhatToDo) {
  const TempFolder folder;
  const std::string text = folder.File("not-a-library.so");
  WriteRaw(text, "bt_open\n");
  // The start of a 32-bit library: a 64-bit program cannot load it.
  const std::string thirtyTwoBit = folder.File("libbtp-i386.so");
  {
    std::string header(64, '\0');
    header.replace(0, 7,
                   "\x7f"
                   "ELF\x01\x01\x01");
    WriteRaw(thirtyTwoBit, header);
  }
  struct Case {
    std::string file;
    std::vector<std::string> parts;
  };
  const Case cases[] = {
      {QUORVANE_FAKE_SBS_WITHOUT_RESET,
       {"has no function bt_reset: it is not the SBS/Bit3 library",
        "install the SBS/Bit3 Linux driver package (1003)", "sbs.library = <path>"}},
      {text, {"the SBS/Bit3 library \"" + text + "\" cannot be loaded", "sbs.library"}},
      {thirtyTwoBit, {"\"" + thirtyTwoBit + "\" cannot be loaded", "wrong ELF class: ELFCLASS32"}},
      {"/nonexistent/libbtp.so",
       {"\"/nonexistent/libbtp.so\" cannot be loaded", "No such file or directory"}},
  };
  const auto before = InstalledAdapterLibrary();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const auto raised = RaisedBy([&] { SelectSbs(c.file); });
    ASSERT_TRUE(raised);
    for (const std::string& part : c.parts)
      EXPECT_NE(raised->message.find(part), std::string::npos) << raised->message;
    EXPECT_EQ(InstalledAdapterLibrary(), before);
  }
}

}  // namespace
