// The crate settings file and the choice of the adapter when a program
// starts: what an operator writes, and what the program makes of it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "UserSettings.h"
#include "base/Exception.h"
#include "crate/SelectAdapter.h"
#include "sim/SimCrate.h"
#include "vme/TDebug.h"
#include "vme/TVMEWinBit3.h"

namespace {

namespace fs = std::filesystem;
using crate::CrateSettings;
using crate::ParseCrateSettings;

// The message an action raised, or "" when it raised none.
template <typename Action>
std::string Refusal(Action action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.Message();
  }
  return {};
}

TEST(CrateSettingsFile, EveryKeyIsReadWithCommentsBlanksAndAnyCase) {
  const CrateSettings settings = ParseCrateSettings(
      "# rack 3\r\n"
      "\n"
      "  Adapter = caen   # the bridge below\r\n"
      "BASE=$EE0000\n"
      "bridge = v4718-a3818\n"
      "LINK=3\n"
      "\tnode = 7\n"
      "sbs.library = /opt/sbs/libbtp.so\n"
      "caen.library = /opt/caen/libCAENVME.so\n"
      "trace = /tmp/trace.log\n",
      "crate.conf");
  EXPECT_EQ(settings.Adapter, "caen");
  EXPECT_EQ(settings.AdapterPlace.Text(), "crate.conf, line 3");
  EXPECT_EQ(settings.Sim.TTCviBase, 0xEE0000u);
  EXPECT_TRUE(settings.HaveBridge);
  EXPECT_EQ(settings.Caen.Model, caen::Bridge::V4718_A3818);
  EXPECT_EQ(settings.Caen.Link, 3u);
  EXPECT_EQ(settings.Caen.Node, 7);
  EXPECT_EQ(settings.SbsLibrary, "/opt/sbs/libbtp.so");
  EXPECT_EQ(settings.CaenLibrary, "/opt/caen/libCAENVME.so");
  EXPECT_EQ(settings.Trace, "/tmp/trace.log");
}

// Each bad value names the file, the line and the key.
TEST(CrateSettingsFile, DamagedLinesAreRefusedNamingFileLineAndKey) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"bridge V2718\n", "/etc/q.conf, line 1: expected \"key = value\", found \"bridge V2718\""},
      {"adapter = sim\nadaptor = sbs\n",
       "/etc/q.conf, line 2: unknown key \"adaptor\" (known: adapter, base, bridge, link, node, "
       "host, sbs.library, caen.library, trace)"},
      {"bridge = V2718\n\nbridge = V1718\n", "/etc/q.conf, line 3: \"bridge\" is given twice"},
      {"bridge =\n", "/etc/q.conf, line 1: \"bridge\" has no value"},
      {"bridge = V2719\n",
       "/etc/q.conf, line 1: unknown bridge \"V2719\" (known: V1718, V2718, V2718-A4818, V3718, "
       "V3718-A2818, V3718-A3818, V3718-A4818, V4718, V4718-ETH, V4718-A2818, V4718-A3818, "
       "V4718-A4818)"},
      {"link = -1\n",
       "/etc/q.conf, line 1: link must be a whole number from 0 to 4294967295, not \"-1\""},
      {"link = 4294967296\n",
       "/etc/q.conf, line 1: link must be a whole number from 0 to 4294967295, not "
       "\"4294967296\""},
      {"node = 32768\n",
       "/etc/q.conf, line 1: node must be a whole number from 0 to 32767, not \"32768\""},
      {"base = 0x1000000\n",
       "/etc/q.conf, line 1: base 0x1000000 puts the TTCvi's registers (base + 0x80 to base + "
       "0xCB) outside the A24 space; the highest base is 0xFFFF34"},
      {"caen.library =\n", "/etc/q.conf, line 1: \"caen.library\" has no value"},
      {"trace =\n", "/etc/q.conf, line 1: \"trace\" has no value (off, on or the path of a file)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Refusal([&] { ParseCrateSettings(c.text, "/etc/q.conf"); }), c.error);
  }
  EXPECT_EQ(Refusal([] {
              ParseCrateSettings(std::string("\x7f"
                                             "ELF\0",
                                             5),
                                 "/etc/q.conf");
            }),
            "/etc/q.conf: not a text file (it holds NUL bytes)");
}

TEST(CrateSettingsFile, TheFirstFileThatExistsIsUsedWhole) {
  UserSettings user;
  const fs::path machine = fs::path(user.Folder().Path()) / "machine.conf";
  WriteRaw(machine.string(), "base = 0xA00000\n");
  const std::vector<fs::path> places{user.File(), machine};
  CrateSettings settings = crate::LoadCrateSettings(places);
  EXPECT_EQ(settings.File, machine);
  EXPECT_EQ(settings.Sim.TTCviBase, 0xA00000u);

  user.Write("# nothing set: the defaults, not the machine's base\n");
  settings = crate::LoadCrateSettings(places);
  EXPECT_EQ(settings.File, user.File());
  EXPECT_EQ(settings.Sim.TTCviBase, sim::kTTCviBase);
  EXPECT_EQ(settings.Places, places);

  // The operator's file comes first, found through XDG_CONFIG_HOME.
  EXPECT_EQ(crate::CrateSettingsPlaces().front(), user.File());
  EXPECT_EQ(crate::CrateSettingsPlaces().back(), "/etc/quorvane/crate.conf");

  fs::remove(user.File());
  fs::create_directory(user.File());
  EXPECT_EQ(Refusal([&] { crate::LoadCrateSettings(places); }),
            user.File().string() + " is not a regular file");
}

// The command line beats the file, the file beats the default; a name that
// is no adapter is refused where it was written, and nothing is installed.
TEST(SelectAdapter, CommandLineThenFileThenTheSimulatedCrate) {
  UserSettings user;
  user.Write("adapter = sim\nbase = 0xEE0000\n");
  crate::CrateChoice choice = crate::SelectAdapter("");
  EXPECT_EQ(choice.Adapter, "sim");
  EXPECT_EQ(choice.ChosenBy, user.File().string() + ", line 1");
  EXPECT_TRUE(choice.Simulated);
  EXPECT_EQ(sim::Crate::Instance().TTCviBase(), 0xEE0000u);
  {
    TVMEWinBit3 connection(0, 2, -1);  // the installed table reaches the crate
    EXPECT_EQ(connection.Describe().Adapter, "Simulated crate");
    connection.Write16(0xEE0080, 0x0008);
    EXPECT_EQ(sim::Crate::Instance().CSR1(), 0x0008);
  }
  user.Write("adapter = bogus\n");
  const auto installed = InstalledAdapterLibrary();
  EXPECT_EQ(Refusal([] { crate::SelectAdapter(""); }),
            user.File().string() +
                ", line 1: adapter \"bogus\": no such adapter (known: sim, sbs or caen)");
  EXPECT_EQ(InstalledAdapterLibrary(), installed);  // refused: nothing installed
  EXPECT_EQ(crate::SelectAdapter("SIM").ChosenBy, "the command line");
  EXPECT_EQ(Refusal([] { crate::SelectAdapter("vme"); }),
            "--adapter vme: no such adapter (known: sim, sbs or caen)");

  fs::remove(user.File());
  choice = crate::SelectAdapter("");
  EXPECT_EQ(choice.ChosenBy, "the default");
  EXPECT_EQ(sim::Crate::Instance().TTCviBase(), sim::kTTCviBase);
  sim::Crate::Instance().PowerUp();
}

TEST(SelectAdapter, TheCaenAdapterNeedsItsBridgeAndAMissingLibraryIsNamed) {
  UserSettings user;
  user.Write("adapter = caen\n");
  EXPECT_EQ(Refusal([] { crate::SelectAdapter(""); }),
            "the caen adapter needs the bridge: write \"bridge = V2718\" (or another bridge) with "
            "its link and node into " +
                user.File().string());
  user.Write("adapter = caen\nbridge = V4718-ETH\n");
  EXPECT_EQ(Refusal([] { crate::SelectAdapter(""); }),
            user.File().string() +
                ", line 2: the V4718-ETH bridge needs \"host = <name or IPv4 address>\"");
  user.Write("bridge = V2718\ncaen.library = /nonexistent/libCAENVME.so\n");
  const std::string missing = Refusal([] { crate::SelectAdapter("caen"); });
  EXPECT_NE(missing.find("the CAEN VME library \"/nonexistent/libCAENVME.so\" cannot be loaded"),
            std::string::npos)
      << missing;
  EXPECT_NE(missing.find("install CAENVMELib 3.3 or later from CAEN, or name its file with "
                         "\"caen.library = <path>\" in the crate settings file"),
            std::string::npos)
      << missing;
}

TEST(SelectAdapter, TheTraceKeySendsTheConnectionsTraceToAFile) {
  UserSettings user;
  const std::string file = user.Folder().Path() + "/trace.log";
  user.Write("trace = " + file + "\n");
  const int threshold = DebugLog.Threshold;
  std::ostream* out = DebugLog.Out;
  crate::SelectAdapter("sim");
  {
    TVMEWinBit3 connection(0, 2, -1);
    connection.Write16(sim::kTTCviBase + 0x80, 0x0008);
  }
  DebugLog.File.close();
  DebugLog.Threshold = threshold;
  DebugLog.Out = out;
  std::ifstream written(file);
  const std::string text((std::istreambuf_iterator<char>(written)),
                         std::istreambuf_iterator<char>());
  EXPECT_NE(text.find(".........Opened vme device simbt0/a24\n"), std::string::npos) << text;
  EXPECT_NE(text.find("VMEWrite: address=ff1080 count=2"), std::string::npos) << text;

  user.Write("trace = /nonexistent/folder/trace.log\n");
  EXPECT_EQ(Refusal([] { crate::SelectAdapter("sim"); }),
            user.File().string() +
                ", line 1: trace file \"/nonexistent/folder/trace.log\" cannot be opened for "
                "writing: No such file or directory");
  sim::Crate::Instance().PowerUp();
}

}  // namespace

namespace {

// "base" places the simulated TTCvi; a real adapter's module is where the
// configuration file says, and the operator is told so instead of a silent
// reset at another address.
TEST(SelectAdapter, BaseWithARealAdapterSaysWhereTheModulesBaseIsSet) {
  const std::string where =
      ": \"base\" is the simulated crate's and means nothing to the caen adapter: the module's "
      "base is set in the configuration file (quorvane.ini), section [TTCvi_Address], key "
      "TTCviAddress; remove \"base\"";
  const auto installed = InstalledAdapterLibrary();
  const std::pair<const char*, const char*> refused[] = {// the file, --adapter
                                                         {"adapter = caen\nbase = 0xEE0000\n", ""},
                                                         {"base = 0xEE0000\n", "caen"}};
  for (const auto& [file, adapter] : refused) {
    EXPECT_EQ(Refusal([&] { crate::SelectAdapter(adapter, ParseCrateSettings(file, "q.conf")); }),
              std::string("q.conf, line ") + (*adapter != '\0' ? "1" : "2") + where);
    EXPECT_EQ(InstalledAdapterLibrary(), installed);
  }
  EXPECT_EQ(Refusal([] {
              crate::SelectAdapter("", ParseCrateSettings("adapter = sim\nbase = 0xEE0000\n", "q"));
            }),
            "");
  sim::Crate::Instance().PowerUp();
}

}  // namespace
