// What list and status print, the bus log's file, and the module's lock
// between two real processes.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "CtlTest.h"
#include "operate/ModuleLock.h"
#include "ttcvi/RegisterFields.h"
#include "ttcvi/TTTCvi.h"

namespace {

TEST_F(CtlTest, ListsWhatTheFileHoldsWithoutACrate) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"list", "presets"}, "Run1\n"},
      {{"list", "sequences"}, "Trig\nEmpty\n"},
      {{"list", "rx"}, "Rx1=000001\nRx2=x1F\nBad=zz\n"},
      {{"list", "sequences", "--json"},
       "{\"version\": 1, \"sequences\": [{\"name\": \"Trig\", \"words\": [2147483653, 1], "
       "\"words_hex\": [\"0x80000005\", \"0x00000001\"]}, "
       "{\"name\": \"Empty\", \"words\": [], \"words_hex\": []}]}\n"},
      {{"list", "rx", "--json"},
       "{\"version\": 1, \"rx\": [{\"name\": \"Rx1\", \"address\": 1, \"address_text\": "
       "\"000001\"}, "
       "{\"name\": \"Rx2\", \"address\": 31, \"address_text\": \"x1F\"}, "
       "{\"name\": \"Bad\", \"address\": null, \"address_text\": \"zz\"}]}\n"},
      {{"--json", "list", "presets"},
       "{\"version\": 1, \"presets\": [{\"name\": \"Run1\", \"rx\": \"Rx1\", "
       "\"fifo_words\": [0, 0, 0, 0]}]}\n"},
  };
  for (const auto& [arguments, output] : cases) {
    EXPECT_EQ(Run(arguments), 0) << Err.str();
    EXPECT_EQ(Out.str(), output);
  }
  EXPECT_EQ(Crate().OpenHandleCount(), 0u);
  EXPECT_TRUE(Crate().Cycles().empty());
}

// Whatever bytes a name holds, the document is UTF-8 that any JSON reader
// takes: the name as the panel shows it, with its specials escaped.
TEST_F(CtlTest, JsonHoldsEveryNameAsShownWithItsSpecialsEscaped) {
  const std::pair<std::string, std::string> cases[] = {
      {"Say \"hi\"", R"("Say \"hi\"")"},
      {"C:\\runs\\", R"("C:\\runs\\")"},
      {"a\x01"
       "b\x1F"
       "c\x7F",
       R"("a\u0001b\u001Fc\u007F")"},
      {"D\xC3\xA9j\xC3\xA0 \xE2\x82\xAC", "\"D\xC3\xA9j\xC3\xA0 \xE2\x82\xAC\""},  // UTF-8 as it is
      {"D\xE9j\xE0 \x80", "\"D\xC3\xA9j\xC3\xA0 \xE2\x82\xAC\""},                  // Windows-1252
      {"\x81"
       "x\xC3",
       "\"\\u0081x\xC3\x83\""},  // 0x81 is unassigned: a C1 control
  };
  for (const auto& [name, json] : cases) {
    WriteRaw(Ini(), "[PreSettings]\nNoOfPreSets=1\n[PreSettingsPreset0]\nCaption=" + name +
                        "\nRxName=" + name + "\n");
    EXPECT_EQ(Run({"list", "presets", "--json"}), 0) << Err.str();
    EXPECT_EQ(Out.str(), "{\"version\": 1, \"presets\": [{\"name\": " + json + ", \"rx\": " + json +
                             ", \"fifo_words\": [0, 0, 0, 0]}]}\n")
        << json;
  }
}

TEST_F(CtlTest, StatusDecodesWhatTheModuleHolds) {
  {
    TVMEWinBit3 connection(0, 2, -1);
    TTTCvi module(&connection, sim::kTTCviBase);
    module.SetRandomRate(5);
    module.SetTriggerSource(5);
    module.SetRetransmit(std::bitset<4>("1000"));
    module.BGo[2]->SetMode(true, false, false, true, true);
    module.BGo[1]->WriteFIFO(0x80000000u);
  }
  Crate().ClearCycles();
  ASSERT_EQ(Run({"status"}), 0) << Err.str();
  EXPECT_EQ(Out.str(),
            "TTCvi at A24 0xFF1000, adapter sim (Simulated crate, simbt0/a24)\n"
            "CSR1          0x5005  0101000000000101\n"
            "  Trigger source (2..0)   5   5 Random\n"
            "  Orbit (3)               0   external\n"
            "  Random rate (14..12)    5   25 kHz\n"
            "CSR2          0x0851  0000100001010001\n"
            "  FIFO 0 (1, 0)           01  empty\n"
            "  FIFO 1 (3, 2)           00  loaded\n"
            "  FIFO 2 (5, 4)           01  empty\n"
            "  FIFO 3 (7, 6)           01  empty\n"
            "  Retransmit 0 (8)        0   on\n"
            "  Retransmit 1 (9)        0   on\n"
            "  Retransmit 2 (10)       0   on\n"
            "  Retransmit 3 (11)       1   off\n"
            "B-Go 0 mode   0x0000  00000           none\n"
            "B-Go 1 mode   0x0000  00000           none\n"
            "B-Go 2 mode   0x0019  11001           Enable, FIFO, Calibration\n"
            "B-Go 3 mode   0x0000  00000           none\n");
  for (const sim::BusCycle& cycle : Crate().Cycles()) EXPECT_FALSE(cycle.write);

  ASSERT_EQ(Run({"status", "--json"}), 0) << Err.str();
  const std::string json = Out.str();
  for (const char* part :
       {"{\"version\": 1, \"module\": {\"adapter\": \"sim\", \"adapter_name\": \"Simulated "
        "crate\", "
        "\"device\": \"simbt0/a24\", \"base\": 16715776, \"base_hex\": \"0xFF1000\"}, ",
        "\"csr1\": {\"value\": 20485, \"value_hex\": \"0x5005\", \"bits\": \"0101000000000101\"",
        "{\"name\": \"Retransmit 3\", \"bits\": \"11\", \"value\": 1, \"meaning\": \"off\"}",
        "{\"channel\": 2, \"value\": 25, \"value_hex\": \"0x0019\", \"bits\": \"11001\", "
        "\"meaning\": \"Enable, FIFO, Calibration\"}, {\"channel\": 3"})
    EXPECT_NE(json.find(part), std::string::npos) << part << " in " << json;
  EXPECT_EQ(json.substr(json.size() - 4), "}]}\n");
}

TEST_F(CtlTest, FileLogKeepsEachAccessUnderTheCommandLine) {
  WriteRaw(Ini(), std::string(kConfiguration) + "[BusLog]\nFileLog=1\n");
  ASSERT_EQ(Run({"trigger", "--config", Ini()}), 0) << Err.str();
  const std::string log = ReadRaw(Dir.File("buslog.csv"));
  const std::string cause = "quorvane-ctl trigger --config " + Ini();
  EXPECT_NE(log.find(",read,CSR1 (0x80),0xFF1080,16,0x0000,OK," + cause), std::string::npos) << log;
  EXPECT_NE(log.find(",write,CSR1 (0x80),0xFF1080,16,0x0004,OK," + cause), std::string::npos)
      << log;
  EXPECT_NE(log.find(",write,VME L1A (0x86),0xFF1086,16,0x000F,OK," + cause), std::string::npos)
      << log;
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4);  // headings and three accesses
}

// The real program in a process of its own: the lock must hold between
// processes and die with a killed holder. The module sits at a base of this
// test's own (the crate settings file puts it there), so the lock
// file in /run/lock is no one else's.
TEST_F(CtlTest, LockHoldsBetweenProcessesAndDiesWithAKilledHolder) {
  const std::uint32_t base = 0x100000 + static_cast<std::uint32_t>(getpid() % 0xE000) * 0x100;
  const std::string config = Dir.Path() + "/config";
  std::filesystem::create_directories(config + "/quorvane");
  WriteRaw(config + "/quorvane/crate.conf", "base = " + std::to_string(base) + "\n");
  WriteRaw(Ini(), "[TTCvi_Address]\nTTCviAddress=" + std::to_string(base) + "\n");
  const ModuleIdentity module{"sim", "simbt0/a24", base};

  auto run = [&](const std::string& options) {
    const std::string command = "XDG_CONFIG_HOME='" + config +
                                "' '" QUORVANE_CTL_PROGRAM "' status --config '" + Ini() + "' " +
                                options + " >'" + Dir.File("out") + "' 2>'" + Dir.File("err") + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };

  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    ModuleLock lock(module, "quorvane", std::chrono::milliseconds(0), ModuleLock::DefaultFolders());
    (void)!write(ready[1], "1", 1);
    pause();
    _exit(0);
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  close(ready[0]);
  close(ready[1]);

  EXPECT_EQ(run("--wait 1"), 3);
  const std::string refused = ReadRaw(Dir.File("err"));
  EXPECT_NE(refused.find(" is in use by quorvane, pid " + std::to_string(holder) + ", user "),
            std::string::npos)
      << refused;
  EXPECT_EQ(ReadRaw(Dir.File("out")), "");

  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  EXPECT_EQ(run(""), 0) << ReadRaw(Dir.File("err"));
  EXPECT_NE(ReadRaw(Dir.File("out")).find("TTCvi at A24 " + HexText(base, 6)), std::string::npos)
      << ReadRaw(Dir.File("out"));

  std::error_code ignored;
  for (const auto& folder : ModuleLock::DefaultFolders())
    std::filesystem::remove(folder / ModuleLock::FileName(module), ignored);
}

}  // namespace
