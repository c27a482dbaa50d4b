// The caen adapter's settings file: its format, its damaged forms and where
// it is looked for.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "UserSettings.h"
#include "adapters/caen/CaenSettings.h"
#include "settings/TempDir.h"

namespace {

using caen::Bridge;
using caen::ParseSettings;

TEST(CaenSettingsTest, ReadsEveryKeyWithCommentsBlanksAndAnyCase) {
  const auto result = ParseSettings(
      "# the crate in rack 3\r\n"
      "\n"
      "  Bridge =  v4718-a3818   # PCIe card, optical link\r\n"
      "LINK=3\n"
      "\tnode = 7\n",
      "caen.conf");
  ASSERT_TRUE(result.Value) << result.Error;
  EXPECT_EQ(result.Value->Model, Bridge::V4718_A3818);
  EXPECT_EQ(result.Value->Link, 3u);
  EXPECT_EQ(result.Value->Node, 7);
  EXPECT_EQ(result.Value->Host, "");
}

TEST(CaenSettingsTest, LinkAndNodeDefaultToZeroAndReachTheirLimits) {
  auto result = ParseSettings("bridge = V2718", "f");
  ASSERT_TRUE(result.Value) << result.Error;
  EXPECT_EQ(result.Value->Link, 0u);
  EXPECT_EQ(result.Value->Node, 0);

  result = ParseSettings("bridge = V2718-A4818\nlink = 4294967295\nnode = 32767\n", "f");
  ASSERT_TRUE(result.Value) << result.Error;
  EXPECT_EQ(result.Value->Link, 4294967295u);
  EXPECT_EQ(result.Value->Node, 32767);
}

TEST(CaenSettingsTest, EveryBridgeIsKnownByItsName) {
  for (Bridge model : caen::AllBridges()) {
    const std::string name = caen::BridgeName(model);
    SCOPED_TRACE(name);
    const std::string host = model == Bridge::V4718_ETH ? "host = 10.0.0.7\n" : "";
    const auto result = ParseSettings("bridge = " + name + "\n" + host, "f");
    ASSERT_TRUE(result.Value) << result.Error;
    EXPECT_EQ(result.Value->Model, model);
  }
}

TEST(CaenSettingsTest, DamagedFilesAreRefusedNamingTheFileAndLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"", "/etc/q.conf: no bridge given (for example \"bridge = V2718\")"},
      {"# nothing\n\n", "/etc/q.conf: no bridge given (for example \"bridge = V2718\")"},
      {"link = 1\n", "/etc/q.conf: no bridge given (for example \"bridge = V2718\")"},
      {"bridge V2718\n", "/etc/q.conf, line 1: expected \"key = value\", found \"bridge V2718\""},
      {"bridge = V2718\nlnk = 1\n",
       "/etc/q.conf, line 2: unknown key \"lnk\" (known: bridge, link, node, host)"},
      {"bridge = V2718\n\nbridge = V1718\n", "/etc/q.conf, line 3: \"bridge\" is given twice"},
      {"bridge =\n", "/etc/q.conf, line 1: \"bridge\" has no value"},
      {"bridge = V2719\n",
       "/etc/q.conf, line 1: unknown bridge \"V2719\" (known: V1718, V2718, V2718-A4818, V3718, "
       "V3718-A2818, V3718-A3818, V3718-A4818, V4718, V4718-ETH, V4718-A2818, V4718-A3818, "
       "V4718-A4818)"},
      {"bridge = V2718\nlink = -1\n",
       "/etc/q.conf, line 2: link must be a whole number from 0 to 4294967295, not \"-1\""},
      {"bridge = V2718\nlink = 4294967296\n",
       "/etc/q.conf, line 2: link must be a whole number from 0 to 4294967295, not "
       "\"4294967296\""},
      {"bridge = V2718\nlink = 0x10\n",
       "/etc/q.conf, line 2: link must be a whole number from 0 to 4294967295, not \"0x10\""},
      {"bridge = V2718\nnode = 32768\n",
       "/etc/q.conf, line 2: node must be a whole number from 0 to 32767, not \"32768\""},
      {"bridge = V2718\nnode = 1 2\n",
       "/etc/q.conf, line 2: node must be a whole number from 0 to 32767, not \"1 2\""},
      {"bridge = V4718-ETH\n",
       "/etc/q.conf: the V4718-ETH bridge needs \"host = <name or IPv4 address>\""},
      {"host = 10.0.0.1\nbridge = V1718\n",
       "/etc/q.conf, line 1: \"host\" is only for the V4718-ETH bridge"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto result = ParseSettings(c.text, "/etc/q.conf");
    EXPECT_FALSE(result.Value);
    EXPECT_EQ(result.Error, c.error);
  }
  // Bytes that make no text at all, such as a binary file in the file's place.
  const auto binary = ParseSettings(std::string("\x7f"
                                                "ELF\x02\x01\x01\0\0\0",
                                                10),
                                    "/etc/q.conf");
  EXPECT_FALSE(binary.Value);
  EXPECT_EQ(binary.Error, "/etc/q.conf: not a text file (it holds NUL bytes)");
}

TEST(CaenSettingsTest, UserFileComesFirstAndTheMachinesFileLast) {
  UserSettings user;
  const auto files = caen::SettingsFiles();
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0], user.File());
  EXPECT_EQ(files[1], caen::SystemSettingsFile());

  // A relative XDG_CONFIG_HOME is no folder to trust: ~/.config is used.
  const std::optional<std::string> home =
      std::getenv("HOME") ? std::optional<std::string>(std::getenv("HOME")) : std::nullopt;
  setenv("XDG_CONFIG_HOME", "relative/config", 1);
  setenv("HOME", "/home/operator", 1);
  EXPECT_EQ(caen::SettingsFiles()[0], "/home/operator/.config/quorvane/caen.conf");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(caen::SettingsFiles()[0], "/home/operator/.config/quorvane/caen.conf");
  if (home)
    setenv("HOME", home->c_str(), 1);
  else
    unsetenv("HOME");
}

TEST(CaenSettingsTest, FirstFileThatExistsIsReadWhole) {
  TempDir folder;
  const std::string user = folder.File("user.conf"), machine = folder.File("machine.conf");
  WriteRaw(machine, "bridge = V1718\n");

  auto result = caen::LoadSettings({user, machine});
  ASSERT_TRUE(result.Value) << result.Error;
  EXPECT_EQ(result.Value->Model, Bridge::V1718);
  EXPECT_EQ(result.File, machine);

  WriteRaw(user, "bridge = V3718\n");
  result = caen::LoadSettings({user, machine});
  ASSERT_TRUE(result.Value) << result.Error;
  EXPECT_EQ(result.Value->Model, Bridge::V3718);
  EXPECT_EQ(result.File, user);

  // A damaged user file is reported, not passed over for the machine's.
  WriteRaw(user, "bridge = V3718\nbridge = V3718\n");
  result = caen::LoadSettings({user, machine});
  EXPECT_FALSE(result.Value);
  EXPECT_EQ(result.Error, user + ", line 2: \"bridge\" is given twice");
}

TEST(CaenSettingsTest, MissingOrUnusableFilesAreClearErrorsAndNeverHang) {
  TempDir folder;
  const std::string missing = folder.File("none.conf"), also = folder.File("nor/this.conf");
  auto result = caen::LoadSettings({missing, also});
  EXPECT_FALSE(result.Value);
  EXPECT_EQ(result.Error, "no CAEN bridge settings: write " + missing + " or " + also +
                              " (see the README, \"Real hardware\")");

  const std::string directory = folder.File("dir.conf");
  std::filesystem::create_directory(directory);
  result = caen::LoadSettings({directory});
  EXPECT_EQ(result.Error, directory + " is not a regular file");

  // A named pipe with no writer would block an ordinary open for ever.
  const std::string pipe = folder.File("pipe.conf");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  result = caen::LoadSettings({pipe});
  EXPECT_EQ(result.Error, pipe + " is not a regular file");

  const std::string huge = folder.File("huge.conf");
  WriteRaw(huge, "# " + std::string(64 * 1024, 'x') + "\nbridge = V2718\n");
  result = caen::LoadSettings({huge});
  EXPECT_FALSE(result.Value);
  EXPECT_EQ(result.Error, huge + " is larger than 64 KiB: not a settings file");
}

}  // namespace
