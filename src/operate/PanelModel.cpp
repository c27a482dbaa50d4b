#include "operate/PanelModel.h"

#include <algorithm>

#include "base/Exception.h"
#include "operate/PresetApply.h"
#include "settings/RxAddresses.h"
#include "ttcvi/RegisterMap.h"
#include "ttcvi/TTCrxRegisters.h"

namespace {

bool IsChannel(int channel) { return channel >= 0 && channel < PanelModel::kChannels; }

std::size_t At(int index) { return static_cast<std::size_t>(index); }

// A list index the operator picked; -1 (none) or one past the end is the
// list error the panel shows.
template <typename List>
void CheckIndex(const List& list, int index) {
  if (index < 0 || At(index) >= list.size()) throw EListError(index);
}

}  // namespace

PanelModel::PanelModel(ModuleSender& sender, StoredConfiguration stored)
    : Sender_(sender), Base_(stored.TTCviAddress) {
  State_.Sequences = std::move(stored.Sequences);
  State_.Presets = std::move(stored.Presets);
  State_.RxAddresses = std::move(stored.RxAddresses);
  State_.ControlRegisterBoxes = ttcrx::kControlRegisterAtPowerUp;
  State_.ControlRegisterShown = ttcrx::kControlRegisterAtPowerUp;
}

StoredConfiguration PanelModel::Stored() const {
  return {Base_, State_.Sequences, State_.Presets, State_.RxAddresses};
}

void PanelModel::AddListener(PanelListener& listener) { Listeners_.push_back(&listener); }

void PanelModel::RemoveListener(PanelListener& listener) { std::erase(Listeners_, &listener); }

void PanelModel::Notify(PanelPart part) {
  // A listener may add or remove listeners while it is told: tell a copy.
  const std::vector<PanelListener*> listeners = Listeners_;
  for (PanelListener* listener : listeners) listener->Changed(part);
}

void PanelModel::StartUp() {
  Sender_.Module().Reset();
  for (int channel = 0; channel < kChannels; ++channel)
    Sender_.SendMode(channel, false, false, false, false, false);
  Sender_.SendOrbit(State_.OrbitInternal);
  State_.SelectedRx = State_.RxAddresses.empty() ? -1 : 0;
  Notify(PanelPart::Rx);
}

// --- CSR1, CSR2, inhibits, reset.

void PanelModel::ChooseTriggerSource(int source) {
  State_.TriggerSource = ModuleSender::TriggerSourceShown(source);
  // The choice shows at once; a refused write leaves it shown.
  State_.TriggerEnabled = State_.TriggerSource == kVMETriggerSource;
  State_.RateEnabled = State_.TriggerSource == ModuleSender::kRandomTriggerSource;
  Notify(PanelPart::Csr1);
  Sender_.SendTriggerSource(State_.TriggerSource, State_.RateIndex);
}

void PanelModel::ChooseRate(int index) {
  State_.RateIndex = ModuleSender::RateShown(index);
  Notify(PanelPart::Csr1);
  Sender_.SendRate(State_.RateIndex);
}

void PanelModel::SetOrbit(bool internal) {
  State_.OrbitInternal = internal;
  Notify(PanelPart::Csr1);
  Sender_.SendOrbit(internal);
}

void PanelModel::VMETrigger() { Sender_.Module().VMETrigger(); }

void PanelModel::ResetL1AFifo() { Sender_.Module().ResetL1AFIFO(true); }

std::uint16_t PanelModel::ReadCSR1() {
  // The read completes before the read-out changes: a failed read leaves it.
  const std::uint16_t value = Sender_.Module().ReadCSR1();
  State_.CSR1 = value;
  Notify(PanelPart::ReadOuts);
  return value;
}

std::uint16_t PanelModel::ReadCSR2() {
  const std::uint16_t value = Sender_.Module().ReadCSR2();
  State_.CSR2 = value;
  Notify(PanelPart::ReadOuts);
  return value;
}

void PanelModel::ResetAllFifos() { Sender_.ResetFifos(std::bitset<4>(0b1111)); }

void PanelModel::ResetModule() { Sender_.Module().Reset(); }

void PanelModel::SetInhibitDelay(int channel, int delay) {
  if (!IsChannel(channel)) throw EListError(channel);
  State_.InhibitDelays[At(channel)] = delay;
  Notify(PanelPart::Inhibits);
}

void PanelModel::SetInhibitDuration(int channel, int duration) {
  if (!IsChannel(channel)) throw EListError(channel);
  State_.InhibitDurations[At(channel)] = duration;
  Notify(PanelPart::Inhibits);
}

void PanelModel::SendInhibits() {
  Sender_.SendInhibits(State_.InhibitDelays, State_.InhibitDurations);
}

void PanelModel::ShowRate(int index) {
  State_.RateIndex = ModuleSender::RateShown(index);
  Notify(PanelPart::Csr1);
}

// --- the TTCrx group.

void PanelModel::SelectRx(int index) {
  State_.SelectedRx = index >= 0 && At(index) < State_.RxAddresses.size() ? index : -1;
  Notify(PanelPart::Rx);
}

std::int32_t PanelModel::SelectedRxAddress() const {
  return RxAddressOf(State_.RxAddresses, State_.SelectedRx);
}

std::string PanelModel::SelectedRxCause() const {
  if (State_.SelectedRx < 0) return "no TTCrx";
  const std::string& entry = State_.RxAddresses[At(State_.SelectedRx)];
  const std::string name = RxEntryName(entry);
  return name.empty() ? entry : name;
}

void PanelModel::ShowSelector(Selector selector, int value) {
  State_.Selectors[At(selector)] = selector < kCoarseDelay1 ? ModuleSender::DeskewShown(value)
                                                            : ModuleSender::CoarseDelayShown(value);
  Notify(PanelPart::Rx);
}

void PanelModel::SetSelector(Selector selector, int value) {
  ShowSelector(selector, value);
  SendSelector(selector);
}

void PanelModel::SendSelector(Selector selector) {
  const auto& values = State_.Selectors;
  switch (selector) {
    case kDeskew1:
      Sender_.SendDeskew1(SelectedRxAddress(), values[kDeskew1]);
      break;
    case kDeskew2:
      Sender_.SendDeskew2(SelectedRxAddress(), values[kDeskew2]);
      break;
    case kCoarseDelay1:
    case kCoarseDelay2:
      // Both coarse delays share one register: they go out together.
      Sender_.SendCoarseDelays(SelectedRxAddress(), values[kCoarseDelay1], values[kCoarseDelay2]);
      break;
  }
}

void PanelModel::SetControlRegisterBoxes(std::bitset<8> value) {
  State_.ControlRegisterBoxes = value;
  Notify(PanelPart::Rx);
}

void PanelModel::SendControlRegister(std::bitset<8> value) {
  // The value shows first, even when no TTCrx can be addressed.
  State_.ControlRegisterBoxes = value;
  State_.ControlRegisterShown = value;
  Notify(PanelPart::Rx);
  Sender_.SendControlRegister(SelectedRxAddress(), value);
}

void PanelModel::AddRxAddress(const std::string& name, const std::string& address) {
  // Stored as typed; the address is converted when it is used.
  State_.RxAddresses.push_back(RxEntry(name, address));
  State_.SelectedRx = static_cast<int>(State_.RxAddresses.size()) - 1;
  Notify(PanelPart::RxList);
  Notify(PanelPart::Rx);
}

void PanelModel::DeleteRxAddress(int index) {
  if (index < 0 || At(index) >= State_.RxAddresses.size()) return;
  State_.RxAddresses.erase(State_.RxAddresses.begin() + index);
  State_.SelectedRx = -1;  // the operator picks the next target
  Notify(PanelPart::RxList);
  Notify(PanelPart::Rx);
}

// --- the B-Go page.

void PanelModel::ShowChannel(int channel) {
  if (!IsChannel(channel)) throw EListError(channel);
  State_.ShownChannel = channel;
  State_.ModeBoxes = State_.BGoFlags[At(channel)];
  const bool retransmit = !State_.RetransmitOff[At(channel)];
  const bool retransmitChanged = retransmit != State_.RetransmitBox;
  State_.RetransmitBox = retransmit;
  Notify(PanelPart::BGoPage);
  // The page's Retransmit box is a control like any other: when it changes
  // it writes CSR2, here with the bits as they stand.
  if (retransmitChanged) Sender_.SendRetransmit(State_.RetransmitOff);
}

void PanelModel::SetModeBox(int flag, bool ticked) {
  if (flag < 0 || flag >= 4) throw EListError(flag);
  State_.ModeBoxes[At(flag)] = ticked;
  Notify(PanelPart::BGoPage);
  const int n = State_.ShownChannel;
  const auto& boxes = State_.ModeBoxes;
  Sender_.SendMode(n, boxes[0], boxes[1], boxes[2], boxes[3], State_.CalibrationBox);
  // Remembered only once the module took them.
  State_.BGoFlags[At(n)] = boxes;
}

void PanelModel::SetCalibrationBox(bool ticked) {
  State_.CalibrationBox = ticked;
  Notify(PanelPart::BGoPage);
  const auto& boxes = State_.ModeBoxes;
  Sender_.SendMode(State_.ShownChannel, boxes[0], boxes[1], boxes[2], boxes[3], ticked);
}

void PanelModel::SetRetransmitBox(bool ticked) {
  State_.RetransmitBox = ticked;
  State_.RetransmitOff[At(State_.ShownChannel)] = !ticked;
  Notify(PanelPart::BGoPage);
  Sender_.SendRetransmit(State_.RetransmitOff);
}

void PanelModel::SignalBGo() { Sender_.Module().BGo.at(At(State_.ShownChannel))->Signal(); }

void PanelModel::ResetShownFifo() {
  // A reset is a pulse of one channel's bit.
  std::bitset<4> channel;
  channel[At(State_.ShownChannel)] = true;
  Sender_.ResetFifos(channel);
}

void PanelModel::LoadFifo(int sequence) {
  CheckIndex(State_.Sequences, sequence);
  Sender_.LoadFifo(State_.ShownChannel, State_.Sequences[At(sequence)].Words);
}

std::string PanelModel::FifoStatus() {
  const std::uint16_t csr2 = Sender_.Module().ReadCSR2();
  const unsigned n = static_cast<unsigned>(State_.ShownChannel);
  if (ttcvi::FIFOFull(n).Of(csr2)) return "FULL";
  if (ttcvi::FIFOEmpty(n).Of(csr2)) return "EMPTY";
  return "LOADED";
}

std::bitset<5> PanelModel::ReadBGoMode() {
  const std::bitset<5> mode = Sender_.Module().BGo.at(At(State_.ShownChannel))->ReadMode();
  State_.BGoMode = mode;
  Notify(PanelPart::ReadOuts);
  return mode;
}

void PanelModel::AddSequence(BGoDataSequence sequence) {
  State_.Sequences.push_back(std::move(sequence));
  Notify(PanelPart::Sequences);
}

void PanelModel::ReplaceSequence(int index, BGoDataSequence sequence) {
  CheckIndex(State_.Sequences, index);
  State_.Sequences[At(index)] = std::move(sequence);
  Notify(PanelPart::Sequences);
}

void PanelModel::DeleteSequence(int index) {
  if (index < 0 || At(index) >= State_.Sequences.size()) return;
  State_.Sequences.erase(State_.Sequences.begin() + index);
  Notify(PanelPart::Sequences);
}

// --- asynchronous cycles and TRIGWORD.

void PanelModel::SendLong(bool external, std::int32_t subaddress, std::int32_t data) {
  const std::int32_t address = SelectedRxAddress();
  if (external)
    Sender_.Module().SendLongAsyncExternal(address, subaddress, data);
  else
    Sender_.Module().SendLongAsync(address, subaddress, data);
}

void PanelModel::SendShort(std::int32_t command) { Sender_.Module().SendShortAsync(command); }

void PanelModel::SetTrigWordEnabled(bool enabled, std::int32_t subaddress, bool external) {
  if (enabled)
    SetTrigWord(subaddress, external);
  else
    Sender_.Module().SetTrigWord(0, 0, false, false);
  // The group follows once the word is written: a refused write, or no
  // TTCrx to address, leaves it as it was.
  State_.TrigWordEnabled = enabled;
  Notify(PanelPart::TrigWord);
}

void PanelModel::SetTrigWord(std::int32_t subaddress, bool external) {
  Sender_.Module().SetTrigWord(SelectedRxAddress(), subaddress, external, true);
}

// --- presets.

PreSettings PanelModel::Snapshot(const std::array<std::optional<int>, 4>& sequences) const {
  PreSettings preset;
  preset.RanGenRate = State_.RateIndex;
  preset.TriggerSource = State_.TriggerSource;
  preset.OrbitSignal = State_.OrbitInternal;
  preset.InhibitDelay = State_.InhibitDelays;
  preset.InhibitDuration = State_.InhibitDurations;
  preset.Deskew1 = State_.Selectors[kDeskew1];
  preset.Deskew2 = State_.Selectors[kDeskew2];
  preset.CoarDel1 = State_.Selectors[kCoarseDelay1];
  preset.CoarDel2 = State_.Selectors[kCoarseDelay2];
  for (std::size_t c = 0; c < 4; ++c) {
    for (std::size_t f = 0; f < 4; ++f) preset.BGoSettings[c][f] = State_.BGoFlags[c][f];
    preset.BGoSettings[c][PreSettings::kRetransmitOff] = State_.RetransmitOff[c];
  }
  preset.Calibration = State_.CalibrationBox;
  // The boxes as they are now, even if their last change was cancelled.
  preset.RxControlRegister = State_.ControlRegisterBoxes;
  preset.RxName = State_.SelectedRx < 0 ? std::string()
                                        : RxEntryName(State_.RxAddresses[At(State_.SelectedRx)]);
  for (std::size_t fifo = 0; fifo < 4; ++fifo) {
    if (!sequences[fifo]) continue;
    CheckIndex(State_.Sequences, *sequences[fifo]);
    preset.Sequences[fifo] = State_.Sequences[At(*sequences[fifo])].Words;
  }
  return preset;
}

void PanelModel::AddPreset(const std::string& name, PreSettings preset) {
  State_.Presets.push_back({name, std::move(preset)});
  Notify(PanelPart::Presets);
}

void PanelModel::DeletePreset(int index) {
  if (index < 0 || At(index) >= State_.Presets.size()) return;
  State_.Presets.erase(State_.Presets.begin() + index);
  Notify(PanelPart::Presets);
}

void PanelModel::ShowPreset(const PreSettings& preset) {
  // What shows what was sent (the enabled states, the control register's
  // display) waits for its write.
  State_.RateIndex = preset.RanGenRate;
  State_.TriggerSource = preset.TriggerSource;
  State_.OrbitInternal = preset.OrbitSignal;
  State_.InhibitDelays = preset.InhibitDelay;
  State_.InhibitDurations = preset.InhibitDuration;
  State_.Selectors = {preset.Deskew1, preset.Deskew2, preset.CoarDel1, preset.CoarDel2};
  State_.SelectedRx = FindRxEntry(State_.RxAddresses, preset.RxName);
  for (std::size_t c = 0; c < 4; ++c) {
    for (std::size_t f = 0; f < 4; ++f) State_.BGoFlags[c][f] = preset.BGoSettings[c][f];
    State_.RetransmitOff[c] = preset.BGoSettings[c][PreSettings::kRetransmitOff];
  }
  State_.CalibrationBox = preset.Calibration;
  State_.ControlRegisterBoxes = preset.RxControlRegister;
  for (PanelPart part : {PanelPart::Csr1, PanelPart::Inhibits, PanelPart::Rx, PanelPart::BGoPage})
    Notify(part);
}

void PanelModel::ApplyPreset(int index) {
  CheckIndex(State_.Presets, index);
  const PreSettings preset = PresetAsShown(State_.Presets[At(index)].Settings);

  // On the panel first: nothing is sent yet.
  ShowPreset(preset);

  // Then the hardware, each as its control sends it.
  Sender_.SendRate(State_.RateIndex);
  ChooseTriggerSource(State_.TriggerSource);
  Sender_.SendOrbit(State_.OrbitInternal);
  SendInhibits();
  SendSelector(kDeskew1);
  SendSelector(kDeskew2);
  SendSelector(kCoarseDelay1);
  for (int channel = 0; channel < kChannels; ++channel) {
    const auto& flags = preset.BGoSettings[At(channel)];
    Sender_.SendMode(channel, flags[PreSettings::kEnable], flags[PreSettings::kAsynchron],
                     flags[PreSettings::kRepetetive], flags[PreSettings::kFIFO],
                     preset.Calibration);
  }
  SendControlRegister(State_.ControlRegisterBoxes);
  Sender_.SendRetransmit(State_.RetransmitOff);
  ShowChannel(State_.ShownChannel);
  Sender_.ResetFifos(std::bitset<4>(0b1111));
  for (int channel = 0; channel < kChannels; ++channel) {
    const BGoWords& words = preset.Sequences[At(channel)];
    if (words.empty()) continue;
    Sender_.LoadFifo(channel, words);
    const std::vector<PanelListener*> listeners = Listeners_;
    for (PanelListener* listener : listeners) listener->FifoLoaded(channel);
  }
}

void PanelModel::ShowCsr1(int triggerSource, int rateIndex, bool orbitInternal) {
  State_.TriggerSource = ModuleSender::TriggerSourceShown(triggerSource);
  State_.RateIndex = ModuleSender::RateShown(rateIndex);
  State_.OrbitInternal = orbitInternal;
  State_.TriggerEnabled = State_.TriggerSource == kVMETriggerSource;
  State_.RateEnabled = State_.TriggerSource == ModuleSender::kRandomTriggerSource;
  Notify(PanelPart::Csr1);
}
