#include "ctl/CtlApply.h"

#include "operate/PresetApply.h"
#include "settings/RxAddresses.h"
#include "ttcvi/TTCrxRegisters.h"

namespace {

// No window: nothing is shown, the preset's TTCrx is found in the file's
// entries as the panel's list selects it, and a loaded FIFO is a line.
class HeadlessPresetTarget : public PresetTarget {
 public:
  HeadlessPresetTarget(ModuleSender& sender, const std::vector<std::string>& rxEntries,
                       std::ostream& out)
      : Sender_(sender), RxEntries_(rxEntries), Out_(out) {}

  void Show(const PreSettings& preset) override {
    Rx_ = FindRxEntry(RxEntries_, preset.RxName);
    for (std::size_t channel = 0; channel < 4; ++channel)
      RetransmitOff_[channel] = preset.BGoSettings[channel][PreSettings::kRetransmitOff];
  }
  std::int32_t RxAddress() override { return RxAddressOf(RxEntries_, Rx_); }
  // The panel as it starts (tab B-Go 0, Retransmit ticked) writes CSR2 once
  // more when its box follows channel 0's retransmission going off.
  void ReloadBGoTab() override {
    if (RetransmitOff_[0]) Sender_.SendRetransmit(RetransmitOff_);
  }
  void FifoLoaded(int channel) override { Out_ << "B-Go Fifo [" << channel << "] loaded\n"; }

 private:
  ModuleSender& Sender_;
  const std::vector<std::string>& RxEntries_;
  std::ostream& Out_;
  int Rx_ = -1;
  std::bitset<4> RetransmitOff_;
};

}  // namespace

void ApplyPresetToModule(const PreSettings& preset, ModuleSender& sender,
                         const std::vector<std::string>& rxEntries, std::ostream& out) {
  HeadlessPresetTarget target(sender, rxEntries, out);
  ApplyPreset(preset, sender, target);
}

std::vector<std::string> ValuesSentInstead(const PreSettings& stored) {
  const PreSettings shown = PresetAsShown(stored);
  std::vector<std::string> lines;
  auto check = [&lines](const std::string& key, std::int32_t value, std::int32_t sent,
                        std::int32_t highest, const std::string& none) {
    if (value == sent) return;
    lines.push_back(key + "=" + std::to_string(value) + " is beyond 0.." + std::to_string(highest) +
                    ": sent " + (sent < 0 ? none : std::to_string(sent)));
  };
  check("RanGenRate", stored.RanGenRate, shown.RanGenRate, ModuleSender::kRates - 1,
        "as no rate chosen (rate field 7)");
  check("TriggerSource", stored.TriggerSource, shown.TriggerSource,
        ModuleSender::kTriggerSources - 1, "as no source chosen (source field 7)");
  for (std::size_t n = 0; n < 4; ++n) {
    check("InhibitDelay" + std::to_string(n), stored.InhibitDelay[n], shown.InhibitDelay[n],
          ModuleSender::kMaxInhibitDelay, "");
    check("InhibitDuration" + std::to_string(n), stored.InhibitDuration[n],
          shown.InhibitDuration[n], ModuleSender::kMaxInhibitDuration, "");
  }
  check("Deskew1", stored.Deskew1, shown.Deskew1, ttcrx::kMaxFineDeskew, "");
  check("Deskew2", stored.Deskew2, shown.Deskew2, ttcrx::kMaxFineDeskew, "");
  check("CoarDel1", stored.CoarDel1, shown.CoarDel1, ttcrx::kMaxCoarseDelay, "");
  check("CoarDel2", stored.CoarDel2, shown.CoarDel2, ttcrx::kMaxCoarseDelay, "");
  return lines;
}
