#include "settings/Configuration.h"

#include "settings/RxAddresses.h"

StoredConfiguration ReadConfiguration(TIniFile& file, ListBudget& budget) {
  StoredConfiguration c;
  c.TTCviAddress = ReadTTCviAddress(file, kTTCviAddressSection);
  c.Sequences = ReadSequenceList(file, kSequenceSection, budget);
  c.Presets = ReadPresetList(file, kPresetSection, budget);
  c.RxAddresses = ReadRxAddressList(file, kRxAddressSection, budget);
  return c;
}

void WriteConfiguration(TIniFile& file, const StoredConfiguration& configuration) {
  WriteTTCviAddress(file, kTTCviAddressSection, configuration.TTCviAddress);
  WriteSequenceList(file, kSequenceSection, configuration.Sequences);
  WritePresetList(file, kPresetSection, configuration.Presets);
  WriteRxAddressList(file, kRxAddressSection, configuration.RxAddresses);
}
