#include <gtest/gtest.h>

#include "support/RecordingVME.h"
#include "ttcvi/BChannelWord.h"
#include "ttcvi/B_Go.h"
#include "ttcvi/TTTCvi.h"
#include "vme/VMEErrors.h"

namespace {

constexpr std::uint32_t kBase = 0xFF1000;

struct ChannelRegisters {
  int channel;
  std::uint32_t mode, inhibitDelay, inhibitDuration, signal, fifo;
};

// The register map of the four channels, written out rather than computed.
const ChannelRegisters kChannels[] = {
    {0, 0x90, 0x92, 0x94, 0x96, 0xB0},
    {1, 0x98, 0x9A, 0x9C, 0x9E, 0xB4},
    {2, 0xA0, 0xA2, 0xA4, 0xA6, 0xB8},
    {3, 0xA8, 0xAA, 0xAC, 0xAE, 0xBC},
};

class BGoChannel : public testing::TestWithParam<ChannelRegisters> {
 protected:
  RecordingVME Vme;
  TTTCvi Module{&Vme, kBase};
  B_Go& Channel() { return *Module.BGo[GetParam().channel]; }
};

TEST_P(BGoChannel, ConstructedWithItsOffsets) {
  const auto& r = GetParam();
  EXPECT_EQ(Channel().VME, &Vme);
  EXPECT_EQ(Channel().BaseAddress, kBase);
  EXPECT_EQ(Channel().ModeOffset, r.mode);
  EXPECT_EQ(Channel().SignalOffset, r.signal);
  EXPECT_EQ(Channel().FIFOOffset, r.fifo);
}

TEST_P(BGoChannel, ModeSignalAndFIFOGoToTheChannelsRegisters) {
  const auto& r = GetParam();
  Channel().SetMode(true, false, true, false, true);
  Channel().Signal();
  Channel().WriteFIFO(MakeLongWord(0x1234, false, 3, 0x93));
  Channel().WriteFIFO(MakeShortWord(0x2A));
  EXPECT_EQ(Vme.Log,
            (std::vector{W16(kBase + r.mode, 0x0015), W16(kBase + r.signal, 0x00FF),
                         W32(kBase + r.fifo, 0xA4680393), W32(kBase + r.fifo, 0x15000000)}));
}

TEST_P(BGoChannel, ReadModeReadsTheModeRegister) {
  const auto& r = GetParam();
  Vme.SetReadValue(kBase + r.mode, 0x000B);
  EXPECT_EQ(Channel().ReadMode(), std::bitset<5>(0x0B));
  EXPECT_EQ(Vme.Log, std::vector{R16(kBase + r.mode, 0x000B)});
}

TEST_P(BGoChannel, InhibitWritesDelayThenDuration) {
  const auto& r = GetParam();
  void (TTTCvi::*const setInhibit[])(int, int) = {&TTTCvi::SetInhibit0, &TTTCvi::SetInhibit1,
                                                  &TTTCvi::SetInhibit2, &TTTCvi::SetInhibit3};
  (Module.*setInhibit[r.channel])(4095, 255);
  EXPECT_EQ(Vme.Log, (std::vector{W16(kBase + r.inhibitDelay, 0x0FFF),
                                  W16(kBase + r.inhibitDuration, 0x00FF)}));
}

INSTANTIATE_TEST_SUITE_P(AllFour, BGoChannel, testing::ValuesIn(kChannels), [](const auto& info) {
  return "Channel" + std::to_string(info.param.channel);
});

class BGoTest : public testing::Test {
 protected:
  RecordingVME Vme;
  B_Go Channel{&Vme, kBase, 0xB8, 0xA0, 0xA6};
};

TEST_F(BGoTest, SetModeFlagsMapToBits0To4) {
  struct Case {
    bool enable, async, repetitive, fifo, calibration;
    std::uint32_t value;
  } const cases[] = {
      {false, false, false, false, false, 0x00}, {true, false, false, false, false, 0x01},
      {false, true, false, false, false, 0x02},  {false, false, true, false, false, 0x04},
      {false, false, false, true, false, 0x08},  {false, false, false, false, true, 0x10},
      {true, true, true, true, true, 0x1F},
  };
  for (const auto& c : cases) {
    Vme.Log.clear();
    Channel.SetMode(c.enable, c.async, c.repetitive, c.fifo, c.calibration);
    EXPECT_EQ(Vme.Log, std::vector{W16(kBase + 0xA0, c.value)});
  }
}

TEST_F(BGoTest, ReadModeKeepsOnlyBits4To0) {
  const std::pair<std::uint32_t, unsigned long> cases[] = {
      {0x0000, 0x00}, {0x001F, 0x1F}, {0x0020, 0x00}, {0xFFE5, 0x05}, {0xFFFF, 0x1F}};
  for (const auto& [read, mode] : cases) {
    Vme.QueueReadValue(kBase + 0xA0, read);
    EXPECT_EQ(Channel.ReadMode().to_ulong(), mode) << std::hex << "read 0x" << read;
  }
}

TEST_F(BGoTest, WriteFIFOWritesTheWordValueAs32Bits) {
  Channel.WriteFIFO(std::bitset<32>(0xFFFFFFFF));
  Channel.WriteFIFO(std::bitset<32>(0x00000001));
  EXPECT_EQ(Vme.Log, (std::vector{W32(kBase + 0xB8, 0xFFFFFFFF), W32(kBase + 0xB8, 0x00000001)}));
}

TEST_F(BGoTest, FailuresPassThroughUnchanged) {
  Vme.FailAllWrites();
  EXPECT_THROW(Channel.SetMode(true, true, true, true, true), EVMEWrite);
  EXPECT_THROW(Channel.Signal(), EVMEWrite);
  EXPECT_THROW(Channel.WriteFIFO(0x80000000), EVMEWrite);
  Vme.FailAccess(0);
  EXPECT_THROW(Channel.ReadMode(), EVMERead);
  EXPECT_TRUE(Vme.Log.empty());
}

TEST(BGoAddress, BasePlusOffsetWrapsAt32Bits) {
  RecordingVME vme;
  TTTCvi module(&vme, 0xFFFFFFF0);
  module.BGo[3]->WriteFIFO(0);
  module.BGo[0]->SetMode(true, false, false, false, false);
  EXPECT_EQ(vme.Log, (std::vector{W32(0xAC, 0), W16(0x80, 1)}));
}

}  // namespace
