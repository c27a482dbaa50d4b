// Section "BusLog" of the configuration file.

#include <gtest/gtest.h>

#include "settings/BusLogSettings.h"
#include "support/TempFolder.h"

namespace {

BusLogSettings ReadFrom(const std::string& content) {
  TempFolder dir;
  WriteRaw(dir.File("quorvane.ini"), content);
  TIniFile file(dir.File("quorvane.ini"));
  return ReadBusLogSettings(file);
}

TEST(BusLogSettings, ReadWithDefaultsAndRanges) {
  struct Case {
    const char* content;
    BusLogSettings expected;
  };
  const Case cases[] = {
      {"", {}},
      {"[TTCvi_Address]\nTTCviAddress=0xEE0000\n", {}},
      {"[BusLog]\nFileLog=1\n", {10000, true, 1000000, 3}},
      {"[buslog]\nEntries=250\nFileLog=0\nMaxFileSize=0x10000\nKeepFiles=5\n",
       {250, false, 0x10000, 5}},
      // Beyond the ranges: the nearest end.
      {"[BusLog]\nEntries=5\nMaxFileSize=12\nKeepFiles=-1\n", {100, false, 10000, 0}},
      {"[BusLog]\nEntries=99999999\nMaxFileSize=2000000000\nKeepFiles=400\n",
       {1000000, false, 1000000000, 20}},
      // Not numbers: the defaults.
      {"[BusLog]\nEntries=many\nFileLog=yes\nMaxFileSize=\nKeepFiles=3 files\n", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    const BusLogSettings read = ReadFrom(c.content);
    EXPECT_EQ(read.Entries, c.expected.Entries);
    EXPECT_EQ(read.FileLog, c.expected.FileLog);
    EXPECT_EQ(read.MaxFileSize, c.expected.MaxFileSize);
    EXPECT_EQ(read.KeepFiles, c.expected.KeepFiles);
  }
}

TEST(BusLogSettings, ReadingWritesNothing) {
  TempFolder dir;
  const std::string content = "[BusLog]\r\nFileLog=1\r\n";
  WriteRaw(dir.File("quorvane.ini"), content);
  {
    TIniFile file(dir.File("quorvane.ini"));
    ReadBusLogSettings(file);
    file.UpdateFile();
  }
  EXPECT_EQ(ReadRaw(dir.File("quorvane.ini")), content);
}

}  // namespace
