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
