#include "ctl/CtlApply.h"

#include "base/ScopeExit.h"
#include "operate/PresetApply.h"
#include "settings/RxAddresses.h"
#include "ttcvi/TTCrxRegisters.h"

namespace {

// No window: a loaded FIFO is a line.
class FifoNotices : public PanelListener {
 public:
  explicit FifoNotices(std::ostream& out) : Out_(out) {}
  void FifoLoaded(int channel) override { Out_ << "B-Go Fifo [" << channel << "] loaded\n"; }

 private:
  std::ostream& Out_;
};

}  // namespace

void ApplyPresetToModule(PanelModel& panel, int preset, std::ostream& out) {
  FifoNotices notices(out);
  panel.AddListener(notices);
  const ScopeExit quiet([&] { panel.RemoveListener(notices); });
  panel.ApplyPreset(preset);
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
