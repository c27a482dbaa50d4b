#include "ctl/CtlApply.h"

#include <algorithm>

#include "operate/PresetApply.h"
#include "settings/RxAddresses.h"
#include "ttcvi/TTCrxRegisters.h"

namespace {

constexpr int kRates = 8;           // items of the panel's rate list
constexpr int kTriggerSources = 7;  // items of the panel's trigger source group
constexpr int kRandomTriggerSource = 5;
constexpr int kLargestInhibitDelay = 4095;
constexpr int kLargestInhibitDuration = 255;

// The preset's values as the panel's controls would hold them (an index
// without an item is none, numbers within the controls' ranges), sent as
// the controls' handlers send them.
class ModulePresetTarget : public PresetTarget {
 public:
  ModulePresetTarget(TTTCvi& module, const std::vector<std::string>& rxEntries, std::ostream& out)
      : Module_(module), RxEntries_(rxEntries), Out_(out) {}

  void ShowRate(int index) override { Rate_ = index >= 0 && index < kRates ? index : -1; }
  void ShowTriggerSource(int index) override {
    Source_ = index >= 0 && index < kTriggerSources ? index : -1;
  }
  void ShowOrbit(bool internal) override { Orbit_ = internal; }
  void ShowInhibits(const std::array<std::int32_t, 4>& delays,
                    const std::array<std::int32_t, 4>& durations) override {
    for (std::size_t n = 0; n < 4; ++n) {
      Delays_[n] = std::clamp(delays[n], 0, kLargestInhibitDelay);
      Durations_[n] = std::clamp(durations[n], 0, kLargestInhibitDuration);
    }
  }
  void ShowTTCrxValues(int deskew1, int deskew2, int coarseDelay1, int coarseDelay2) override {
    Deskew1_ = std::clamp(deskew1, 0, ttcrx::kMaxFineDeskew);
    Deskew2_ = std::clamp(deskew2, 0, ttcrx::kMaxFineDeskew);
    Coarse1_ = std::clamp(coarseDelay1, 0, ttcrx::kMaxCoarseDelay);
    Coarse2_ = std::clamp(coarseDelay2, 0, ttcrx::kMaxCoarseDelay);
  }
  void SelectRx(const std::string& name) override { Rx_ = FindRxEntry(RxEntries_, name); }
  void SetBGoFlags(
      const std::array<std::array<bool, PreSettings::kBGoFlags>, 4>& settings) override {
    for (std::size_t c = 0; c < 4; ++c) Retransmit_[c] = settings[c][PreSettings::kRetransmitOff];
  }
  void ShowCalibration(bool) override {}
  void SetControlRegister(std::bitset<8> value) override { Control_ = value; }

  void SendRate() override { Module_.SetRandomRate(Rate_); }
  void SendTriggerSource() override {
    if (Source_ == kRandomTriggerSource) Module_.SetRandomRate(Rate_);
    Module_.SetTriggerSource(Source_);
  }
  void SendOrbit() override { Module_.SetOrbitSignal(Orbit_); }
  void SendInhibits() override {
    Module_.SetInhibit0(Delays_[0], Durations_[0]);
    Module_.SetInhibit1(Delays_[1], Durations_[1]);
    Module_.SetInhibit2(Delays_[2], Durations_[2]);
    Module_.SetInhibit3(Delays_[3], Durations_[3]);
  }
  void SendDeskew1() override { SendRx(ttcrx::kFineDeskew1, ttcrx::DeskewCode(Deskew1_)); }
  void SendDeskew2() override { SendRx(ttcrx::kFineDeskew2, ttcrx::DeskewCode(Deskew2_)); }
  void SendCoarseDelays() override {
    SendRx(ttcrx::kCoarseDelays, ttcrx::CoarseDelayByte(Coarse1_, Coarse2_));
  }
  void SendMode(int channel, bool enable, bool asynchronous, bool repetitive, bool fifo,
                bool calibration) override {
    Module_.BGo.at(static_cast<std::size_t>(channel))
        ->SetMode(enable, asynchronous, repetitive, fifo, calibration);
  }
  void SendControlRegister() override {
    SendRx(ttcrx::kControlRegister, static_cast<std::uint8_t>(Control_.to_ulong()));
  }
  void SendRetransmit() override { Module_.SetRetransmit(Retransmit_); }
  // The panel's B-Go tab; there is none here.
  void ReloadBGoTab() override {}
  void ResetFifos() override { Module_.ResetBGoFIFOs(std::bitset<4>(0b1111)); }
  void LoadFifo(int channel, const BGoWords& words) override {
    B_Go& fifo = *Module_.BGo.at(static_cast<std::size_t>(channel));
    for (const std::bitset<32>& word : words) fifo.WriteFIFO(word);
  }
  void FifoLoaded(int channel) override { Out_ << "B-Go Fifo [" << channel << "] loaded\n"; }

 private:
  // The value is taken first, then the TTCrx's address: an unknown TTCrx
  // stops before anything of this register is sent.
  void SendRx(int subaddress, std::uint8_t data) {
    Module_.SendLongAsync(RxAddressOf(RxEntries_, Rx_), subaddress, data);
  }

  TTTCvi& Module_;
  const std::vector<std::string>& RxEntries_;
  std::ostream& Out_;
  int Rate_ = 0;
  int Source_ = -1;
  bool Orbit_ = false;
  std::array<int, 4> Delays_{};
  std::array<int, 4> Durations_{};
  int Deskew1_ = 0;
  int Deskew2_ = 0;
  int Coarse1_ = 0;
  int Coarse2_ = 0;
  int Rx_ = -1;
  std::bitset<4> Retransmit_;
  std::bitset<8> Control_;
};

}  // namespace

void ApplyPresetToModule(const PreSettings& preset, TTTCvi& module,
                         const std::vector<std::string>& rxEntries, std::ostream& out) {
  ModulePresetTarget target(module, rxEntries, out);
  ApplyPreset(preset, target);
}
