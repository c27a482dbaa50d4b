// Asynchronous B-channel cycles and TRIGWORD on the simulated crate: what
// went out on the B channel, what a TTCrx received, what TRIGWORD holds.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "SimPanel.h"

namespace {

class Cycles : public SimPanel {
 protected:
  void SetUp() override {
    SimPanel::SetUp();
    AddRx("Rx", "5");
    Crate().ClearCycles();
  }
  static const sim::BChannelCycle& LastCycle() {
    static sim::BChannelCycle none;
    const auto cycles = sim::Crate::Instance().BChannelCycles();
    none = cycles.empty() ? sim::BChannelCycle{} : cycles.back();
    return none;
  }
};

TEST_F(Cycles, LongFormatFieldsAreCutToTheirBits) {
  struct Case {
    const char* subaddress;
    const char* data;
    bool external;
    std::uint8_t sentSubaddress;
    std::uint8_t sentData;
  };
  const Case cases[] = {{"300", "-1", true, 0x2C, 0xFF},
                        {"x10", "$7F", true, 0x10, 0x7F},
                        {"3", "147", false, 3, 0x93}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.subaddress);
    Find<QCheckBox>("chbLFACExt")->setChecked(c.external);
    Type("eLFACSubaddr", QString::fromLatin1(c.subaddress));
    Type("eLFACData", QString::fromLatin1(c.data));
    Click("bLFACSend");
    const sim::BChannelCycle& cycle = LastCycle();
    EXPECT_TRUE(cycle.longFormat);
    EXPECT_EQ(cycle.ttcrxAddress, 5);
    EXPECT_EQ(cycle.external, c.external);
    EXPECT_EQ(cycle.subaddress, c.sentSubaddress);
    EXPECT_EQ(cycle.data, c.sentData);
    EXPECT_EQ(Crate().LastWritten(0xC0), 0x800A | (c.external ? 1 : 0));
  }
  // With E = 0 the cycle reached a register inside TTCrx 5.
  EXPECT_EQ(Crate().TTCrxRegister(5, 3), 0x93);
  EXPECT_EQ(Crate().TTCrxWriteCount(5), 1u);
}

TEST_F(Cycles, ExternalBoxCaptionFollowsItsState) {
  auto* box = Find<QCheckBox>("chbLFACExt");
  EXPECT_EQ(box->text(), QStringLiteral("External subadres"));
  box->click();
  EXPECT_EQ(box->text(), QStringLiteral("Write Rx"));
  box->click();
  EXPECT_EQ(box->text(), QStringLiteral("External Subaddr"));
}

TEST_F(Cycles, InvalidTextStopsBeforeAnyWrite) {
  struct Case {
    const char* edit;
    const char* button;
  };
  const Case cases[] = {{"eLFACData", "bLFACSend"},
                        {"eLFACSubaddr", "bLFACSend"},
                        {"eSFACCommand", "bSFACSend"},
                        {"eTRIGRegSad", "bTRIGRegSet"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edit);
    const QString before = Find<QLineEdit>(c.edit)->text();
    Type(c.edit, QStringLiteral("1 2"));
    const QString text = AnsweredBox([&] { Click(c.button); });
    EXPECT_EQ(text, QStringLiteral("'1 2' is not a valid integer value."));
    Type(c.edit, before);
  }
  EXPECT_TRUE(Crate().Cycles().empty());
}

TEST_F(Cycles, ShortFormatWritesTheCommandAsEntered) {
  Type("eSFACCommand", QStringLiteral("999"));
  Click("bSFACSend");
  EXPECT_EQ(Crate().LastWritten(0xC4), 0x03E7);
  Type("eSFACCommand", QStringLiteral("x2A"));
  Click("bSFACSend");
  EXPECT_FALSE(LastCycle().longFormat);
  EXPECT_EQ(LastCycle().command, 0x2A);  // the broadcast 42 went out
}

TEST_F(Cycles, TrigWordHoldsAddressAndControl) {
  Type("eTRIGRegSad", QStringLiteral("xFF"));
  Click("bTRIGRegSet");
  EXPECT_EQ(Crate().TrigWordAddress(), 5);
  EXPECT_EQ(Crate().TrigWordControl(), 0x03FC);

  Find<QCheckBox>("chbTrigRegExt")->click();  // external off
  Type("eTRIGRegSad", QStringLiteral("2"));
  Click("bTRIGRegSet");
  EXPECT_EQ(Crate().TrigWordControl(), 0x0208);
}

TEST_F(Cycles, ClearingTheEnableBoxWritesZerosEvenWithABadTextAndGreysTheGroup) {
  Type("eTRIGRegSad", QStringLiteral("zz"));
  Find<QCheckBox>("chbTRIGRegEnable")->click();
  EXPECT_EQ(Crate().Cycles().size(), 2u);
  EXPECT_EQ(Crate().WriteCount(0xC8), 1u);
  EXPECT_EQ(Crate().TrigWordControl(), 0);
  for (const char* name : {"bTRIGRegSet", "eTRIGRegSad", "chbTrigRegExt"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(Find<QWidget>(name)->isEnabled());
  }

  // Ticking it again needs the subaddress: a bad text leaves the group grey.
  const QString text = AnsweredBox([&] { Find<QCheckBox>("chbTRIGRegEnable")->click(); });
  EXPECT_EQ(text, QStringLiteral("'zz' is not a valid integer value."));
  EXPECT_FALSE(Find<QWidget>("bTRIGRegSet")->isEnabled());
  EXPECT_EQ(Crate().Cycles().size(), 2u);
}

TEST_F(Cycles, ARefusedTrigWordWriteLeavesTheGroupAsItWas) {
  // Clearing the box with the write refused: the controls stay usable.
  Crate().FailNext(sim::Call::Write, sim::kStatusInjected);
  EXPECT_FALSE(AnsweredBox([&] { Find<QCheckBox>("chbTRIGRegEnable")->click(); }).isEmpty());
  EXPECT_TRUE(Find<QWidget>("bTRIGRegSet")->isEnabled());

  // Ticked and cleared again, written; then ticked with no TTCrx to
  // address: it stays grey.
  Find<QCheckBox>("chbTRIGRegEnable")->click();
  Find<QCheckBox>("chbTRIGRegEnable")->click();
  Find<QComboBox>("cmbTTC")->setCurrentIndex(-1);
  EXPECT_FALSE(AnsweredBox([&] { Find<QCheckBox>("chbTRIGRegEnable")->click(); }).isEmpty());
  EXPECT_FALSE(Find<QWidget>("eTRIGRegSad")->isEnabled());
}

TEST_F(Cycles, RefusedWriteShowsTheWholeErrorAndTheNextCycleWorks) {
  Crate().FailNext(sim::Call::Write, sim::kStatusInjected);
  const QString text = AnsweredBox([&] { Click("bSFACSend"); });
  EXPECT_EQ(text, QStringLiteral(
                      "VME Error: write error device simbt0/a24: injected failure (status 100)"));
  Click("bSFACSend");
  EXPECT_EQ(Crate().WriteCount(0xC4), 1u);
}

}  // namespace
