// The ring, the causes, the logging connection and the formats of the bus log.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "buslog/BusCause.h"
#include "buslog/BusLog.h"
#include "buslog/BusLogFormat.h"
#include "buslog/LoggingVME.h"
#include "support/RecordingVME.h"
#include "support/TempFolder.h"
#include "vme/VMEErrors.h"

namespace {

std::string CauseOf(const BusLogEntry& entry) { return entry.Cause ? *entry.Cause : "(none)"; }

TEST(BusLogRing, KeepsTheNewestEntriesAndNeverGrows) {
  struct Case {
    std::size_t capacity;
    std::size_t added;
  };
  for (const Case c :
       {Case{1, 3}, Case{5, 12}, Case{5, 5}, Case{BusLog::kDefaultCapacity, 25003}}) {
    SCOPED_TRACE(c.capacity);
    BusLog log(c.capacity);
    for (std::size_t i = 0; i < c.added; ++i)
      log.Add(BusAccess::Write, static_cast<std::uint32_t>(i), 2, 0);
    EXPECT_EQ(log.Capacity(), c.capacity);
    EXPECT_EQ(log.Size(), std::min(c.capacity, c.added));
    EXPECT_EQ(log.Total(), c.added);
    const std::vector<BusLogEntry> kept = log.Entries();
    ASSERT_EQ(kept.size(), log.Size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
      const std::size_t sequence = c.added - kept.size() + i;
      EXPECT_EQ(kept[i].Sequence, sequence);
      EXPECT_EQ(kept[i].Address, sequence);  // each slot holds its own access
    }
    if (log.First() > 0) {
      EXPECT_EQ(log.Find(log.First() - 1), nullptr);  // dropped
    }
    EXPECT_EQ(log.Find(log.Total()), nullptr);  // not yet there
  }
}

TEST(BusLogRing, AZeroCapacityStillKeepsTheNewest) {
  BusLog log(0);
  log.Add(BusAccess::Write, 1, 2, 0);
  log.Add(BusAccess::Write, 2, 2, 0);
  ASSERT_EQ(log.Entries().size(), 1u);
  EXPECT_EQ(log.Entries()[0].Address, 2u);
}

TEST(BusLogRing, AnErrorTextStaysWithItsEntryOnly) {
  BusLog log(2);
  log.Add(BusAccess::Write, 1, 2, 5, "VME Error: write error device x: bus error");
  log.Add(BusAccess::Write, 2, 2, 6);
  log.Add(BusAccess::Write, 3, 2, 7);  // reuses the failed entry's slot
  const std::vector<BusLogEntry> kept = log.Entries();
  for (const BusLogEntry& entry : kept) {
    EXPECT_FALSE(entry.Failed);
    EXPECT_TRUE(entry.Error.empty());
  }
}

TEST(BusCauses, TheOutermostCauseCoversNestedHandlersUntilItCloses) {
  BusLog log;
  log.Add(BusAccess::Read, 0, 2, 0);
  {
    const BusCauseScope outer([] { return std::string("Tab B-Go 1"); });
    log.Add(BusAccess::Write, 1, 2, 0);
    {
      bool asked = false;
      const BusCauseScope inner([&] {
        asked = true;
        return std::string("B-Go 1 Retransmit on");
      });
      EXPECT_FALSE(asked);  // a cause is open: the inner one is not even described
      log.Add(BusAccess::Write, 2, 2, 0);
    }
    log.Add(BusAccess::Write, 3, 2, 0);
  }
  {
    const BusCauseScope none([] { return std::string(); });  // an empty text opens none
    log.Add(BusAccess::Write, 4, 2, 0);
  }
  try {
    const BusCauseScope failing([] { return std::string("Apply inhibits"); });
    log.Add(BusAccess::Write, 5, 2, 0);
    throw std::runtime_error("handler failed");
  } catch (const std::runtime_error&) {
  }
  log.Add(BusAccess::Write, 6, 2, 0);

  std::vector<std::string> causes;
  for (const BusLogEntry& entry : log.Entries()) causes.push_back(CauseOf(entry));
  EXPECT_EQ(causes, (std::vector<std::string>{"(none)", "Tab B-Go 1", "Tab B-Go 1", "Tab B-Go 1",
                                              "(none)", "Apply inhibits", "(none)"}));
}

TEST(BusLogReader, IsToldOncePerBatchAndBeforeAnUnreadEntryIsLost) {
  BusLog log(3);
  int arrived = 0;
  std::vector<std::uint32_t> read;
  auto readAll = [&] {
    for (std::uint64_t s = log.ReadUpTo(); s < log.Total(); ++s)
      read.push_back(log.Find(s)->Address);
    log.MarkRead(log.Total());
  };
  log.SetReader([&] { ++arrived; }, readAll);

  log.Add(BusAccess::Write, 1, 2, 0);
  log.Add(BusAccess::Write, 2, 2, 0);
  EXPECT_EQ(arrived, 1);  // one batch so far
  readAll();
  log.Add(BusAccess::Write, 3, 2, 0);
  EXPECT_EQ(arrived, 2);
  // A burst beyond the ring: the reader reads before anything unread goes.
  for (std::uint32_t a = 4; a <= 9; ++a) log.Add(BusAccess::Write, a, 2, 0);
  readAll();
  EXPECT_EQ(read, (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

class Logging : public ::testing::Test {
 protected:
  Logging() {
    auto recorder = std::make_unique<RecordingVME>();
    Recorder = recorder.get();
    Connection = std::make_unique<LoggingVME>(std::move(recorder), Log);
  }
  BusLog Log;
  RecordingVME* Recorder = nullptr;
  std::unique_ptr<LoggingVME> Connection;
};

TEST_F(Logging, EveryAccessGoesThroughAndIsLoggedAsItWas) {
  Recorder->SetReadValue(0xFF1080, 0x5008);
  Recorder->SetReadValue(0xFF10B0, 0x800A03C8);
  const std::uint8_t block[3] = {0x11, 0x22, 0x33};
  std::uint8_t arrived[2] = {};
  {
    const BusCauseScope cause([] { return std::string("READ CSR1"); });
    Connection->Write16(0xFF1082, 0xF200);
    Connection->Write32(0xFF10B8, 0x15000000);
    EXPECT_EQ(Connection->Read16(0xFF1080), 0x5008);
    EXPECT_EQ(Connection->Read32(0xFF10B0), 0x800A03C8u);
    Connection->Write(0xFF10C0, block, 3);
    Connection->Read(0xFF1080, arrived, 2);
    Connection->ResetAdapter();
  }
  EXPECT_EQ(Recorder->Log, (std::vector<RecordingVME::Access>{W16(0xFF1082, 0xF200),
                                                              W32(0xFF10B8, 0x15000000),
                                                              R16(0xFF1080, 0x5008),
                                                              {'R', 0xFF10B0, 32, 0x800A03C8},
                                                              {'W', 0xFF10C0, 24, 0x332211},
                                                              R16(0xFF1080, 0x5008),
                                                              {'X', 0, 0, 0}}));

  struct Expected {
    BusAccess access;
    std::uint32_t address, bytes, value;
  };
  const Expected expected[] = {{BusAccess::Write, 0xFF1082, 2, 0xF200},
                               {BusAccess::Write, 0xFF10B8, 4, 0x15000000},
                               {BusAccess::Read, 0xFF1080, 2, 0x5008},
                               {BusAccess::Read, 0xFF10B0, 4, 0x800A03C8},
                               {BusAccess::Write, 0xFF10C0, 3, 0x332211},
                               {BusAccess::Read, 0xFF1080, 2, 0x5008},
                               {BusAccess::Reset, 0, 0, 0}};
  const std::vector<BusLogEntry> entries = Log.Entries();
  ASSERT_EQ(entries.size(), std::size(expected));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(entries[i].Access, expected[i].access);
    EXPECT_EQ(entries[i].Address, expected[i].address);
    EXPECT_EQ(entries[i].Bytes, expected[i].bytes);
    EXPECT_EQ(entries[i].Value, expected[i].value);
    EXPECT_FALSE(entries[i].Failed);
    EXPECT_EQ(CauseOf(entries[i]), "READ CSR1");
  }
  EXPECT_LE(entries.front().Time, entries.back().Time);
}

TEST_F(Logging, AFailedAccessIsLoggedWithItsMessageAndTheErrorGoesOn) {
  Recorder->FailAccess(0);
  EXPECT_THROW(Connection->Write16(0xFF1080, 0x0008), EVMEWrite);
  Recorder->FailAccess(0);
  EXPECT_THROW(Connection->Read16(0xFF1082), EVMERead);
  Connection->Write16(0xFF1080, 0x0009);  // the connection stays usable

  const std::vector<BusLogEntry> entries = Log.Entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_TRUE(entries[0].Failed);
  EXPECT_EQ(entries[0].Value, 0x0008u);  // what was to be written
  EXPECT_EQ(entries[0].Error, "VME Error: write error device recordingInjected write failure");
  EXPECT_TRUE(entries[1].Failed);
  EXPECT_EQ(entries[1].Value, 0u);  // nothing arrived
  EXPECT_EQ(entries[1].Error, "VME Error: read error device recordingInjected read failure");
  EXPECT_FALSE(entries[2].Failed);
}

TEST_F(Logging, DescribesTheWrappedConnection) {
  const VMEConnectionDescription described = Connection->Describe();
  EXPECT_EQ(described.Adapter, "Test connection");
  EXPECT_FALSE(described.Simulated);
  EXPECT_EQ(&Connection->Wrapped(), Recorder);
}

// Names two registers of a module at 0xFF1000, as the panel's map does.
std::string Namer(std::uint32_t address) {
  if (address == 0xFF1080) return "CSR1 (0x80)";
  if (address == 0xFF10B8) return "B-Go 2 FIFO (0xB8)";
  return {};
}

std::vector<BusLogEntry> SampleEntries() {
  BusLog log;
  log.Add(BusAccess::Write, 0xFF1080, 2, 0x0008);
  {
    const BusCauseScope cause([] { return std::string("Apply preset 'A, \"B\"'"); });
    log.Add(BusAccess::Write, 0xFF10B8, 4, 0x15000000);
    log.Add(BusAccess::Read, 0xFF1090, 2, 0, "VME Error: read error device simbt0/a24: bus error");
  }
  return log.Entries();
}

TEST(BusLogFormats, FieldsSayWhatWasSentToWhichRegisterAndWhy) {
  const std::vector<BusLogEntry> entries = SampleEntries();
  const BusLogFields write = FormatBusLogEntry(entries[0], Namer);
  EXPECT_EQ(write[0], "1");
  EXPECT_EQ(write[1].size(), std::string("2026-05-04 13:02:11.125043").size()) << write[1];
  EXPECT_EQ(
      (BusLogFields{"", "", write[2], write[3], write[4], write[5], write[6], write[7], write[8]}),
      (BusLogFields{"", "", "write", "CSR1 (0x80)", "0xFF1080", "16", "0x0008", "OK", ""}));
  const BusLogFields fifo = FormatBusLogEntry(entries[1], Namer);
  EXPECT_EQ(fifo[3], "B-Go 2 FIFO (0xB8)");
  EXPECT_EQ(fifo[5], "32");
  EXPECT_EQ(fifo[6], "0x15000000");
  EXPECT_EQ(fifo[8], "Apply preset 'A, \"B\"'");
  const BusLogFields failed = FormatBusLogEntry(entries[2], Namer);
  EXPECT_EQ(failed[3], "");  // no name known
  EXPECT_EQ(failed[6], "");  // nothing was read
  EXPECT_EQ(failed[7], "VME Error: read error device simbt0/a24: bus error");
}

TEST(BusLogFormats, CsvQuotesOnlyWhatNeedsItAndTextLinesUpItsColumns) {
  const std::vector<BusLogEntry> entries = SampleEntries();
  std::ostringstream csv;
  WriteBusLog(csv, entries, Namer, BusLogFormat::Csv);
  std::istringstream csvLines(csv.str());
  std::vector<std::string> lines;
  for (std::string line; std::getline(csvLines, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "#,Time,Access,Register,Address,Width,Value,Result,Control");
  const std::string time = FormatBusLogEntry(entries[1], Namer)[1];
  EXPECT_EQ(lines[2], "2," + time +
                          ",write,B-Go 2 FIFO (0xB8),0xFF10B8,32,0x15000000,OK,"
                          "\"Apply preset 'A, \"\"B\"\"'\"");

  std::ostringstream text;
  WriteBusLog(text, entries, Namer, BusLogFormat::Text);
  std::istringstream textLines(text.str());
  lines.clear();
  for (std::string line; std::getline(textLines, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 4u);
  // Every field starts where its column's heading does.
  for (std::size_t column = 0; column < kBusLogColumns; ++column) {
    const std::string& heading = BusLogHeadings()[column];
    const std::size_t start = lines[0].find(heading);
    ASSERT_NE(start, std::string::npos) << heading;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::string field = FormatBusLogEntry(entries[i], Namer)[column];
      if (field.empty()) continue;
      EXPECT_EQ(lines[i + 1].substr(start, field.size()), field) << heading << ", line " << i + 1;
      EXPECT_EQ(lines[i + 1][start - (start > 0)], start > 0 ? ' ' : field[0]);
    }
  }
  EXPECT_EQ(lines[1].back(), 'K');  // no blanks after the last field ("OK", no cause)
}

TEST(BusLogFormats, SavingWhereNothingCanBeWrittenIsTheFileError) {
  TempFolder dir;
  const std::string folder = dir.File("a-folder");
  std::filesystem::create_directory(folder);
  try {
    SaveBusLog(folder, SampleEntries(), Namer, BusLogFormat::Csv);
    FAIL() << "no error";
  } catch (const EFileWriteError& error) {
    EXPECT_EQ(error.Message(), "Unable to write to " + folder);
  }
  SaveBusLog(dir.File("log.txt"), SampleEntries(), Namer, BusLogFormat::Text);
  EXPECT_EQ(ReadRaw(dir.File("log.txt")).find("#  Time"), 0u);
}

}  // namespace
