#include <gtest/gtest.h>

#include "support/RecordingVME.h"
#include "ttcvi/BChannelWord.h"
#include "ttcvi/TTTCvi.h"
#include "vme/VMEErrors.h"

namespace {

constexpr std::uint32_t kBase = 0xFF1000;
constexpr std::uint32_t kCSR1 = kBase + 0x80;
constexpr std::uint32_t kCSR2 = kBase + 0x82;

using Log = std::vector<RecordingVME::Access>;

class TTTCviTest : public testing::Test {
 protected:
  // The last write the module made.
  RecordingVME::Access Last() const { return Vme.Log.back(); }
  RecordingVME Vme;
  TTTCvi Module{&Vme, kBase};
};

TEST_F(TTTCviTest, ConstructionTouchesNoRegisterAndClearsShadows) {
  EXPECT_TRUE(Vme.Log.empty());
  EXPECT_TRUE(Module.CSR1Shadow.none());
  EXPECT_TRUE(Module.CSR2Shadow.none());
  EXPECT_EQ(Module.BaseAddress, kBase);
  for (const auto& channel : Module.BGo) ASSERT_NE(channel, nullptr);
}

TEST_F(TTTCviTest, ResetWritesZeroAndLeavesShadows) {
  Module.SetOrbitSignal(true);
  Module.Reset();
  Module.SetTriggerSource(1);
  EXPECT_EQ(Vme.Log, (Log{W16(kCSR1, 0x0008), W16(kBase + 0x84, 0), W16(kCSR1, 0x0009)}));
}

TEST_F(TTTCviTest, FirstOrbitSelectWritesOnlyBit3) {
  Module.SetOrbitSignal(true);
  EXPECT_EQ(Vme.Log, Log{W16(kCSR1, 0x0008)});
  Module.SetOrbitSignal(false);
  EXPECT_EQ(Last(), W16(kCSR1, 0x0000));
}

TEST_F(TTTCviTest, CSR1FieldsKeepEachOther) {
  Module.SetRandomRate(2);
  Module.SetTriggerSource(5);
  EXPECT_EQ(Last(), W16(kCSR1, 0x2005));
  Module.SetOrbitSignal(true);
  EXPECT_EQ(Last(), W16(kCSR1, 0x200D));
  Module.SetRandomRate(7);
  EXPECT_EQ(Last(), W16(kCSR1, 0x700D));
  Module.SetTriggerSource(0);
  EXPECT_EQ(Last(), W16(kCSR1, 0x7008));
}

TEST_F(TTTCviTest, OnlyTheLowThreeBitsOfSourceAndRateCount) {
  Module.SetTriggerSource(-1);
  EXPECT_EQ(Last(), W16(kCSR1, 0x0007));
  Module.SetTriggerSource(0x0E);  // bit 3 must not reach the orbit select
  EXPECT_EQ(Last(), W16(kCSR1, 0x0006));
  Module.SetRandomRate(9);  // bit 3 must not reach bit 15
  EXPECT_EQ(Last(), W16(kCSR1, 0x1006));
  Module.SetRandomRate(-1);
  EXPECT_EQ(Last(), W16(kCSR1, 0x7006));
}

TEST_F(TTTCviTest, L1AFIFOResetIsAPulse) {
  Module.SetOrbitSignal(true);
  Module.ResetL1AFIFO(true);
  Module.SetTriggerSource(1);
  EXPECT_EQ(Vme.Log, (Log{W16(kCSR1, 0x0008), W16(kCSR1, 0x0048), W16(kCSR1, 0x0009)}));
  EXPECT_FALSE(Module.CSR1Shadow[6]);
}

TEST_F(TTTCviTest, VMETriggerSelectsSourceFourThenFires) {
  Module.SetTriggerSource(5);
  Module.SetRandomRate(0);
  Vme.Log.clear();
  Module.VMETrigger();
  EXPECT_EQ(Vme.Log, (Log{W16(kCSR1, 0x0004), W16(kBase + 0x86, 0x000F)}));
  Module.SetRandomRate(3);
  EXPECT_EQ(Last(), W16(kCSR1, 0x3004));
}

TEST_F(TTTCviTest, SelectingSourceFourAloneFiresNothing) {
  Module.SetTriggerSource(4);
  EXPECT_EQ(Vme.Log, Log{W16(kCSR1, 0x0004)});
}

TEST_F(TTTCviTest, BGoFIFOResetIsAPulseCarryingRetransmitBits) {
  Module.ResetBGoFIFOs(0b0101);
  EXPECT_EQ(Last(), W16(kCSR2, 0x5000));
  Module.SetRetransmit(0b1000);
  EXPECT_EQ(Last(), W16(kCSR2, 0x0800));
  Module.ResetBGoFIFOs(0b0010);
  EXPECT_EQ(Last(), W16(kCSR2, 0x2800));
  Module.SetRetransmit(0b1001);
  EXPECT_EQ(Last(), W16(kCSR2, 0x0900));
  EXPECT_EQ(Vme.Log.size(), 4u);
}

TEST_F(TTTCviTest, ReadsReturnTheRegisterAndNeverLoadShadows) {
  Vme.SetReadValue(kCSR1, 0xFFFF);
  Vme.SetReadValue(kCSR2, 0xA5A5);
  EXPECT_EQ(Module.ReadCSR1(), 0xFFFF);
  EXPECT_EQ(Module.ReadCSR2(), 0xA5A5);
  Module.SetOrbitSignal(false);
  Module.SetRetransmit(0);
  EXPECT_EQ(Vme.Log, (Log{R16(kCSR1, 0xFFFF), R16(kCSR2, 0xA5A5), W16(kCSR1, 0), W16(kCSR2, 0)}));
}

TEST_F(TTTCviTest, WriteCSRWritesTheValueGiven) {
  Module.WriteCSR1(0xBEEF);
  Module.WriteCSR2(0x1234);
  EXPECT_EQ(Vme.Log, (Log{W16(kCSR1, 0xBEEF), W16(kCSR2, 0x1234)}));
}

TEST_F(TTTCviTest, InhibitValuesAreNotMasked) {
  Module.SetInhibit1(0xFFFF, 0x1234);
  Module.SetInhibit3(-1, 0x10000 + 5);  // only the 16-bit cut applies
  EXPECT_EQ(Vme.Log, (Log{W16(kBase + 0x9A, 0xFFFF), W16(kBase + 0x9C, 0x1234),
                          W16(kBase + 0xAA, 0xFFFF), W16(kBase + 0xAC, 0x0005)}));
}

TEST_F(TTTCviTest, LongAsyncCycleWritesBothHalvesOfTheWord) {
  Module.SendLongAsync(0x1234, 3, 0x93);
  Module.SendLongAsyncExternal(0x1234, 3, 0x93);
  EXPECT_EQ(Vme.Log, (Log{W16(kBase + 0xC0, 0xA468), W16(kBase + 0xC2, 0x0393),
                          W16(kBase + 0xC0, 0xA469), W16(kBase + 0xC2, 0x0393)}));
}

TEST_F(TTTCviTest, LongAsyncFieldsAreCut) {
  struct Case {
    int address, subaddress, data;
    bool external;
    std::uint32_t first, second;
  } const cases[] = {
      {0x7FFF, 0, 0, false, 0xFFFE, 0x0000},  // address to 14 bits
      {0, 300, -1, false, 0x8000, 0x2CFF},    // subaddress 300 -> 0x2C, data -1 -> 0xFF
      {-1, 0x1FF, 0x100, true, 0xFFFF, 0xFF00},
      {0x0001, 0, 0, false, 0x8002, 0x0000},  // E clear: bit 0 of 0xC0 clear
  };
  for (const auto& c : cases) {
    Vme.Log.clear();
    if (c.external) {
      Module.SendLongAsyncExternal(c.address, c.subaddress, c.data);
    } else {
      Module.SendLongAsync(c.address, c.subaddress, c.data);
    }
    EXPECT_EQ(Vme.Log, (Log{W16(kBase + 0xC0, c.first), W16(kBase + 0xC2, c.second)}))
        << "address " << c.address << " sub " << c.subaddress << " data " << c.data;
  }
}

TEST_F(TTTCviTest, LongAsyncMatchesTheFIFOWord) {
  for (int address : {0, 0x0ABC, 0x2001, 0x3FFF}) {
    for (bool external : {false, true}) {
      Vme.Log.clear();
      external ? Module.SendLongAsyncExternal(address, 0xC5, 0x3A)
               : Module.SendLongAsync(address, 0xC5, 0x3A);
      const auto word = MakeLongWord(address, external, 0xC5, 0x3A).to_ulong();
      EXPECT_EQ(Vme.Log, (Log{W16(kBase + 0xC0, word >> 16), W16(kBase + 0xC2, word & 0xFFFF)}));
      // Independent of the codec: the register layout of the first word.
      EXPECT_EQ(Vme.Log[0].value, 0x8000u + ((address & 0x3FFFu) << 1) + external);
    }
  }
}

TEST_F(TTTCviTest, ShortAsyncWritesTheCommandAsEntered) {
  Module.SendShortAsync(0x2A);
  Module.SendShortAsync(999);
  Module.SendShortAsync(0x12345);
  EXPECT_EQ(Vme.Log,
            (Log{W16(kBase + 0xC4, 0x002A), W16(kBase + 0xC4, 0x03E7), W16(kBase + 0xC4, 0x2345)}));
}

TEST_F(TTTCviTest, TrigWordAddressThenControl) {
  struct Case {
    int address, subaddress;
    bool external, enable;
    std::uint32_t addressWord, control;
  } const cases[] = {
      {0x1234, 0xFF, true, true, 0x1234, 0x03FC},
      {0x1234, 0xFF, false, false, 0x1234, 0x00FC},
      {0x1234, 0x01, true, false, 0x1234, 0x0104},
      {0x1234, 0x40, false, true, 0x1234, 0x0200},  // subaddress cut to 6 bits
      {0xC123, 0, false, true, 0xC123, 0x0200},     // address not cut to 14 bits
      {0x1FFFF, 0x3F, false, false, 0xFFFF, 0x00FC},
      {0, 0, false, false, 0, 0},  // disabling writes zeros to both
  };
  for (const auto& c : cases) {
    Vme.Log.clear();
    Module.SetTrigWord(c.address, c.subaddress, c.external, c.enable);
    EXPECT_EQ(Vme.Log, (Log{W16(kBase + 0xC8, c.addressWord), W16(kBase + 0xCA, c.control)}))
        << std::hex << "address 0x" << c.address << " sub 0x" << c.subaddress;
  }
}

TEST(TTTCviAddress, BasePlusOffsetWrapsAt32Bits) {
  RecordingVME vme;
  TTTCvi module(&vme, 0xFFFFFFC0);
  module.WriteCSR1(1);
  module.SendShortAsync(2);
  EXPECT_EQ(vme.Log, (Log{W16(0x40, 1), W16(0x84, 2)}));
}

// --- Failures ----------------------------------------------------------------

TEST_F(TTTCviTest, FailedWriteRaisesUnchangedAndStopsTheOperation) {
  struct Case {
    const char* name;
    void (*operation)(TTTCvi&);
    std::size_t failingAccess;
    Log madeBefore;
  } const cases[] = {
      {"VMETrigger CSR1", [](TTTCvi& m) { m.VMETrigger(); }, 0, {}},
      {"VMETrigger L1A", [](TTTCvi& m) { m.VMETrigger(); }, 1, {W16(kCSR1, 4)}},
      {"SetInhibit0 delay", [](TTTCvi& m) { m.SetInhibit0(1, 2); }, 0, {}},
      {"SetInhibit0 duration", [](TTTCvi& m) { m.SetInhibit0(1, 2); }, 1, {W16(kBase + 0x92, 1)}},
      {"SendLongAsync first", [](TTTCvi& m) { m.SendLongAsync(0, 0, 0); }, 0, {}},
      {"SendLongAsync second",
       [](TTTCvi& m) { m.SendLongAsync(0x1234, 3, 0x93); },
       1,
       {W16(kBase + 0xC0, 0xA468)}},
      {"SetTrigWord address", [](TTTCvi& m) { m.SetTrigWord(1, 1, true, true); }, 0, {}},
      {"SetTrigWord control",
       [](TTTCvi& m) { m.SetTrigWord(1, 1, true, true); },
       1,
       {W16(kBase + 0xC8, 1)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingVME vme;
    TTTCvi module(&vme, kBase);
    vme.FailAccess(c.failingAccess);
    try {
      c.operation(module);
      ADD_FAILURE() << "no error raised";
    } catch (const EVMEWrite& error) {
      EXPECT_STREQ(error.what(), "VME Error: write error device recordingInjected write failure");
    }
    EXPECT_EQ(vme.Log, c.madeBefore);
  }
}

TEST_F(TTTCviTest, OrdinaryBitsOfAFailedWriteGoOutWithTheNext) {
  Vme.FailAccess(0);
  EXPECT_THROW(Module.SetOrbitSignal(true), EVMEWrite);
  Vme.FailAccess(0);
  EXPECT_THROW(Module.SetRetransmit(0b0100), EVMEWrite);
  EXPECT_TRUE(Vme.Log.empty());
  Module.SetTriggerSource(1);
  Module.ResetBGoFIFOs(0);
  EXPECT_EQ(Vme.Log, (Log{W16(kCSR1, 0x0009), W16(kCSR2, 0x0400)}));
}

TEST_F(TTTCviTest, FailedL1AFIFOResetDoesNotRideAlong) {
  Module.SetOrbitSignal(true);
  Vme.FailAccess(0);
  EXPECT_THROW(Module.ResetL1AFIFO(true), EVMEWrite);
  EXPECT_FALSE(Module.CSR1Shadow[6]);
  Module.SetTriggerSource(1);
  EXPECT_EQ(Vme.Log, (Log{W16(kCSR1, 0x0008), W16(kCSR1, 0x0009)}));
}

TEST_F(TTTCviTest, FailedBGoFIFOResetDoesNotRideAlong) {
  Module.SetRetransmit(0b0001);
  Vme.FailAccess(0);
  EXPECT_THROW(Module.ResetBGoFIFOs(0b1111), EVMEWrite);
  Module.SetRetransmit(0b0011);
  EXPECT_EQ(Vme.Log, (Log{W16(kCSR2, 0x0100), W16(kCSR2, 0x0300)}));
}

TEST_F(TTTCviTest, FailedReadChangesNoShadow) {
  Module.SetOrbitSignal(true);
  Module.SetRetransmit(0b0010);
  Vme.SetReadValue(kCSR1, 0xFFFF);
  Vme.SetReadValue(kCSR2, 0xFFFF);
  Vme.FailAccess(0);
  EXPECT_THROW(Module.ReadCSR1(), EVMERead);
  Vme.FailAccess(0);
  EXPECT_THROW(Module.ReadCSR2(), EVMERead);
  EXPECT_EQ(Module.CSR1Shadow.to_ulong(), 0x0008u);
  EXPECT_EQ(Module.CSR2Shadow.to_ulong(), 0x0200u);
  EXPECT_EQ(Vme.Log.size(), 2u);
}

}  // namespace

namespace {

// A program that did not write the registers takes their owned fields from a
// read-back: status and pulse bits must never go back to the module.
TEST_F(TTTCviTest, ShadowsLoadedFromReadBackKeepOnlyOwnedFields) {
  Module.LoadCSR1Shadow(0xFFFF);  // every bit set, pulse and status bits too
  Module.SetTriggerSource(2);
  EXPECT_EQ(Last(), W16(kCSR1, 0x700A));  // rate 7, orbit, source 2; bit 6 and others 0
  Module.LoadCSR2Shadow(0xA5FF);          // FIFO status bits and a reset pulse read back
  Module.ResetBGoFIFOs(std::bitset<4>("0001"));
  EXPECT_EQ(Last(), W16(kCSR2, 0x1500));  // retransmit bits 11..8 kept, pulse for channel 0
  Module.LoadCSR2Shadow(0x0000);
  Module.SetRetransmit(std::bitset<4>("0000"));
  EXPECT_EQ(Last(), W16(kCSR2, 0x0000));
}

}  // namespace
