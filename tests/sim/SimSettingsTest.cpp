// The simulated TTCvi's base address, so that a site's own configuration
// runs on the simulator.

#include <gtest/gtest.h>

#include <string>

#include "sim/AdapterCalls.h"
#include "sim/SimCrate.h"
#include "sim/SimSettings.h"
#include "vme/TVMEWinBit3.h"
#include "vme/VMEErrors.h"

namespace {

// The crate settings file's "base" (read by src/crate, checked here).
TEST(CrateSettings, BaseFollowsTheNumberRuleAndKeepsTheTTCviInsideA24) {
  struct Case {
    const char* value;
    std::uint32_t base;
    const char* error;  // empty: none
  };
  const Case cases[] = {
      {"0xEE0000", 0xEE0000, ""},
      {"$A00000", 0xA00000, ""},
      {"1048576", 0x100000, ""},
      {"0xFFFF34", 0xFFFF34, ""},
      {"0xFFFF36", sim::kTTCviBase,
       "base 0xFFFF36 puts the TTCvi's registers (base + 0x80 to base + 0xCB) outside the A24 "
       "space; the highest base is 0xFFFF34"},
      {"-5", sim::kTTCviBase,
       "base \"-5\" puts the TTCvi's registers (base + 0x80 to base + 0xCB) outside the A24 "
       "space; the highest base is 0xFFFF34"},
      {"0xEEOOOO", sim::kTTCviBase,
       "base \"0xEEOOOO\" is not a number (decimal, or hexadecimal after 0x)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    std::uint32_t base = sim::kTTCviBase;
    EXPECT_EQ(sim::ReadTTCviBase(c.value, base), c.error);
    EXPECT_EQ(base, c.base);
  }
}

class CrateBase : public ::testing::Test {
 protected:
  void SetUp() override { InstallAdapterLibrary(sim::SimulatedAdapterLibrary()); }
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
