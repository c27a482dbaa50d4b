#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "FailingAllocation.h"
#include "ScriptedBit3.h"
#include "vme/TDebug.h"
#include "vme/TVMEWinBit3.h"
#include "vme/VMEErrors.h"

namespace {

using scripted::Bit3;
using scripted::Call;
using scripted::CallsOf;
using Bytes = std::vector<std::uint8_t>;

constexpr bt_error_t kRefused = 5;
const std::string kName = "bt0_a24";
const std::string kParallel = "TVMEWinBit3::Write: parallel accesss";

// The most derived error class, by name, so table rows read plainly.
std::string ClassOf(const Exception& e) {
  if (dynamic_cast<const EVMEOpen*>(&e)) return "EVMEOpen";
  if (dynamic_cast<const EVMEWrite*>(&e)) return "EVMEWrite";
  if (dynamic_cast<const EVMERead*>(&e)) return "EVMERead";
  if (dynamic_cast<const EVME*>(&e)) return "EVME";
  if (dynamic_cast<const TException*>(&e)) return "TException";
  return "Exception";
}

struct Raised {
  std::string type;
  std::string message;
};

std::optional<Raised> RaisedBy(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return Raised{ClassOf(e), e.Message()};
  }
  return std::nullopt;
}

// Every test starts from a fresh script and catches the program log's output.
class Bit3Test : public ::testing::Test {
 protected:
  void SetUp() override {
    scripted::ResetBit3();
    Bit3().errorTexts[kRefused] = "bus timeout";
    SavedOut = DebugLog.Out;
    SavedThreshold = DebugLog.Threshold;
    DebugLog.Out = &Trace;
  }
  void TearDown() override {
    DebugLog.Out = SavedOut;
    DebugLog.Threshold = SavedThreshold;
    scripted::ResetBit3();
  }

  // An open connection; the opening calls are dropped from the log.
  std::unique_ptr<TVMEWinBit3> Open(std::int32_t maxTransfer = -1) {
    auto connection = std::make_unique<TVMEWinBit3>(0, 2, maxTransfer);
    Bit3().log.clear();
    return connection;
  }

  std::ostringstream Trace;
  std::ostream* SavedOut = nullptr;
  int SavedThreshold = 0;
};

// ---- Opening ----

TEST_F(Bit3Test, OpeningGeneratesNameOpensAndSetsBothAddressModifiers) {
  TVMEWinBit3 connection(0, 2, -1);
  const auto& log = Bit3().log;
  ASSERT_EQ(log.size(), 6u);

  EXPECT_EQ(log[0].call, Call::GenName);
  EXPECT_EQ(log[0].unit, 0);
  EXPECT_EQ(log[0].device, 2);
  EXPECT_EQ(log[0].size, TVMEWinBit3::kDeviceNameSize);
  EXPECT_EQ(log[0].buffer, connection.GetDeviceName());  // the connection's own name buffer
  EXPECT_EQ(connection.GetDeviceName(), kName);

  EXPECT_EQ(log[1].call, Call::Open);
  EXPECT_EQ(log[1].buffer, connection.GetDeviceName());  // the pointer bt_gen_name returned
  EXPECT_EQ(log[1].flags, 3);

  const std::pair<Call, bt_info_t> expected[] = {
      {Call::GetInfo, 6}, {Call::SetInfo, 6}, {Call::GetInfo, 13}, {Call::SetInfo, 13}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(log[2 + i].call, expected[i].first) << i;
    EXPECT_EQ(log[2 + i].parameter, expected[i].second) << i;
    EXPECT_EQ(log[2 + i].handle, 7) << i;
  }
  EXPECT_EQ(log[3].value, 0x39u);
  EXPECT_EQ(log[5].value, 0x39u);
  EXPECT_FALSE(connection.IsBusy());
}

TEST_F(Bit3Test, UnitAndDeviceTypeArePassedToNameGeneration) {
  TVMEWinBit3 connection(3, 5, -1);
  const auto names = CallsOf(Call::GenName);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].unit, 3);
  EXPECT_EQ(names[0].device, 5);
}

TEST_F(Bit3Test, ParameterAlreadyA24NonPrivilegedDataIsNotSet) {
  struct Case {
    bt_devdata_t dma, pio;
    std::vector<bt_info_t> setCalls;
  };
  const Case cases[] = {
      {0x39, 0x39, {}},
      {0x09, 0x39, {6}},
      {0x39, 0x3D, {13}},
      {0x00, 0x3D, {6, 13}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.dma << " " << c.pio);
    scripted::ResetBit3();
    Bit3().parameters = {{6, c.dma}, {13, c.pio}};
    { TVMEWinBit3 connection(0, 2, -1); }
    std::vector<bt_info_t> setCalls;
    for (const auto& call : CallsOf(Call::SetInfo)) {
      setCalls.push_back(call.parameter);
      EXPECT_EQ(call.value, 0x39u);
    }
    EXPECT_EQ(setCalls, c.setCalls);
    EXPECT_EQ(CallsOf(Call::GetInfo).size(), 2u);
  }
}

TEST_F(Bit3Test, OpeningIsTracedAtLevelOne) {
  DebugLog.Threshold = 1;
  { TVMEWinBit3 connection(0, 2, -1); }
  EXPECT_EQ(Trace.str(), ".........Opened vme device bt0_a24\n");
}

TEST_F(Bit3Test, LargestTransferOfZeroOrNegativeIsRefusedBeforeTheAdapterIsTouched) {
  for (std::int32_t maxTransfer : {0, -2, -100, INT32_MIN}) {
    SCOPED_TRACE(maxTransfer);
    scripted::ResetBit3();
    const auto raised = RaisedBy([&] { TVMEWinBit3 connection(0, 2, maxTransfer); });
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->type, "TException");
    EXPECT_EQ(raised->message,
              "TVMEWinBit3: largest transfer must be -1 (no limit) or at least 1 byte");
    EXPECT_TRUE(Bit3().log.empty());
  }
  for (std::int32_t maxTransfer : {-1, 1, INT32_MAX}) {
    SCOPED_TRACE(maxTransfer);
    EXPECT_FALSE(RaisedBy([&] { TVMEWinBit3 connection(0, 2, maxTransfer); }));
  }
}

TEST_F(Bit3Test, HandleIsClosedWhenParameterSetupFails) {
  struct Case {
    const char* label;
    Call call;
    std::initializer_list<bt_error_t> statuses;
  };
  const Case cases[] = {
      {"get 6", Call::GetInfo, {kRefused}},
      {"set 6", Call::SetInfo, {kRefused}},
      {"get 13", Call::GetInfo, {0, kRefused}},
      {"set 13", Call::SetInfo, {0, kRefused}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    scripted::ResetBit3();
    scripted::QueueStatus(c.call, c.statuses);
    EXPECT_THROW(TVMEWinBit3(0, 2, -1), EVME);
    const auto& log = Bit3().log;
    ASSERT_GE(log.size(), 2u);
    // The error text is fetched while the handle is still open, then it is closed.
    EXPECT_EQ(log[log.size() - 2].call, Call::StrError);
    EXPECT_EQ(log.back().call, Call::Close);
    EXPECT_EQ(log.back().handle, 7);
    EXPECT_EQ(Bit3().openHandles, 0);
  }
}

TEST_F(Bit3Test, FailedOpenClosesNothing) {
  scripted::QueueStatus(Call::Open, {kRefused});
  EXPECT_THROW(TVMEWinBit3(0, 2, -1), EVMEOpen);
  EXPECT_TRUE(CallsOf(Call::Close).empty());
  EXPECT_TRUE(CallsOf(Call::GetInfo).empty());
}

// ---- Every failure and its full message ----

struct FailureRow {
  const char* label;
  Call call;
  std::initializer_list<bt_error_t> statuses;
  bool duringOpening;
  std::function<void(TVMEWinBit3&)> action;
  const char* type;
  std::string messageHead;  // the adapter text follows directly
};

const FailureRow kFailures[] = {
    {"open refused",
     Call::Open,
     {kRefused},
     true,
     nullptr,
     "EVMEOpen",
     "VME Error: could not open device bt0_a24"},
    {"get parameter 6",
     Call::GetInfo,
     {kRefused},
     true,
     nullptr,
     "EVME",
     "VME Errordevice bt0_a24"},
    {"set parameter 6",
     Call::SetInfo,
     {kRefused},
     true,
     nullptr,
     "EVME",
     "VME Errordevice bt0_a24"},
    {"get parameter 13",
     Call::GetInfo,
     {0, kRefused},
     true,
     nullptr,
     "EVME",
     "VME Errordevice bt0_a24"},
    {"set parameter 13",
     Call::SetInfo,
     {0, kRefused},
     true,
     nullptr,
     "EVME",
     "VME Errordevice bt0_a24"},
    {"reset refused",
     Call::Reset,
     {kRefused},
     false,
     [](TVMEWinBit3& c) { c.ResetAdapter(); },
     "EVME",
     "VME Errordevice bt0_a24"},
    {"write refused",
     Call::Write,
     {kRefused},
     false,
     [](TVMEWinBit3& c) { c.Write16(0xFF1080, 1); },
     "EVMEWrite",
     "VME Error: write error device bt0_a24"},
    {"read refused",
     Call::Read,
     {kRefused},
     false,
     [](TVMEWinBit3& c) { c.Read16(0xFF1080); },
     "EVMERead",
     "VME Error: read error device bt0_a24"},
    {"32-bit write refused",
     Call::Write,
     {kRefused},
     false,
     [](TVMEWinBit3& c) { c.Write32(0xFF10B0, 1); },
     "EVMEWrite",
     "VME Error: write error device bt0_a24"},
    {"32-bit read refused",
     Call::Read,
     {kRefused},
     false,
     [](TVMEWinBit3& c) { c.Read32(0xFF10B0); },
     "EVMERead",
     "VME Error: read error device bt0_a24"},
};

TEST_F(Bit3Test, EveryRefusalRaisesItsClassWithTheFullMessage) {
  for (bool textless : {false, true}) {
    for (const FailureRow& row : kFailures) {
      SCOPED_TRACE(std::string(row.label) + (textless ? ", no adapter text" : ""));
      scripted::ResetBit3();
      Bit3().errorTexts[kRefused] = "bus timeout";
      Bit3().strerrorReturnsNull = textless;
      Bit3().parameters = {{6, 0}, {13, 0}};  // both get set

      std::unique_ptr<TVMEWinBit3> connection;
      if (!row.duringOpening) connection = Open();
      scripted::QueueStatus(row.call, row.statuses);
      const auto raised = RaisedBy([&] {
        if (row.duringOpening)
          TVMEWinBit3(0, 2, -1);
        else
          row.action(*connection);
      });
      ASSERT_TRUE(raised);
      EXPECT_EQ(raised->type, row.type);
      EXPECT_EQ(raised->message,
                row.messageHead + (textless ? "error description anavailable" : "bus timeout"));

      // The adapter was asked about the failing status with an empty prefix
      // and the connection's 256-character buffer.
      const auto texts = CallsOf(Call::StrError);
      ASSERT_EQ(texts.size(), 1u);
      EXPECT_EQ(texts[0].status, kRefused);
      EXPECT_EQ(texts[0].text, "");
      EXPECT_EQ(texts[0].size, 256u);

      if (row.duringOpening) {
        EXPECT_EQ(Bit3().openHandles, 0);
        continue;
      }
      EXPECT_EQ(texts[0].handle, 7);
      // The connection stays usable.
      EXPECT_FALSE(connection->IsBusy());
      connection->Write16(0xFF1084, 0xBEEF);
      ASSERT_FALSE(CallsOf(Call::Write).empty());
      EXPECT_EQ(CallsOf(Call::Write).back().status, 0);
      EXPECT_EQ(CallsOf(Call::Write).back().bytes, (Bytes{0xEF, 0xBE}));
    }
  }
}

TEST_F(Bit3Test, UnallocatableWriteBufferRaisesEVMEAndWritesNothing) {
  auto connection = Open();
  allocation::FailNext(2 + 8);
  const auto raised = RaisedBy([&] { connection->Write16(0xFF1080, 0x1234); });
  ASSERT_TRUE(raised);
  EXPECT_EQ(raised->type, "EVME");
  EXPECT_EQ(raised->message, "VME Errordevice bt0_a24Could not allocate buffer");
  EXPECT_TRUE(CallsOf(Call::Write).empty());
  EXPECT_FALSE(connection->IsBusy());
  connection->Write16(0xFF1080, 0x1234);
  EXPECT_EQ(CallsOf(Call::Write).size(), 1u);
}

TEST_F(Bit3Test, RefusedCloseIsTracedNotThrown) {
  DebugLog.Threshold = 1;
  {
    auto connection = Open();
    Trace.str("");
    scripted::QueueStatus(Call::Close, {kRefused});
  }  // must not throw or terminate
  EXPECT_EQ(Trace.str(), ".........VME Errordevice bt0_a24bus timeout\n");
  const auto closes = CallsOf(Call::Close);
  ASSERT_EQ(closes.size(), 1u);
  EXPECT_EQ(closes[0].handle, 7);
}

TEST_F(Bit3Test, DestroyingThroughTheInterfaceClosesTheAdapter) {
  std::unique_ptr<TVMEInterface> connection = Open();
  connection.reset();
  ASSERT_EQ(CallsOf(Call::Close).size(), 1u);
  EXPECT_EQ(Bit3().openHandles, 0);
}

TEST_F(Bit3Test, ResetAdapterResetsThroughTheHandle) {
  auto connection = Open();
  connection->ResetAdapter();
  ASSERT_EQ(Bit3().log.size(), 1u);
  EXPECT_EQ(Bit3().log[0].call, Call::Reset);
  EXPECT_EQ(Bit3().log[0].handle, 7);
}

// ---- Transfers ----

TEST_F(Bit3Test, FixedWidthAccessesPassHostBytesLittleEndian) {
  if constexpr (std::endian::native != std::endian::little) GTEST_SKIP() << "little-endian host";
  auto connection = Open();
  connection->Write16(0xFF1080, 0x1234);
  connection->Write32(0xFF10B0, 0x12345678);
  const auto writes = CallsOf(Call::Write);
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0].address, 0xFF1080u);
  EXPECT_EQ(writes[0].count, 2u);
  EXPECT_EQ(writes[0].bytes, (Bytes{0x34, 0x12}));
  EXPECT_EQ(writes[1].address, 0xFF10B0u);
  EXPECT_EQ(writes[1].count, 4u);
  EXPECT_EQ(writes[1].bytes, (Bytes{0x78, 0x56, 0x34, 0x12}));

  Bit3().memory = {{0xFF1082, 0xCD}, {0xFF1083, 0xAB}, {0xFF10C0, 0x78},
                   {0xFF10C1, 0x56}, {0xFF10C2, 0x34}, {0xFF10C3, 0x12}};
  EXPECT_EQ(connection->Read16(0xFF1082), 0xABCD);
  EXPECT_EQ(connection->Read32(0xFF10C0), 0x12345678u);
  const auto reads = CallsOf(Call::Read);
  ASSERT_EQ(reads.size(), 2u);
  EXPECT_EQ(reads[0].count, 2u);
  EXPECT_EQ(reads[1].count, 4u);
}

TEST_F(Bit3Test, EveryCallUsesTheOpenedHandle) {
  Bit3().openHandle = 42;
  {
    TVMEWinBit3 connection(0, 2, -1);
    connection.Write16(1, 1);
    connection.Read16(1);
    connection.ResetAdapter();
  }
  for (const auto& record : Bit3().log) {
    if (record.call != Call::GenName && record.call != Call::StrError) {
      EXPECT_EQ(record.handle, 42) << static_cast<int>(record.call);
    }
  }
}

// A connection whose Write and Read are overridden: the fixed-width and
// split accesses must reach them through virtual dispatch.
class SpyConnection : public TVMEWinBit3 {
 public:
  using TVMEWinBit3::TVMEWinBit3;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> Writes, Reads;  // address, count
  void Write(std::uint32_t address, const void* data, std::uint32_t count) override {
    Writes.emplace_back(address, count);
    TVMEWinBit3::Write(address, data, count);
  }
  void Read(std::uint32_t address, void* data, std::uint32_t count) override {
    Reads.emplace_back(address, count);
    TVMEWinBit3::Read(address, data, count);
  }
};

TEST_F(Bit3Test, FixedWidthAndSplitAccessesGoThroughVirtualWriteAndRead) {
  SpyConnection spy(0, 2, 2);
  spy.Write16(0x10, 1);
  spy.Write32(0x20, 1);
  spy.Read16(0x30);
  spy.Read32(0x40);
  using Pieces = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
  EXPECT_EQ(spy.Writes, (Pieces{{0x10, 2}, {0x20, 4}, {0x20, 2}, {0x22, 2}}));
  EXPECT_EQ(spy.Reads, (Pieces{{0x30, 2}, {0x40, 4}, {0x40, 2}, {0x42, 2}}));
}

struct SplitCase {
  std::int32_t maxTransfer;
  std::uint32_t count;
  std::vector<std::pair<std::uint32_t, std::size_t>> pieces;  // offset, count
};

const SplitCase kSplits[] = {
    {-1, 4, {{0, 4}}},
    {-1, 1000, {{0, 1000}}},
    {2, 4, {{0, 2}, {2, 2}}},
    {3, 8, {{0, 3}, {3, 3}, {6, 2}}},
    {4, 4, {{0, 4}}},
    {5, 4, {{0, 4}}},
    {1, 3, {{0, 1}, {1, 1}, {2, 1}}},
};

TEST_F(Bit3Test, WritesAreSplitByTheLargestTransfer) {
  for (const SplitCase& c : kSplits) {
    SCOPED_TRACE(testing::Message() << "max " << c.maxTransfer << " count " << c.count);
    scripted::ResetBit3();
    auto connection = Open(c.maxTransfer);
    Bytes data(c.count);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7 + 1);
    connection->Write(0xA000, data.data(), c.count);

    const auto writes = CallsOf(Call::Write);
    ASSERT_EQ(writes.size(), c.pieces.size());
    for (std::size_t i = 0; i < writes.size(); ++i) {
      const auto [offset, count] = c.pieces[i];
      EXPECT_EQ(writes[i].address, 0xA000 + offset) << i;
      EXPECT_EQ(writes[i].count, count) << i;
      EXPECT_EQ(writes[i].bytes, Bytes(data.begin() + offset, data.begin() + offset + count)) << i;
    }
  }
}

TEST_F(Bit3Test, ReadsAreSplitAndGoStraightIntoTheCallersBuffer) {
  for (const SplitCase& c : kSplits) {
    SCOPED_TRACE(testing::Message() << "max " << c.maxTransfer << " count " << c.count);
    scripted::ResetBit3();
    for (std::uint32_t i = 0; i < c.count; ++i)
      Bit3().memory[0xB000 + i] = static_cast<std::uint8_t>(0x80 + i);
    auto connection = Open(c.maxTransfer);
    Bytes data(c.count);
    connection->Read(0xB000, data.data(), c.count);

    const auto reads = CallsOf(Call::Read);
    ASSERT_EQ(reads.size(), c.pieces.size());
    for (std::size_t i = 0; i < reads.size(); ++i) {
      const auto [offset, count] = c.pieces[i];
      EXPECT_EQ(reads[i].address, 0xB000 + offset) << i;
      EXPECT_EQ(reads[i].count, count) << i;
      EXPECT_EQ(reads[i].buffer, data.data() + offset) << i;
    }
    for (std::uint32_t i = 0; i < c.count; ++i)
      EXPECT_EQ(data[i], static_cast<std::uint8_t>(0x80 + i)) << i;
  }
}

TEST_F(Bit3Test, LaterPieceFailureKeepsEarlierPiecesAndFreesTheGuard) {
  auto connection = Open(2);
  scripted::QueueStatus(Call::Write, {0, kRefused});
  const Bytes data{1, 2, 3, 4, 5, 6};
  EXPECT_THROW(connection->Write(0x100, data.data(), 6), EVMEWrite);
  const auto writes = CallsOf(Call::Write);
  ASSERT_EQ(writes.size(), 2u);  // the third piece is never tried
  EXPECT_EQ(Bit3().memory.size(), 2u);
  EXPECT_EQ(Bit3().memory[0x100], 1);
  EXPECT_FALSE(connection->IsBusy());
}

TEST_F(Bit3Test, WriteCopyIsEightByteAlignedStrictlyInsideAFreshBlock) {
  auto connection = Open();
  alignas(8) std::uint8_t source[24];
  for (std::size_t i = 0; i < sizeof source; ++i) source[i] = static_cast<std::uint8_t>(0xA0 + i);
  for (std::uint32_t misalign = 0; misalign < 8; ++misalign) {
    for (std::uint32_t count : {1u, 2u, 4u, 13u}) {
      SCOPED_TRACE(testing::Message() << "misalign " << misalign << " count " << count);
      Bit3().log.clear();
      connection->Write(0x200, source + misalign, count);
      const auto writes = CallsOf(Call::Write);
      ASSERT_EQ(writes.size(), 1u);
      const auto buffer = reinterpret_cast<std::uintptr_t>(writes[0].buffer);
      EXPECT_EQ(buffer % 8, 0u);
      EXPECT_NE(writes[0].buffer, source + misalign);
      EXPECT_EQ(writes[0].bytes, Bytes(source + misalign, source + misalign + count));

      const auto block = allocation::Last();
      const auto start = reinterpret_cast<std::uintptr_t>(block.start);
      EXPECT_EQ(block.size, count + 8u);
      EXPECT_EQ(buffer, start + (8 - start % 8));
    }
  }
}

TEST_F(Bit3Test, ZeroCountCallsTheLibraryWithZeroBytesAndTracesOnlyTheRequest) {
  DebugLog.Threshold = 1;
  auto connection = Open();
  Trace.str("");
  connection->Write(0x1080, nullptr, 0);
  std::uint8_t unused = 0;
  connection->Read(0x1080, &unused, 0);
  ASSERT_EQ(Bit3().log.size(), 2u);
  EXPECT_EQ(Bit3().log[0].call, Call::Write);
  EXPECT_EQ(Bit3().log[0].count, 0u);
  EXPECT_EQ(Bit3().log[1].call, Call::Read);
  EXPECT_EQ(Bit3().log[1].count, 0u);
  EXPECT_EQ(Trace.str(), ".........VMEWrite: address=1080 count=0.........\n");
}

// A library may call a transfer cut short a success: the register did not
// get, or give, the whole value.
TEST_F(Bit3Test, ShortTransferCountWithSuccessIsAnError) {
  auto connection = Open();
  Bit3().shortTransfer = true;
  EXPECT_THROW(connection->Write32(0x10, 5), EVMEWrite);
  EXPECT_THROW(connection->Read32(0x10), EVMERead);
  EXPECT_FALSE(connection->IsBusy());
}

// ---- Overlapping use ----

TEST_F(Bit3Test, TransferStartedDuringAnotherIsRefusedAndTheFirstCompletes) {
  struct Case {
    const char* label;
    bool outerIsWrite;
    std::function<void(TVMEWinBit3&)> nested;
  };
  const Case cases[] = {
      {"write in write", true, [](TVMEWinBit3& c) { c.Write16(0x2000, 9); }},
      {"read in write", true, [](TVMEWinBit3& c) { c.Read16(0x2000); }},
      {"write in read", false, [](TVMEWinBit3& c) { c.Write32(0x2000, 9); }},
      {"read in read", false, [](TVMEWinBit3& c) { c.Read32(0x2000); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    scripted::ResetBit3();
    auto connection = Open();
    std::optional<Raised> nested;
    bool busyInside = false, busyAfterRefusal = false;
    auto inside = [&] {
      busyInside = connection->IsBusy();
      nested = RaisedBy([&] { c.nested(*connection); });
      busyAfterRefusal = connection->IsBusy();
    };
    (c.outerIsWrite ? Bit3().onWrite : Bit3().onRead) = inside;
    if (c.outerIsWrite)
      connection->Write16(0x1000, 1);
    else
      connection->Read16(0x1000);

    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->type, "TException");
    EXPECT_EQ(nested->message, kParallel);
    EXPECT_TRUE(busyInside);
    EXPECT_TRUE(busyAfterRefusal);  // the refusal leaves the running transfer's flag alone
    EXPECT_FALSE(connection->IsBusy());
    ASSERT_EQ(Bit3().log.size(), 1u);  // only the outer transfer reached the library
    EXPECT_EQ(Bit3().log[0].address, 0x1000u);

    (c.outerIsWrite ? Bit3().onWrite : Bit3().onRead) = nullptr;
    EXPECT_NO_THROW(connection->Write16(0x1002, 2));
  }
}

// ---- Trace ----

TEST_F(Bit3Test, WriteTracesRequestAndValueLines) {
  DebugLog.Threshold = 1;
  auto connection = Open();
  Trace.str("");
  connection->Write16(0x1080, 0x2A);
  EXPECT_EQ(Trace.str(),
            ".........VMEWrite: address=1080 count=2.........\n"
            ".........   write: adr=1080 val=2a.........\n");
}

TEST_F(Bit3Test, ValueLinesFollowTheCountRule) {
  if constexpr (std::endian::native != std::endian::little) GTEST_SKIP() << "little-endian host";
  struct Case {
    Bytes data;
    std::string lines;  // the read lines; write lines carry the other prefix
  };
  const Case cases[] = {
      {{0xAB}, "   read: adr=ff1080 val=ab.........\n"},
      {{0x34, 0x12}, "   read: adr=ff1080 val=1234.........\n"},
      {{0x78, 0x56, 0x34, 0x12}, "   read: adr=ff1080 val=12345678.........\n"},
      {{1, 0, 0, 0, 0xEF, 0xBE, 0xAD, 0xDE},
       "   read: adr=ff1080 val=1.........\n"
       "   read: adr=ff1084 val=deadbeef.........\n"},
      // A short final group shows only the bytes that exist.
      {{1, 0, 0, 0, 0x22, 0x11},
       "   read: adr=ff1080 val=1.........\n"
       "   read: adr=ff1084 val=1122.........\n"},
  };
  DebugLog.Threshold = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data.size());
    scripted::ResetBit3();
    for (std::size_t i = 0; i < c.data.size(); ++i) Bit3().memory[0xFF1080 + i] = c.data[i];
    auto connection = Open();
    // Heap buffers of the exact size: reading past them is caught by the sanitizer build.
    auto readBuffer = std::make_unique<std::uint8_t[]>(c.data.size());
    auto writeBuffer = std::make_unique<std::uint8_t[]>(c.data.size());
    std::copy(c.data.begin(), c.data.end(), writeBuffer.get());
    const auto count = static_cast<std::uint32_t>(c.data.size());

    std::string expectedRead, expectedWrite;
    std::istringstream lines(c.lines);
    for (std::string line; std::getline(lines, line);) {
      expectedRead += "........." + line + "\n";
      expectedWrite += "........." + ("   write:" + line.substr(8)) + "\n";
    }
    Trace.str("");
    connection->Read(0xFF1080, readBuffer.get(), count);
    EXPECT_EQ(Trace.str(), expectedRead);  // a read has no request line
    Trace.str("");
    connection->Write(0xFF1080, writeBuffer.get(), count);
    EXPECT_EQ(Trace.str(), ".........VMEWrite: address=ff1080 count=" + std::to_string(count) +
                               ".........\n" + expectedWrite);
  }
}

TEST_F(Bit3Test, SplitPiecesTraceTheirOwnLinesAndFailedReadTracesNothing) {
  DebugLog.Threshold = 1;
  auto connection = Open(2);
  Trace.str("");
  const Bytes data{0x01, 0x02, 0x03, 0x04};
  connection->Write(0x10, data.data(), 4);
  EXPECT_EQ(Trace.str(),
            ".........VMEWrite: address=10 count=2.........\n"
            ".........   write: adr=10 val=201.........\n"
            ".........VMEWrite: address=12 count=2.........\n"
            ".........   write: adr=12 val=403.........\n");
  Trace.str("");
  scripted::QueueStatus(Call::Read, {kRefused});
  EXPECT_THROW(connection->Read16(0x10), EVMERead);
  EXPECT_EQ(Trace.str(), "");
}

TEST_F(Bit3Test, DefaultLogWritesNothingDuringACompleteRun) {
  {
    auto connection = std::make_unique<TVMEWinBit3>(0, 2, 2);
    connection->Write32(0xFF1080, 0x12345678);
    connection->Read32(0xFF1080);
    connection->ResetAdapter();
    scripted::QueueStatus(Call::Write, {kRefused});
    EXPECT_THROW(connection->Write16(0xFF1080, 1), EVMEWrite);
    scripted::QueueStatus(Call::Close, {kRefused});
  }
  EXPECT_GT(Bit3().log.size(), 8u);
  EXPECT_EQ(Trace.str(), "");
}

}  // namespace
