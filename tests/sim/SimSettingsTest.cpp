// The simulated crate's settings file: the TTCvi's base address, so that a
// site's own configuration runs on the simulator.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "settings/TempDir.h"
#include "sim/SimCrate.h"
#include "sim/SimSettings.h"
#include "vme/TVMEWinBit3.h"
#include "vme/VMEErrors.h"

namespace {

namespace fs = std::filesystem;

TEST(CrateSettings, ParsedFromKeyValueLines) {
  struct Case {
    std::string text;
    std::uint32_t base;
    const char* error;  // empty: none
  };
  const Case cases[] = {
      {"", sim::kTTCviBase, ""},
      {"# our crate\n\n", sim::kTTCviBase, ""},
      {"base = 0xEE0000\n", 0xEE0000, ""},
      {"  BASE=$A00000   # switches\r\n", 0xA00000, ""},
      {"base = 1048576", 0x100000, ""},
      {"base = 0xFFFF34", 0xFFFF34, ""},
      {"base = 0xFFFF36", sim::kTTCviBase,
       "f, line 1: base 0xFFFF36 puts the TTCvi's registers (base + 0x80 to base + 0xCB) outside "
       "the A24 space; the highest base is 0xFFFF34"},
      {"base = -5", sim::kTTCviBase,
       "f, line 1: base \"-5\" puts the TTCvi's registers (base + 0x80 to base + 0xCB) outside "
       "the A24 space; the highest base is 0xFFFF34"},
      {"\nbase = 0xEEOOOO", sim::kTTCviBase,
       "f, line 2: base \"0xEEOOOO\" is not a number (decimal, or hexadecimal after 0x)"},
      {"base = 0xEE0000\nbase = 0xEE0000", sim::kTTCviBase, "f, line 2: \"base\" is given twice"},
      {"ttcvi = 0xEE0000", sim::kTTCviBase, "f, line 1: unknown key \"ttcvi\" (known: base)"},
      {"base 0xEE0000", sim::kTTCviBase,
       "f, line 1: expected \"key = value\", found \"base 0xEE0000\""},
      {std::string("base = 1\0", 9), sim::kTTCviBase, "f: not a text file (it holds NUL bytes)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const sim::CrateSettingsResult result = sim::ParseCrateSettings(c.text, "f");
    EXPECT_EQ(result.Settings.TTCviBase, c.base);
    EXPECT_EQ(result.Error, c.error);
  }
}

TEST(CrateSettings, TheFirstFileThatExistsIsUsedWhole) {
  TempDir dir;
  const fs::path user = fs::path(dir.Path()) / "user.conf";
  const fs::path machine = fs::path(dir.Path()) / "machine.conf";
  WriteRaw(machine.string(), "base = 0xA00000\n");

  sim::CrateSettingsResult result = sim::LoadCrateSettings({user, machine});
  EXPECT_EQ(result.Settings.TTCviBase, 0xA00000u);
  EXPECT_EQ(result.File, machine);

  WriteRaw(user.string(), "# nothing set: the defaults, not the machine's base\n");
  result = sim::LoadCrateSettings({user, machine});
  EXPECT_EQ(result.Settings.TTCviBase, sim::kTTCviBase);
  EXPECT_EQ(result.File, user);

  result = sim::LoadCrateSettings({fs::path(dir.Path()) / "none.conf"});
  EXPECT_EQ(result.Settings.TTCviBase, sim::kTTCviBase);
  EXPECT_TRUE(result.Error.empty());

  fs::create_directory(fs::path(dir.Path()) / "folder.conf");
  result = sim::LoadCrateSettings({fs::path(dir.Path()) / "folder.conf", machine});
  EXPECT_EQ(result.Error,
            (fs::path(dir.Path()) / "folder.conf").string() + " is not a regular file");
}

TEST(CrateSettings, TheUsersFileComesBeforeTheMachines) {
  const std::vector<fs::path> files = sim::CrateSettingsFiles();
  ASSERT_FALSE(files.empty());
  EXPECT_EQ(files.back().filename(), "sim.conf");
  if (files.size() == 2) {
    EXPECT_EQ(files.front().parent_path().filename(), "quorvane");
  }
}

class CrateBase : public ::testing::Test {
 protected:
  void TearDown() override { crate.PowerUp(); }
  sim::Crate& crate = sim::Crate::Instance();
};

TEST_F(CrateBase, TheTTCviAnswersAtTheConfiguredBaseOnly) {
  crate.PowerUp(sim::CrateSettings{0xEE0000});
  EXPECT_EQ(crate.TTCviBase(), 0xEE0000u);
  TVMEWinBit3 connection(0, 2, -1);
  connection.Write16(0xEE0080, 0x0008);
  EXPECT_EQ(crate.CSR1(), 0x0008);
  EXPECT_EQ(connection.Read16(0xEE0080), 0x0008);
  EXPECT_THROW(connection.Write16(sim::kTTCviBase + 0x80, 0x0008), EVMEWrite);

  crate.PowerUp();  // the documented power-up: the default base again
  EXPECT_EQ(crate.TTCviBase(), sim::kTTCviBase);
}

TEST_F(CrateBase, ADamagedSettingsFileStopsTheOpenWithItsReason) {
  TempDir dir;
  const fs::path file = fs::path(dir.Path()) / "sim.conf";
  WriteRaw(file.string(), "base = 0x1000000\n");
  crate.PowerUpAsConfigured({file});
  try {
    TVMEWinBit3 connection(0, 2, -1);
    FAIL() << "opened";
  } catch (const EVMEOpen& error) {
    EXPECT_EQ(error.Message(), "VME Error: could not open device simbt0/a24: " + file.string() +
                                   ", line 1: base 0x1000000 puts the TTCvi's registers (base + "
                                   "0x80 to base + 0xCB) outside the A24 space; the highest base "
                                   "is 0xFFFF34");
  }
  WriteRaw(file.string(), "base = 0x100000\n");
  crate.PowerUpAsConfigured({file});
  TVMEWinBit3 connection(0, 2, -1);
  EXPECT_EQ(crate.TTCviBase(), 0x100000u);
}

TEST_F(CrateBase, ReceiversReachedAreListedInAddressOrder) {
  crate.PowerUp();
  TVMEWinBit3 connection(0, 2, -1);
  auto send = [&](std::uint16_t rx, bool external, std::uint8_t sub) {
    connection.Write16(sim::kTTCviBase + 0xC0,
                       static_cast<std::uint16_t>(0x8000 | (rx << 1) | external));
    connection.Write16(sim::kTTCviBase + 0xC2, static_cast<std::uint16_t>(sub << 8 | 0x11));
  };
  EXPECT_TRUE(crate.TTCrxReached().empty());
  send(0x2001, false, 3);
  send(5, false, 0);
  send(9, true, 0);    // external: no register of the receiver
  send(7, false, 12);  // no register at this subaddress
  send(5, false, 1);
  EXPECT_EQ(crate.TTCrxReached(), (std::vector<std::uint16_t>{5, 0x2001}));
}

}  // namespace
