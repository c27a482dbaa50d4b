// The module commands on the simulated crate: what an operator finds on the
// crate afterwards, the read-modify-write of CSR1 and CSR2, and bad input.

#include <cstdint>

#include "CtlTest.h"
#include "ttcvi/TTTCvi.h"

namespace {

using WriteList = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

// What the panel (or anyone) left on the module before the command runs.
void Prepare(const std::function<void(TTTCvi&)>& settings) {
  TVMEWinBit3 connection(0, 2, -1);
  TTTCvi module(&connection, sim::kTTCviBase);
  settings(module);
  sim::Crate::Instance().ClearCycles();
}

TEST_F(CtlTest, TriggerChangesOnlyTheTriggerSourceOfCsr1) {
  Prepare([](TTTCvi& module) {
    module.SetRandomRate(5);
    module.SetOrbitSignal(true);
    module.SetTriggerSource(2);
  });
  ASSERT_EQ(Crate().CSR1(), 0x500A);

  ASSERT_EQ(Run({"trigger"}), 0) << Err.str();
  EXPECT_EQ(Crate().CSR1(), 0x500C);  // 25 kHz and internal orbit kept, source 4
  EXPECT_EQ(Crate().L1ACount(), 1u);
  const std::vector<sim::BusCycle> cycles = Crate().Cycles();
  ASSERT_EQ(cycles.size(), 3u);
  EXPECT_FALSE(cycles[0].write);  // CSR1 is read before it is written
  EXPECT_EQ(cycles[0].address, sim::kTTCviBase + 0x80);
  EXPECT_EQ(Writes(), (WriteList{{0x80, 0x500C}, {0x86, 0x000F}}));
}

TEST_F(CtlTest, ResetFifosKeepsTheRetransmitBitsOfCsr2) {
  Prepare([](TTTCvi& module) {
    module.SetRetransmit(std::bitset<4>("0101"));
    for (int channel = 0; channel < 4; ++channel) module.BGo[channel]->WriteFIFO(0x80000000u);
  });
  ASSERT_EQ(Run({"reset-fifos", "1", "x3"}), 0) << Err.str();
  EXPECT_EQ(Writes(), (WriteList{{0x82, 0xA500}}));
  for (int channel = 0; channel < 4; ++channel)
    EXPECT_EQ(Crate().BGoFifoSize(channel), channel % 2 == 1 ? 0u : 1u) << channel;
  EXPECT_EQ(Crate().CSR2() & 0x0F00, 0x0500);

  ASSERT_EQ(Run({"reset-fifos"}), 0) << Err.str();  // all four
  for (int channel = 0; channel < 4; ++channel) EXPECT_EQ(Crate().BGoFifoSize(channel), 0u);
}

TEST_F(CtlTest, CommandsReachTheModuleAndTheTTCrxAsThePanelsControlsDo) {
  const std::string before = ReadRaw(Ini());
  ASSERT_EQ(Run({"rx", "rx1", "--deskew1", "100", "--deskew2=0", "--coarse1", "5", "--coarse2", "3",
                 "--control", "11111111"}),
            0)
      << Err.str();
  EXPECT_EQ(Crate().TTCrxRegister(1, 0), 0xAA);
  EXPECT_EQ(Crate().TTCrxRegister(1, 1), 0x0E);
  EXPECT_EQ(Crate().TTCrxRegister(1, 2), 0x35);
  EXPECT_EQ(Crate().TTCrxRegister(1, 3), 0xFF);
  ASSERT_EQ(Run({"rx", "300", "--control", "x12"}), 0) << Err.str();  // an address, not a name
  EXPECT_EQ(Crate().TTCrxRegister(300, 3), 0x12);

  ASSERT_EQ(Run({"long", "Rx2", "3", "x55"}), 0) << Err.str();
  EXPECT_EQ(Crate().TTCrxRegister(31, 3), 0x55);
  ASSERT_EQ(Run({"long", "--external", "7", "1", "2"}), 0) << Err.str();
  ASSERT_EQ(Run({"short", "x2A"}), 0) << Err.str();
  const std::vector<sim::BChannelCycle> cycles = Crate().BChannelCycles();
  ASSERT_GE(cycles.size(), 2u);
  const sim::BChannelCycle& external = cycles[cycles.size() - 2];
  EXPECT_TRUE(external.longFormat && external.external);
  EXPECT_EQ(external.ttcrxAddress, 7);
  EXPECT_EQ(external.word, 0x800F0102u);
  EXPECT_EQ(cycles.back().command, 0x2A);

  ASSERT_EQ(Run({"load-fifo", "2", "Trig"}), 0) << Err.str();
  EXPECT_EQ(Crate().BGoFifo(2), (std::vector<std::uint32_t>{0x80000005u, 0x00000001u}));
  ASSERT_EQ(Run({"reset"}), 0) << Err.str();
  EXPECT_EQ(Crate().BGoFifoSize(2), 0u);
  EXPECT_EQ(Out.str(), "");
  EXPECT_EQ(ReadRaw(Ini()), before);  // never written
}

TEST_F(CtlTest, BadInputGetsOneLineAndItsStatusAndSendsNothing) {
  const std::string damaged = Dir.File("damaged.ini");
  WriteRaw(damaged, std::string("[TTCvi_Address]\nTTCviAddress=1\0\x01", 32));
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string message;  // a part of the one line on the error stream
  };
  const Case cases[] = {
      {{"frob"}, 2, "unknown command \"frob\" (see quorvane-ctl --help)"},
      {{}, 2, "no command given"},
      {{"status", "--frob"}, 2, "status: unknown option --frob"},
      {{"list", "rx", "--wait", "3"}, 2, "list: unknown option --wait"},
      {{"apply"}, 2, "apply: missing arguments: quorvane-ctl apply NAME"},
      {{"short", "1", "2"}, 2, "\"2\" is one too many"},
      {{"short", "256"}, 2, "COMMAND: 256 is outside 0..255"},
      {{"short", "12a"}, 2, "COMMAND: '12a' is not a valid integer value"},
      {{"rx", "Rx1", "--deskew1", "240"}, 2, "--deskew1: 240 is outside 0..239"},
      {{"rx", "Rx1", "--coarse1", "3"}, 2, "give --coarse1 and --coarse2 together"},
      {{"rx", "Rx1"}, 2, "rx: nothing to set"},
      {{"rx", "Rx1", "--control", "100100111"}, 2, "--control: 100100111 is outside 0..255"},
      {{"long", "Rx9", "1", "2"},
       2,
       "No TTCrx \"Rx9\" in " + Ini() + "; it holds \"Rx1\", \"Rx2\", \"Bad\""},
      {{"long", "Bad", "1", "2"}, 2, "TTCrx \"Bad\" in " + Ini() + " has no address: 'zz' is not"},
      {{"long", "16384", "1", "2"}, 2, "RX: 16384 is outside 0..16383"},
      {{"load-fifo", "4", "Trig"}, 2, "CHANNEL: 4 is outside 0..3"},
      {{"load-fifo", "1", "Nope"},
       2,
       "No sequence \"Nope\" in " + Ini() + "; it holds \"Trig\", \"Empty\""},
      {{"status", "--wait", "-1"}, 2, "--wait: -1 is outside"},
      {{"status", "--adapter", "vmusb"}, 2, "--adapter \"vmusb\" is none of sim, sbs, caen"},
      {{"status", "--config", Dir.File("none.ini")}, 2, "none.ini: No such file or directory"},
      {{"status", "--config", Dir.Path()}, 2, "is not a regular file"},
      {{"list", "presets", "--config", damaged}, 2, "damaged.ini is damaged: it is not text"},
  };
  for (const Case& c : cases) {
    const std::string line = testing::PrintToString(c.arguments);
    EXPECT_EQ(Run(c.arguments), c.status) << line;
    const std::string error = Err.str();
    EXPECT_NE(error.find(c.message), std::string::npos) << line << ": " << error;
    EXPECT_EQ(error.rfind("quorvane-ctl: ", 0), 0u) << line;
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << line << error;
    EXPECT_EQ(Out.str(), "") << line;
  }
  EXPECT_TRUE(Crate().Cycles().empty());
}

TEST_F(CtlTest, RefusedAccessGivesTheErrorBoxTextAndStatus1) {
  Crate().FailNext(sim::Call::Write, sim::kStatusBusError);
  EXPECT_EQ(Run({"reset"}), 1);
  EXPECT_EQ(Err.str().rfind("quorvane-ctl: VME Error: write error device simbt0/a24: ", 0), 0u)
      << Err.str();
  EXPECT_EQ(Err.str().substr(Err.str().size() - 2), ")\n");  // no full stop after ")"
  // An adapter without a text: the message ends in a letter and gets the box's full stop.
  Crate().FailNext(sim::Call::Write, sim::kStatusUndescribed);
  EXPECT_EQ(Run({"reset"}), 1);
  EXPECT_EQ(Err.str(),
            "quorvane-ctl: VME Error: write error device simbt0/a24error description "
            "anavailable.\n");
}

TEST_F(CtlTest, HelpSaysWhichCommandsReadTheRegisterFirst) {
  for (const auto& [command, reads] :
       {std::pair{"trigger", true}, {"reset-fifos", true}, {"reset", false}, {"long", false}}) {
    EXPECT_EQ(Run({command, "--help"}), 0);
    EXPECT_EQ(Out.str().find("Reads the register first") != std::string::npos, reads) << command;
  }
  EXPECT_TRUE(Crate().Cycles().empty());
}

}  // namespace
