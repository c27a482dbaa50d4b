#include "operate/PresetApply.h"

namespace {
constexpr int kCalibrationChannel = 2;
}

void ApplyPreset(const PreSettings& preset, PresetTarget& target) {
  // On the panel first: nothing is sent yet.
  target.ShowRate(preset.RanGenRate);
  target.ShowTriggerSource(preset.TriggerSource);
  target.ShowOrbit(preset.OrbitSignal);
  target.ShowInhibits(preset.InhibitDelay, preset.InhibitDuration);
  target.ShowTTCrxValues(preset.Deskew1, preset.Deskew2, preset.CoarDel1, preset.CoarDel2);
  target.SelectRx(preset.RxName);
  target.SetBGoFlags(preset.BGoSettings);
  target.ShowCalibration(preset.Calibration);
  target.SetControlRegister(preset.RxControlRegister);

  // Then the hardware, as the controls would send it.
  target.SendRate();
  target.SendTriggerSource();
  target.SendOrbit();
  target.SendInhibits();
  target.SendDeskew1();
  target.SendDeskew2();
  target.SendCoarseDelays();
  for (int channel = 0; channel < 4; ++channel) {
    const auto& flags = preset.BGoSettings[static_cast<std::size_t>(channel)];
    target.SendMode(channel, flags[PreSettings::kEnable], flags[PreSettings::kAsynchron],
                    flags[PreSettings::kRepetetive], flags[PreSettings::kFIFO],
                    channel == kCalibrationChannel && preset.Calibration);
  }
  target.SendControlRegister();
  target.SendRetransmit();
  target.ReloadBGoTab();
  target.ResetFifos();
  for (int channel = 0; channel < 4; ++channel) {
    const BGoWords& words = preset.Sequences[static_cast<std::size_t>(channel)];
    if (words.empty()) continue;
    target.LoadFifo(channel, words);
    target.FifoLoaded(channel);
  }
}
