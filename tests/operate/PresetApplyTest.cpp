#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "operate/PresetApply.h"

namespace {

// Writes down every step, with its values, in the order they come.
class StepLog : public PresetTarget {
 public:
  std::vector<std::string> Steps;

  void ShowRate(int index) override { Add("ShowRate", index); }
  void ShowTriggerSource(int index) override { Add("ShowTriggerSource", index); }
  void ShowOrbit(bool internal) override { Add("ShowOrbit", internal); }
  void ShowInhibits(const std::array<std::int32_t, 4>& delays,
                    const std::array<std::int32_t, 4>& durations) override {
    Add("ShowInhibits", delays[3] * 1000 + durations[3]);
  }
  void ShowTTCrxValues(int d1, int d2, int c1, int c2) override {
    Steps.push_back("ShowTTCrxValues " + std::to_string(d1) + " " + std::to_string(d2) + " " +
                    std::to_string(c1) + " " + std::to_string(c2));
  }
  void SelectRx(const std::string& name) override { Steps.push_back("SelectRx " + name); }
  void SetBGoFlags(const std::array<std::array<bool, PreSettings::kBGoFlags>, 4>& s) override {
    Add("SetBGoFlags", s[1][PreSettings::kRetransmitOff]);
  }
  void ShowCalibration(bool on) override { Add("ShowCalibration", on); }
  void SetControlRegister(std::bitset<8> value) override {
    Add("SetControlRegister", static_cast<int>(value.to_ulong()));
  }
  void SendRate() override { Steps.push_back("SendRate"); }
  void SendTriggerSource() override { Steps.push_back("SendTriggerSource"); }
  void SendOrbit() override { Steps.push_back("SendOrbit"); }
  void SendInhibits() override { Steps.push_back("SendInhibits"); }
  void SendDeskew1() override { Steps.push_back("SendDeskew1"); }
  void SendDeskew2() override { Steps.push_back("SendDeskew2"); }
  void SendCoarseDelays() override { Steps.push_back("SendCoarseDelays"); }
  void SendMode(int channel, bool e, bool a, bool r, bool f, bool c) override {
    Steps.push_back("SendMode " + std::to_string(channel) + " " + std::to_string(e) +
                    std::to_string(a) + std::to_string(r) + std::to_string(f) + std::to_string(c));
  }
  void SendControlRegister() override { Steps.push_back("SendControlRegister"); }
  void SendRetransmit() override { Steps.push_back("SendRetransmit"); }
  void ReloadBGoTab() override { Steps.push_back("ReloadBGoTab"); }
  void ResetFifos() override { Steps.push_back("ResetFifos"); }
  void LoadFifo(int channel, const BGoWords& words) override {
    Steps.push_back("LoadFifo " + std::to_string(channel) + " " + std::to_string(words.size()));
  }
  void FifoLoaded(int channel) override { Add("FifoLoaded", channel); }

 private:
  void Add(const char* step, int value) { Steps.push_back(step + (" " + std::to_string(value))); }
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

  StepLog log;
  ApplyPreset(preset, log);
  const std::vector<std::string> expected = {"ShowRate 3",
                                             "ShowTriggerSource 5",
                                             "ShowOrbit 1",
                                             "ShowInhibits 7008",
                                             "ShowTTCrxValues 1 2 3 4",
                                             "SelectRx Rx1",
                                             "SetBGoFlags 1",
                                             "ShowCalibration 1",
                                             "SetControlRegister 147",
                                             "SendRate",
                                             "SendTriggerSource",
                                             "SendOrbit",
                                             "SendInhibits",
                                             "SendDeskew1",
                                             "SendDeskew2",
                                             "SendCoarseDelays",
                                             "SendMode 0 10010",
                                             "SendMode 1 10010",
                                             "SendMode 2 10011",
                                             "SendMode 3 10010",
                                             "SendControlRegister",
                                             "SendRetransmit",
                                             "ReloadBGoTab",
                                             "ResetFifos",
                                             "LoadFifo 2 3",
                                             "FifoLoaded 2",
                                             "LoadFifo 3 1",
                                             "FifoLoaded 3"};
  EXPECT_EQ(log.Steps, expected);
}

TEST(PresetApply, EmptySequencesLoadNothingButTheFifosAreStillReset) {
  StepLog log;
  ApplyPreset(PreSettings{}, log);
  EXPECT_EQ(log.Steps.back(), "ResetFifos");
}

}  // namespace
