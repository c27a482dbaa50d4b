// The simulated TTCvi and TTCrx receivers, driven through the adapter calls
// with register values composed here from the register map.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "SimFixture.h"

namespace {

using Source = sim::BChannelCycle::Source;

class SimModule : public SimTest {
 public:
  void Fill(std::uint32_t fifoOffset, unsigned words, std::uint32_t first = 0) {
    for (unsigned i = 0; i < words; ++i) ASSERT_EQ(Write32(fifoOffset, first + i), BT_SUCCESS);
  }
};

TEST_F(SimModule, PowerUpReadBack) {
  EXPECT_EQ(Read16(0x80), 0x0000);
  EXPECT_EQ(Read16(0x82), 0x0055) << "all four FIFOs empty";
  for (std::uint32_t mode : {0x90u, 0x98u, 0xA0u, 0xA8u}) EXPECT_EQ(Read16(mode), 0) << mode;
}

TEST_F(SimModule, CSR1KeepsTheSystemsFieldsAndDropsThePulse) {
  struct Case {
    std::uint16_t written, read;
  };
  const Case cases[] = {{0x0008, 0x0008}, {0x2005, 0x2005}, {0x0048, 0x0008},
                        {0x7FFF, 0x700F}, {0x8FF0, 0x0000}, {0x000C, 0x000C}};
  for (const Case& c : cases) {
    ASSERT_EQ(Write16(0x80, c.written), BT_SUCCESS);
    EXPECT_EQ(Read16(0x80), c.read) << std::hex << c.written;
    EXPECT_EQ(crate.LastWritten(0x80), c.written) << "the raw value is kept for inspection";
  }
}

TEST_F(SimModule, CSR2RetransmitBitsReadBackWithFifoStatus) {
  ASSERT_EQ(Write16(0x82, 0x0A00), BT_SUCCESS);
  EXPECT_EQ(Read16(0x82), 0x0A55);
  ASSERT_EQ(Write16(0x82, 0x00FF), BT_SUCCESS);  // bits 7..0 are status, not settings
  EXPECT_EQ(Read16(0x82), 0x0055);
}

TEST_F(SimModule, FifoFullAt256WordsAndLosesWordsBeyond) {
  Fill(0xB8, 255);  // channel 2
  EXPECT_EQ(Read16(0x82), 0x0045) << "channel 2 neither empty nor full";
  Fill(0xB8, 1, 255);
  EXPECT_EQ(crate.BGoFifoSize(2), sim::kBGoFifoDepth);
  EXPECT_EQ(Read16(0x82), 0x0065) << "channel 2 full";
  EXPECT_EQ(Write32(0xB8, 0xDEADBEEF), BT_SUCCESS) << "the bus cycle itself succeeds";
  EXPECT_EQ(crate.BGoLostWords(2), 1u);
  const auto words = crate.BGoFifo(2);
  ASSERT_EQ(words.size(), sim::kBGoFifoDepth);
  EXPECT_EQ(words.front(), 0u);
  EXPECT_EQ(words.back(), 255u);
  EXPECT_EQ(crate.BGoFifoSize(0), 0u) << "other channels untouched";
}

TEST_F(SimModule, CSR2PulseEmptiesChosenFifosAndReadsBackZero) {
  Fill(0xB0, 3);
  Fill(0xB4, 256);
  Fill(0xBC, 1);
  ASSERT_EQ(Read16(0x82), 0x0018);               // 0 loaded, 1 full, 2 empty, 3 loaded
  ASSERT_EQ(Write16(0x82, 0xA300), BT_SUCCESS);  // reset FIFOs 1 and 3, retransmit off 0 and 1
  EXPECT_EQ(crate.BGoFifoSize(0), 3u);
  EXPECT_EQ(crate.BGoFifoSize(1), 0u);
  EXPECT_EQ(crate.BGoFifoSize(3), 0u);
  EXPECT_EQ(Read16(0x82), 0x0354);
}

TEST_F(SimModule, ModeRegistersKeepFiveBitsPerChannel) {
  struct Case {
    std::uint32_t offset;
    int channel;
    std::uint16_t written, read;
  };
  const Case cases[] = {{0x90, 0, 0x0001, 0x0001},
                        {0x98, 1, 0x0003, 0x0003},
                        {0xA0, 2, 0xFFFF, 0x001F},
                        {0xA8, 3, 0x0028, 0x0008}};
  for (const Case& c : cases) ASSERT_EQ(Write16(c.offset, c.written), BT_SUCCESS);
  for (const Case& c : cases) {
    EXPECT_EQ(Read16(c.offset), c.read) << c.channel;
    EXPECT_EQ(crate.BGoMode(c.channel), c.read) << c.channel;
  }
}

TEST_F(SimModule, InhibitsKeep12And8Bits) {
  ASSERT_EQ(Write16(0xA2, 0xFFFF), BT_SUCCESS);
  ASSERT_EQ(Write16(0xA4, 0x01FF), BT_SUCCESS);
  ASSERT_EQ(Write16(0x92, 100), BT_SUCCESS);
  EXPECT_EQ(crate.InhibitDelay(2), 0x0FFF);
  EXPECT_EQ(crate.InhibitDuration(2), 0x00FF);
  EXPECT_EQ(crate.InhibitDelay(0), 100);
  EXPECT_EQ(crate.InhibitDuration(0), 0);
}

TEST_F(SimModule, SoftwareResetReturnsRegistersAndFifosToPowerUp) {
  ASSERT_EQ(Write16(0x80, 0x700F), BT_SUCCESS);
  ASSERT_EQ(Write16(0x82, 0x0F00), BT_SUCCESS);
  ASSERT_EQ(Write16(0x98, 0x001F), BT_SUCCESS);
  ASSERT_EQ(Write16(0xAA, 4095), BT_SUCCESS);
  ASSERT_EQ(Write16(0xC8, 0x1234), BT_SUCCESS);
  ASSERT_EQ(Write16(0x86, 0x000F), BT_SUCCESS);
  Fill(0xB4, 5);
  SendLong(0x0042, false, 0, 0x77);

  ASSERT_EQ(Write16(0x84, 0x0000), BT_SUCCESS);
  EXPECT_EQ(Read16(0x80), 0);
  EXPECT_EQ(Read16(0x82), 0x0055);
  EXPECT_EQ(Read16(0x98), 0);
  EXPECT_EQ(crate.InhibitDelay(3), 0);
  EXPECT_EQ(crate.TrigWordAddress(), 0);
  EXPECT_EQ(crate.BGoFifoSize(1), 0u);
  // Not module registers: the receivers and the inspection counters.
  EXPECT_EQ(crate.TTCrxRegister(0x0042, 0), 0x77);
  EXPECT_EQ(crate.L1ACount(), 1u);
  EXPECT_EQ(crate.WriteCount(0x84), 1u);

  // The 0xC0 word is cleared too: 0xC2 alone now sends no long-format cycle.
  ASSERT_EQ(Write16(0xC2, 0x0011), BT_SUCCESS);
  EXPECT_EQ(crate.TTCrxRegister(0x0042, 0), 0x77);
  EXPECT_FALSE(crate.BChannelCycles().back().longFormat);
}

TEST_F(SimModule, SoftwareTriggersAreCounted) {
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Write16(0x86, 0x000F), BT_SUCCESS);
  EXPECT_EQ(crate.L1ACount(), 3u);
}

TEST_F(SimModule, WriteOnlyRegistersAnswerReadsWithABusError) {
  for (std::uint32_t offset :
       {0x84u, 0x86u, 0x92u, 0x94u, 0x96u, 0xAEu, 0xC0u, 0xC2u, 0xC4u, 0xC8u, 0xCAu}) {
    std::uint16_t value = 0xBEEF;
    std::size_t done = 0;
    EXPECT_EQ(bt_read(handle, &value, At(offset), 2, &done), sim::kStatusBusError) << offset;
    EXPECT_EQ(value, 0xBEEF);
    EXPECT_NE(Describe(sim::kStatusBusError).find("write-only"), std::string::npos);
  }
  std::uint32_t word = 0;
  std::size_t done = 0;
  EXPECT_EQ(bt_read(handle, &word, At(0xB0), 4, &done), sim::kStatusBusError);
}

// ---- B channel and TTCrx receivers ----

TEST_F(SimModule, LongAsyncCycleSetsTheTTCrxRegister) {
  struct Case {
    std::uint8_t sub, data;
  };
  const Case cases[] = {{0, 0x0E}, {1, 0xEF}, {2, 0x35}, {3, 0xFF}};
  for (const Case& c : cases) {
    EXPECT_EQ(crate.TTCrxRegister(0x1234, c.sub), c.sub == 3 ? 0x93 : 0x00) << "power-up";
    SendLong(0x1234, false, c.sub, c.data);
    EXPECT_EQ(crate.TTCrxRegister(0x1234, c.sub), c.data) << int(c.sub);
  }
  EXPECT_EQ(crate.TTCrxWriteCount(0x1234), 4u);
  EXPECT_EQ(crate.TTCrxRegister(0x1235, 3), 0x93) << "neighbours untouched";
  EXPECT_EQ(crate.TTCrxRegister(0x1234, 4), 0) << "no modelled register";

  const auto log = crate.BChannelCycles();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[3].source, Source::AsyncLong);
  EXPECT_EQ(log[3].word, 0xA46803FFu);
  EXPECT_TRUE(log[3].longFormat);
  EXPECT_EQ(log[3].ttcrxAddress, 0x1234);
  EXPECT_FALSE(log[3].external);
  EXPECT_EQ(log[3].subaddress, 3);
  EXPECT_EQ(log[3].data, 0xFF);
}

TEST_F(SimModule, RawWordsOfTheExampleCycleAreDecoded) {
  // Address 0x1234, E = 0, subaddress 3, data 0x93 is 0xA468 then 0x0393.
  ASSERT_EQ(Write16(0xC0, 0xA468), BT_SUCCESS);
  ASSERT_EQ(Write16(0xC2, 0x035A), BT_SUCCESS);
  EXPECT_EQ(crate.TTCrxRegister(0x1234, 3), 0x5A);
  // 0xC0 keeps its word: a second 0xC2 write goes to the same receiver.
  ASSERT_EQ(Write16(0xC2, 0x0107), BT_SUCCESS);
  EXPECT_EQ(crate.TTCrxRegister(0x1234, 1), 0x07);
  EXPECT_EQ(crate.TotalBChannelCycles(), 2u);
  EXPECT_EQ(crate.WriteCount(0xC0), 1u);
  EXPECT_EQ(crate.LastWritten(0xC2), 0x0107);
}

TEST_F(SimModule, ExternalSubaddressCyclesLeaveInternalRegistersAlone) {
  SendLong(0x0100, true, 3, 0x00);
  SendLong(0x0100, true, 0, 0x55);
  EXPECT_EQ(crate.TTCrxRegister(0x0100, 3), 0x93);
  EXPECT_EQ(crate.TTCrxRegister(0x0100, 0), 0x00);
  EXPECT_EQ(crate.TTCrxWriteCount(0x0100), 0u);
  const auto log = crate.BChannelCycles();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_TRUE(log[1].external);
  EXPECT_EQ(log[1].data, 0x55);
}

TEST_F(SimModule, FirstWordWithoutTheLongFlagReachesNoReceiver) {
  ASSERT_EQ(Write16(0xC0, 0x2468), BT_SUCCESS);  // bit 15 clear
  ASSERT_EQ(Write16(0xC2, 0x0300), BT_SUCCESS);
  EXPECT_EQ(crate.TTCrxRegister(0x1234, 3), 0x93);
  const auto log = crate.BChannelCycles();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_FALSE(log[0].longFormat);
  EXPECT_EQ(log[0].command, 0x48) << "bits 30..23 of 0x24680300";
}

TEST_F(SimModule, ShortAsyncCycleIsABroadcastOfTheLowByte) {
  ASSERT_EQ(Write16(0xC4, 0x03E7), BT_SUCCESS);
  const auto log = crate.BChannelCycles();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].source, Source::AsyncShort);
  EXPECT_FALSE(log[0].longFormat);
  EXPECT_EQ(log[0].command, 0xE7);
  EXPECT_EQ(log[0].word, 0xE7u << 23);
  EXPECT_EQ(crate.LastWritten(0xC4), 0x03E7);
}

TEST_F(SimModule, TrigWordRegistersAreRecorded) {
  ASSERT_EQ(Write16(0xC8, 0xFFFF), BT_SUCCESS);
  ASSERT_EQ(Write16(0xCA, 0x03FC), BT_SUCCESS);
  EXPECT_EQ(crate.TrigWordAddress(), 0xFFFF);
  EXPECT_EQ(crate.TrigWordControl(), 0x03FC);
  EXPECT_EQ(crate.WriteCount(0xCA), 1u);
  EXPECT_TRUE(crate.BChannelCycles().empty()) << "TRIGWORD sends nothing by itself";
}

TEST_F(SimModule, SignalSendsFifoWordsAndRetransmissionKeepsThem) {
  const std::uint32_t words[] = {
      0x8000000Au | (7u << 17) | (0u << 8),                       // TTCrx 7, fine deskew 1 := 0x0A
      0x15000000u,                                                // short format, command 0x2A
      0x80000000u | (7u << 17) | (1u << 16) | (3u << 8) | 0x11u,  // external: no register
  };
  for (std::uint32_t word : words) ASSERT_EQ(Write32(0xB4, word), BT_SUCCESS);
  ASSERT_EQ(Write16(0x98, 0x0008), BT_SUCCESS);  // channel 1 in FIFO mode

  ASSERT_EQ(Write16(0x9E, 0x00FF), BT_SUCCESS);  // retransmission on (CSR2 bit 9 clear)
  EXPECT_EQ(crate.BGoSignalCount(1), 1u);
  EXPECT_EQ(crate.BGoFifoSize(1), 3u);
  auto log = crate.BChannelCycles();
  ASSERT_EQ(log.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(log[i].source, Source::Fifo);
    EXPECT_EQ(log[i].channel, 1);
    EXPECT_EQ(log[i].word, words[i]);
  }
  EXPECT_EQ(log[1].command, 0x2A);
  EXPECT_EQ(crate.TTCrxRegister(7, 0), 0x0A);
  EXPECT_EQ(crate.TTCrxRegister(7, 3), 0x93);

  ASSERT_EQ(Write16(0x82, 0x0200), BT_SUCCESS);  // retransmission off for channel 1
  ASSERT_EQ(Write16(0x9E, 0x00FF), BT_SUCCESS);
  EXPECT_EQ(crate.TotalBChannelCycles(), 6u);
  EXPECT_EQ(crate.BGoFifoSize(1), 0u);
  EXPECT_EQ(Read16(0x82), 0x0255);
  ASSERT_EQ(Write16(0x9E, 0x00FF), BT_SUCCESS);
  EXPECT_EQ(crate.TotalBChannelCycles(), 6u) << "nothing left to send";
}

TEST_F(SimModule, SignalOutsideFifoModeSendsNothing) {
  Fill(0xBC, 2, 0x80000000);
  ASSERT_EQ(Write16(0xA8, 0x0007), BT_SUCCESS);  // enable, async, repetitive; no FIFO
  ASSERT_EQ(Write16(0xAE, 0x00FF), BT_SUCCESS);
  EXPECT_EQ(crate.BGoSignalCount(3), 1u);
  EXPECT_EQ(crate.BGoSignalCount(0), 0u);
  EXPECT_TRUE(crate.BChannelCycles().empty());
  EXPECT_EQ(crate.BGoFifoSize(3), 2u);
}

TEST_F(SimModule, BChannelLogIsBounded) {
  const std::size_t extra = 5;
  for (std::size_t i = 0; i < sim::kBChannelLogCapacity + extra; ++i)
    ASSERT_EQ(Write16(0xC4, static_cast<std::uint16_t>(i & 0xFF)), BT_SUCCESS);
  const auto log = crate.BChannelCycles();
  ASSERT_EQ(log.size(), sim::kBChannelLogCapacity);
  EXPECT_EQ(log.front().command, extra);
  EXPECT_EQ(crate.TotalBChannelCycles(), sim::kBChannelLogCapacity + extra);
  crate.ClearBChannelCycles();
  EXPECT_TRUE(crate.BChannelCycles().empty());
  EXPECT_EQ(crate.TotalBChannelCycles(), 0u);
}

TEST_F(SimModule, InspectionOfAChannelOutOfRangeIsEmpty) {
  for (int channel : {-1, 4, 1000}) {
    EXPECT_EQ(crate.BGoMode(channel), 0);
    EXPECT_EQ(crate.BGoFifoSize(channel), 0u);
    EXPECT_TRUE(crate.BGoFifo(channel).empty());
    EXPECT_EQ(crate.InhibitDelay(channel), 0);
    EXPECT_EQ(crate.BGoSignalCount(channel), 0u);
    EXPECT_EQ(crate.BGoLostWords(channel), 0u);
  }
  EXPECT_EQ(crate.LastWritten(0x88), 0);
  EXPECT_EQ(crate.WriteCount(0x1000), 0u);
  EXPECT_EQ(crate.TTCrxRegister(0x1234, -1), 0);
  EXPECT_EQ(crate.TTCrxRegister(0xFFFF, 3), 0x93) << "addresses are 14 bits";
}

}  // namespace
