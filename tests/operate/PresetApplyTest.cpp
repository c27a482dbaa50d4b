#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "operate/PresetApply.h"
#include "support/RecordingVME.h"

namespace {

constexpr std::uint32_t kBase = 0xEE0000;

// Writes down the target's steps between the module's register writes
// ("W80=300D": offset and value), in the order they come.
class StepLog : public PresetTarget {
 public:
  explicit StepLog(RecordingVME& bus) : Bus(bus) {}

  std::vector<std::string> Steps() {
    TakeWrites();
    return Steps_;
  }

  void Show(const PreSettings& preset) override {
    Add("Show rate " + std::to_string(preset.RanGenRate) + " rx " + preset.RxName);
  }
  std::int32_t RxAddress() override {
    Add("RxAddress");
    return 5;
  }
  void ReloadBGoTab() override { Add("ReloadBGoTab"); }
  void FifoLoaded(int channel) override { Add("FifoLoaded " + std::to_string(channel)); }

 private:
  void Add(const std::string& step) {
    TakeWrites();
    Steps_.push_back(step);
  }
  void TakeWrites() {
    for (const RecordingVME::Access& access : Bus.Log) {
      if (access.kind != 'W') continue;
      std::ostringstream write;
      write << std::uppercase << std::hex << 'W' << access.address - kBase;
      // FIFO words are told apart by their count alone.
      if (access.width == 16) write << '=' << access.value;
      Steps_.push_back(write.str());
    }
    Bus.Log.clear();
  }
  RecordingVME& Bus;
  std::vector<std::string> Steps_;
};

TEST(PresetApply, ShowsEverythingThenSendsInItsOrder) {
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
  preset.RxName = "Rx1";
  preset.RxControlRegister = 0x93;
  preset.BGoSettings[1][PreSettings::kRetransmitOff] = true;
  // Calibration comes with channel 2 only, whatever the other channels hold.
  preset.Calibration = true;
  for (auto& flags : preset.BGoSettings)
    flags[PreSettings::kEnable] = flags[PreSettings::kFIFO] = true;
  preset.Sequences[2] = BGoWords(3);
  preset.Sequences[3] = BGoWords(1);

  RecordingVME bus;
  TTTCvi module(&bus, kBase);
  bus.Log.clear();
  ModuleSender sender(module);
  StepLog log(bus);
  ApplyPreset(preset, sender, log);
  const std::vector<std::string> expected = {"Show rate 3 rx Rx1",
                                             "W80=3000",
                                             "W80=3000",
                                             "W80=3005",
                                             "W80=300D",  // rate, rate and source, orbit
                                             "W92=0",
                                             "W94=0",
                                             "W9A=0",
                                             "W9C=0",
                                             "WA2=0",
                                             "WA4=0",
                                             "WAA=7",
                                             "WAC=8",
                                             "RxAddress",
                                             "WC0=800A",
                                             "WC2=1D",  // deskew 1
                                             "RxAddress",
                                             "WC0=800A",
                                             "WC2=12C",  // deskew 2
                                             "RxAddress",
                                             "WC0=800A",
                                             "WC2=243",  // coarse delays
                                             "W90=9",
                                             "W98=9",
                                             "WA0=19",
                                             "WA8=9",  // modes
                                             "RxAddress",
                                             "WC0=800A",
                                             "WC2=393",  // control register
                                             "W82=200",  // retransmit
                                             "ReloadBGoTab",
                                             "W82=F200",  // FIFO reset
                                             "WB8",
                                             "WB8",
                                             "WB8",
                                             "FifoLoaded 2",
                                             "WBC",
                                             "FifoLoaded 3"};
  EXPECT_EQ(log.Steps(), expected);
}

TEST(PresetApply, EmptySequencesLoadNothingButTheFifosAreStillReset) {
  RecordingVME bus;
  TTTCvi module(&bus, kBase);
  ModuleSender sender(module);
  StepLog log(bus);
  ApplyPreset(PreSettings{}, sender, log);
  EXPECT_EQ(log.Steps().back(), "W82=F000");
}

TEST(PresetApply, ValuesComeIntoTheRangesTheControlsHold) {
  struct Case {
    const char* what;
    void (*set)(PreSettings&);
    int (*get)(const PreSettings&);
    int shown;
  };
  const Case cases[] = {
      {"rate past the list", [](PreSettings& p) { p.RanGenRate = 8; },
       [](const PreSettings& p) { return p.RanGenRate; }, -1},
      {"trigger source past the list", [](PreSettings& p) { p.TriggerSource = 7; },
       [](const PreSettings& p) { return p.TriggerSource; }, -1},
      {"negative source", [](PreSettings& p) { p.TriggerSource = -2; },
       [](const PreSettings& p) { return p.TriggerSource; }, -1},
      {"12-bit delay", [](PreSettings& p) { p.InhibitDelay[1] = 5000; },
       [](const PreSettings& p) { return p.InhibitDelay[1]; }, 4095},
      {"8-bit duration", [](PreSettings& p) { p.InhibitDuration[2] = 256; },
       [](const PreSettings& p) { return p.InhibitDuration[2]; }, 255},
      {"negative delay", [](PreSettings& p) { p.InhibitDelay[0] = -1; },
       [](const PreSettings& p) { return p.InhibitDelay[0]; }, 0},
      {"deskew", [](PreSettings& p) { p.Deskew2 = 240; },
       [](const PreSettings& p) { return p.Deskew2; }, 239},
      {"coarse delay", [](PreSettings& p) { p.CoarDel1 = 16; },
       [](const PreSettings& p) { return p.CoarDel1; }, 15},
  };
  for (const Case& c : cases) {
    PreSettings preset;
    c.set(preset);
    EXPECT_EQ(c.get(PresetAsShown(preset)), c.shown) << c.what;
  }
}

}  // namespace
