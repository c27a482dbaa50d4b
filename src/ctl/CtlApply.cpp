#include "ctl/CtlApply.h"

#include "operate/PresetApply.h"
#include "settings/RxAddresses.h"

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
