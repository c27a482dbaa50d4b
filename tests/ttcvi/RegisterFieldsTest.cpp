// The readable registers decoded as the crate monitor and quorvane-ctl show them.

#include <gtest/gtest.h>

#include "ttcvi/RegisterFields.h"

namespace {

std::string Shown(const std::vector<RegisterField>& fields) {
  std::string text;
  for (const RegisterField& field : fields)
    text += field.Label() + "=" + field.ValueText + " " + field.Meaning + "; ";
  return text;
}

TEST(RegisterFields, Csr1FieldsAsTheOperatorReadsThem) {
  const std::pair<std::uint16_t, const char*> cases[] = {
      {0x0008,
       "Trigger source (2..0)=0 0 L1A ECL; Orbit (3)=1 internal; "
       "Random rate (14..12)=0 1 Hz; "},
      {0x5045,
       "Trigger source (2..0)=5 5 Random; Orbit (3)=0 external; "
       "Random rate (14..12)=5 25 kHz; "},
      {0xFFFF,
       "Trigger source (2..0)=7 7 none; Orbit (3)=1 internal; "
       "Random rate (14..12)=7 100 kHz; "},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(Shown(DecodeCSR1(value)), text) << value;
}

TEST(RegisterFields, Csr2FifoStatesAndRetransmitBits) {
  // FIFO 0 empty, 1 full, 2 loaded, 3 both flags (empty wins); channel 1 and
  // 3 retransmission off.
  EXPECT_EQ(Shown(DecodeCSR2(0x0AC9)),
            "FIFO 0 (1, 0)=01 empty; FIFO 1 (3, 2)=10 full; FIFO 2 (5, 4)=00 loaded; "
            "FIFO 3 (7, 6)=11 empty; Retransmit 0 (8)=0 on; Retransmit 1 (9)=1 off; "
            "Retransmit 2 (10)=0 on; Retransmit 3 (11)=1 off; ");
}

TEST(RegisterFields, ModeFlags) {
  EXPECT_EQ(BGoModeMeaning(0x0000), "none");
  EXPECT_EQ(BGoModeMeaning(0x0019), "Enable, FIFO, Calibration");
  EXPECT_EQ(BGoModeMeaning(0xFFE2), "Asynchron");  // bits above 4 are no flags
}

}  // namespace
