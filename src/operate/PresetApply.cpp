#include "operate/PresetApply.h"

PreSettings PresetAsShown(PreSettings preset) {
  preset.RanGenRate = ModuleSender::RateShown(preset.RanGenRate);
  preset.TriggerSource = ModuleSender::TriggerSourceShown(preset.TriggerSource);
  preset.InhibitDelay = ModuleSender::DelaysShown(preset.InhibitDelay);
  preset.InhibitDuration = ModuleSender::DurationsShown(preset.InhibitDuration);
  preset.Deskew1 = ModuleSender::DeskewShown(preset.Deskew1);
  preset.Deskew2 = ModuleSender::DeskewShown(preset.Deskew2);
  preset.CoarDel1 = ModuleSender::CoarseDelayShown(preset.CoarDel1);
  preset.CoarDel2 = ModuleSender::CoarseDelayShown(preset.CoarDel2);
  return preset;
}

void ApplyPreset(const PreSettings& stored, ModuleSender& sender, PresetTarget& target) {
  const PreSettings preset = PresetAsShown(stored);
  // On the panel first: nothing is sent yet.
  target.Show(preset);

  // Then the hardware, as the controls would send it.
  sender.SendRate(preset.RanGenRate);
  target.SendingTriggerSource(preset.TriggerSource);
  sender.SendTriggerSource(preset.TriggerSource, preset.RanGenRate);
  sender.SendOrbit(preset.OrbitSignal);
  sender.SendInhibits(preset.InhibitDelay, preset.InhibitDuration);
  sender.SendDeskew1(target.RxAddress(), preset.Deskew1);
  sender.SendDeskew2(target.RxAddress(), preset.Deskew2);
  sender.SendCoarseDelays(target.RxAddress(), preset.CoarDel1, preset.CoarDel2);
  std::bitset<4> retransmitOff;
  for (int channel = 0; channel < 4; ++channel) {
    const auto& flags = preset.BGoSettings[static_cast<std::size_t>(channel)];
    sender.SendMode(channel, flags[PreSettings::kEnable], flags[PreSettings::kAsynchron],
                    flags[PreSettings::kRepetetive], flags[PreSettings::kFIFO], preset.Calibration);
    retransmitOff[static_cast<std::size_t>(channel)] = flags[PreSettings::kRetransmitOff];
  }
  // As the panel's own OK: shown, then its TTCrx looked up, then sent.
  target.SendingControlRegister(preset.RxControlRegister);
  sender.SendControlRegister(target.RxAddress(), preset.RxControlRegister);
  sender.SendRetransmit(retransmitOff);
  target.ReloadBGoTab();
  sender.ResetFifos(std::bitset<4>(0b1111));
  for (int channel = 0; channel < 4; ++channel) {
    const BGoWords& words = preset.Sequences[static_cast<std::size_t>(channel)];
    if (words.empty()) continue;
    sender.LoadFifo(channel, words);
    target.FifoLoaded(channel);
  }
}
