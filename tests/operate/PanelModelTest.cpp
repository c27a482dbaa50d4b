#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "operate/PanelModel.h"
#include "support/RecordingVME.h"

namespace {

constexpr std::uint32_t kBase = 0xEE0000;

// A panel on a recording bus whose writes, and the notices given on the way,
// read as one list of steps ("W80=300D": offset and value; FIFO words by
// their register alone).
class ModelOnBus : public PanelListener {
 public:
  explicit ModelOnBus(StoredConfiguration stored = {})
      : Module(&Bus, kBase), Sender(Module), Model(Sender, WithBase(std::move(stored))) {
    Model.AddListener(*this);
    Bus.Log.clear();
  }

  std::vector<std::string> Steps() {
    TakeWrites();
    return std::exchange(Steps_, {});
  }
  void FifoLoaded(int channel) override {
    TakeWrites();
    Steps_.push_back("FifoLoaded " + std::to_string(channel));
  }

  RecordingVME Bus;
  TTTCvi Module;
  ModuleSender Sender;
  PanelModel Model;

 private:
  static StoredConfiguration WithBase(StoredConfiguration stored) {
    stored.TTCviAddress = kBase;
    return stored;
  }
  void TakeWrites() {
    for (const RecordingVME::Access& access : Bus.Log) {
      if (access.kind != 'W') continue;
      std::ostringstream write;
      write << std::uppercase << std::hex << 'W' << access.address - kBase;
      if (access.width == 16) write << '=' << access.value;
      Steps_.push_back(write.str());
    }
    Bus.Log.clear();
  }
  std::vector<std::string> Steps_;
};

PreSettings ExamplePreset() {
  PreSettings preset;
  preset.RanGenRate = 3;
  preset.TriggerSource = 5;
  preset.OrbitSignal = true;
  preset.InhibitDelay[3] = 7;
  preset.InhibitDuration[3] = 8;
  preset.Deskew1 = 1;
  preset.Deskew2 = 2;
  preset.CoarDel1 = 3;
  preset.CoarDel2 = 4;
  preset.RxName = "rx1";  // the list is searched without regard to case
  preset.RxControlRegister = 0x93;
  preset.BGoSettings[0][PreSettings::kRetransmitOff] = true;
  preset.Calibration = true;
  for (auto& flags : preset.BGoSettings)
    flags[PreSettings::kEnable] = flags[PreSettings::kFIFO] = true;
  preset.Sequences[2] = BGoWords(3);
  preset.Sequences[3] = BGoWords(1);
  return preset;
}

StoredConfiguration ExampleFile() {
  StoredConfiguration stored;
  stored.RxAddresses = {"Rx0=7", "Rx1=5"};
  stored.Presets = {{"Physics", ExamplePreset()}};
  return stored;
}

TEST(PanelModel, StartUpResetsThenClearsTheModesThenWritesTheOrbit) {
  ModelOnBus panel(ExampleFile());
  panel.Model.StartUp();
  EXPECT_EQ(panel.Steps(),
            (std::vector<std::string>{"W84=0", "W90=0", "W98=0", "WA0=0", "WA8=0", "W80=8"}));
  EXPECT_EQ(panel.Model.State().SelectedRx, 0);  // the target, nothing sent to it
}

TEST(PanelModel, ApplySendsEveryControlInItsOrderWithTheTabReloadAndTheNotices) {
  ModelOnBus panel(ExampleFile());
  panel.Model.ApplyPreset(0);
  const std::vector<std::string> expected = {
      "W80=3000", "W80=3000", "W80=3005", "W80=300D",  // rate, rate and source, orbit
      "W92=0",    "W94=0",    "W9A=0",    "W9C=0",        "WA2=0", "WA4=0",
      "WAA=7",    "WAC=8",    "WC0=800A", "WC2=1D",  // deskew 1 of Rx1 (address 5)
      "WC0=800A", "WC2=12C",                         // deskew 2
      "WC0=800A", "WC2=243",                         // coarse delays
      "W90=9",    "W98=9",    "WA0=19",   "WA8=9",   // modes, calibration on channel 2 only
      "WC0=800A", "WC2=393",                         // control register
      "W82=100",                                     // retransmit
      "W82=100",   // the page's Retransmit box of channel 0 follows: once more
      "W82=F100",  // FIFO reset
      "WB8",      "WB8",      "WB8",      "FifoLoaded 2", "WBC",   "FifoLoaded 3"};
  EXPECT_EQ(panel.Steps(), expected);
  const PanelState& state = panel.Model.State();
  EXPECT_EQ(state.SelectedRx, 1);
  EXPECT_TRUE(state.RateEnabled);
  EXPECT_EQ(state.ControlRegisterShown, std::bitset<8>(0x93));
  EXPECT_FALSE(state.RetransmitBox);
}

TEST(PanelModel, AFailedApplyShowsThePresetButOnlyWhatWasSentAsSent) {
  struct Case {
    const char* what;
    void (*prepare)(ModelOnBus&);
    bool sourceSent;
    std::size_t writes;
  };
  const Case cases[] = {
      {"first CSR1 write refused", [](ModelOnBus& p) { p.Bus.FailAccess(0); }, false, 0},
      {"the preset's TTCrx is not in the list", [](ModelOnBus& p) { p.Model.DeleteRxAddress(1); },
       true, 12},
  };
  for (const Case& c : cases) {
    ModelOnBus panel(ExampleFile());
    panel.Model.SelectRx(0);
    panel.Model.SetControlRegisterBoxes(0x01);
    panel.Model.SendControlRegister(0x01);
    panel.Steps();
    c.prepare(panel);
    EXPECT_THROW(panel.Model.ApplyPreset(0), Exception) << c.what;
    EXPECT_EQ(panel.Steps().size(), c.writes) << c.what;
    const PanelState& state = panel.Model.State();
    // The controls show the preset...
    EXPECT_EQ(state.TriggerSource, 5) << c.what;
    EXPECT_EQ(state.Selectors[PanelModel::kCoarseDelay2], 4) << c.what;
    EXPECT_EQ(state.ControlRegisterBoxes, std::bitset<8>(0x93)) << c.what;
    // ...but what shows a write shows only the writes made.
    EXPECT_EQ(state.RateEnabled, c.sourceSent) << c.what;
    EXPECT_EQ(state.ControlRegisterShown, std::bitset<8>(0x01)) << c.what;
  }
}

TEST(PanelModel, ShowingAChannelWritesCsr2OnlyWhenItsRetransmitBoxChanges) {
  ModelOnBus panel;
  panel.Model.ShowChannel(1);
  panel.Model.SetRetransmitBox(false);  // channel 1 off
  EXPECT_EQ(panel.Steps(), std::vector<std::string>{"W82=200"});
  panel.Model.ShowChannel(2);  // box ticks again: same bits once more
  panel.Model.ShowChannel(3);  // no change, no write
  EXPECT_EQ(panel.Steps(), std::vector<std::string>{"W82=200"});
}

TEST(PanelModel, AModeBoxIsRememberedOnlyOnceTheModuleTookIt) {
  ModelOnBus panel;
  panel.Model.ShowChannel(2);
  panel.Bus.FailAllWrites();
  EXPECT_THROW(panel.Model.SetModeBox(0, true), Exception);
  panel.Bus.FailAllWrites(false);
  panel.Model.ShowChannel(1);
  panel.Model.ShowChannel(2);
  EXPECT_FALSE(panel.Model.State().ModeBoxes[0]);
}

// The CSR, inhibit, TTCrx and cycle controls: what each sends, with the
// second TTCrx of the list (address 5) selected.
TEST(PanelModel, EachControlSendsItsWrites) {
  struct Case {
    const char* what;
    void (*act)(PanelModel&);
    std::vector<std::string> steps;
  };
  const Case cases[] = {
      {"a rate shown by code goes with the next source",
       [](PanelModel& m) {
         m.ShowRate(3);
         m.ChooseTriggerSource(5);
       },
       {"W80=3000", "W80=3005"}},
      {"a typed rate that is no item", [](PanelModel& m) { m.ChooseRate(-1); }, {"W80=7000"}},
      {"inhibits brought into range",
       [](PanelModel& m) {
         m.SetInhibitDelay(3, 5000);
         m.SetInhibitDuration(3, -1);
         m.SendInhibits();
       },
       {"W92=0", "W94=0", "W9A=0", "W9C=0", "WA2=0", "WA4=0", "WAA=FFF", "WAC=0"}},
      {"coarse delay 2 goes out with coarse delay 1",
       [](PanelModel& m) {
         m.SetSelector(PanelModel::kCoarseDelay1, 3);
         m.SetSelector(PanelModel::kCoarseDelay2, 20);
       },
       {"WC0=800A", "WC2=203", "WC0=800A", "WC2=2F3"}},
      {"long format, external subaddress",
       [](PanelModel& m) { m.SendLong(true, 0x12, 0x34); },
       {"WC0=800B", "WC2=1234"}},
      {"TRIGWORD disarmed",
       [](PanelModel& m) { m.SetTrigWordEnabled(false, 0, true); },
       {"WC8=0", "WCA=0"}},
  };
  for (const Case& c : cases) {
    ModelOnBus panel(ExampleFile());
    panel.Model.SelectRx(1);
    c.act(panel.Model);
    EXPECT_EQ(panel.Steps(), c.steps) << c.what;
  }
}

TEST(PanelModel, WithoutATTCrxASelectorKeepsItsValueAndSendsNothing) {
  ModelOnBus panel(ExampleFile());
  panel.Model.SelectRx(-1);
  EXPECT_THROW(panel.Model.SetSelector(PanelModel::kDeskew2, 300), Exception);
  EXPECT_EQ(panel.Model.State().Selectors[PanelModel::kDeskew2], 239);
  EXPECT_TRUE(panel.Steps().empty());
}

}  // namespace

namespace {

TEST(PanelModel, ApplyWithoutSequencesLoadsNothingButStillResetsEveryFifo) {
  StoredConfiguration file = ExampleFile();
  file.Presets[0].Settings.Sequences = {};
  ModelOnBus panel(file);
  panel.Model.ApplyPreset(0);
  const std::vector<std::string> steps = panel.Steps();
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(steps.back(), "W82=F100");
}

}  // namespace

namespace {

// Refuses the next access once the shown channel's boxes have changed: the
// page's reload during Apply, whose Retransmit box writes CSR2.
struct RefuseAfterReload : PanelListener {
  explicit RefuseAfterReload(ModelOnBus& panel) : Panel(panel) {}
  void Changed(PanelPart part) override {
    if (part == PanelPart::BGoPage && Panel.Model.State().ModeBoxes[0] != Enabled) {
      Enabled = Panel.Model.State().ModeBoxes[0];
      Panel.Bus.FailAccess(0);
    }
  }
  ModelOnBus& Panel;
  bool Enabled = false;
};

TEST(PanelModel, AFailedWriteOfThePagesReloadStopsApply) {
  StoredConfiguration file = ExampleFile();
  file.Presets[0].Settings.BGoSettings[1] = {};  // channel 1 shown: its boxes clear
  file.Presets[0].Settings.BGoSettings[1][PreSettings::kRetransmitOff] = true;
  ModelOnBus panel(file);
  panel.Model.ShowChannel(1);
  panel.Model.SetModeBox(0, true);
  RefuseAfterReload refuse(panel);
  refuse.Enabled = true;
  panel.Model.AddListener(refuse);
  panel.Steps();
  EXPECT_THROW(panel.Model.ApplyPreset(0), Exception);
  const std::vector<std::string> steps = panel.Steps();
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(steps.back(), "W82=300") << "the retransmit bits, no FIFO reset, no load, no notice";
  EXPECT_FALSE(panel.Model.State().ModeBoxes[0]);
  panel.Model.RemoveListener(refuse);
}

}  // namespace
