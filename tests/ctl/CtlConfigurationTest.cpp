// A configuration file that quorvane-ctl cannot use as the panel would: it
// stops with the panel's words and status 2 before any bus cycle.

#include <unistd.h>

#include "CtlTest.h"

namespace {

TEST_F(CtlTest, FileTheStartWouldRefuseStopsBeforeTheModule) {
  const std::string mem = Dir.File("mem.ini");
  ASSERT_EQ(symlink("/proc/self/mem", mem.c_str()), 0);  // there, but every read fails
  const std::string base = Dir.File("base.ini");
  const std::string rx = Dir.File("rx.ini");
  WriteRaw(rx, "[Rx_Addresses]\nNoOfRxAddresses=2\nRxAddress0=Lo=-1\nRxAddress1=Hi=x4000\n");
  struct Case {
    std::string base;  // TTCviAddress written to base.ini first, when given
    std::vector<std::string> arguments;
    std::string message;
  };
  const Case cases[] = {
      {"", {"status", "--config", mem}, "Unable to read " + mem + ": Input/output error"},
      {"-128",
       {"status", "--config", base},
       base + ", section [TTCvi_Address]: TTCviAddress=-128 puts the TTCvi's registers"},
      {"0x1FF1000",
       {"reset", "--config", base},
       base + ", section [TTCvi_Address]: TTCviAddress=0x1FF1000 puts"},
      {"", {"rx", "Lo", "--deskew1", "1", "--config", rx}, "TTCrx address '-1' is out of range"},
      {"", {"long", "Hi", "3", "1", "--config", rx}, "TTCrx address 'x4000' is out of range"},
  };
  for (const Case& c : cases) {
    const std::string line = testing::PrintToString(c.arguments);
    if (!c.base.empty()) WriteRaw(base, "[TTCvi_Address]\nTTCviAddress=" + c.base + "\n");
    EXPECT_EQ(Run(c.arguments), 2) << line;
    EXPECT_NE(Err.str().find(c.message), std::string::npos) << line << ": " << Err.str();
  }
  EXPECT_TRUE(Crate().Cycles().empty());
}

}  // namespace
