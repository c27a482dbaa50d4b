#include "ctl/CtlApply.h"

#include "operate/PresetApply.h"
#include "settings/RxAddresses.h"

namespace {

// No window: nothing is shown, the preset's TTCrx is found in the file's
// entries as the panel's list selects it, and a loaded FIFO is a line.
class HeadlessPresetTarget : public PresetTarget {
 public:
  HeadlessPresetTarget(const std::vector<std::string>& rxEntries, std::ostream& out)
      : RxEntries_(rxEntries), Out_(out) {}

  void Show(const PreSettings& preset) override { Rx_ = FindRxEntry(RxEntries_, preset.RxName); }
  std::int32_t RxAddress() override { return RxAddressOf(RxEntries_, Rx_); }
  void ReloadBGoTab() override {}
  void FifoLoaded(int channel) override { Out_ << "B-Go Fifo [" << channel << "] loaded\n"; }

 private:
  const std::vector<std::string>& RxEntries_;
  std::ostream& Out_;
  int Rx_ = -1;
};

}  // namespace

void ApplyPresetToModule(const PreSettings& preset, ModuleSender& sender,
                         const std::vector<std::string>& rxEntries, std::ostream& out) {
  HeadlessPresetTarget target(rxEntries, out);
  ApplyPreset(preset, sender, target);
}
