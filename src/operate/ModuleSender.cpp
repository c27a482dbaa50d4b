#include "operate/ModuleSender.h"

#include <algorithm>

#include "ttcvi/TTCrxRegisters.h"

int ModuleSender::RateShown(int index) { return index >= 0 && index < kRates ? index : -1; }

int ModuleSender::TriggerSourceShown(int source) {
  return source >= 0 && source < kTriggerSources ? source : -1;
}

ModuleSender::Inhibits ModuleSender::DelaysShown(Inhibits delays) {
  for (std::int32_t& delay : delays) delay = std::clamp(delay, 0, kMaxInhibitDelay);
  return delays;
}

ModuleSender::Inhibits ModuleSender::DurationsShown(Inhibits durations) {
  for (std::int32_t& duration : durations) duration = std::clamp(duration, 0, kMaxInhibitDuration);
  return durations;
}

int ModuleSender::DeskewShown(int step) { return std::clamp(step, 0, ttcrx::kMaxFineDeskew); }

int ModuleSender::CoarseDelayShown(int delay) {
  return std::clamp(delay, 0, ttcrx::kMaxCoarseDelay);
}

void ModuleSender::SendRate(int rate) { Module_.SetRandomRate(RateShown(rate)); }

void ModuleSender::SendTriggerSource(int source, int rate) {
  source = TriggerSourceShown(source);
  if (source == kRandomTriggerSource) SendRate(rate);
  Module_.SetTriggerSource(source);
}

void ModuleSender::SendOrbit(bool internal) { Module_.SetOrbitSignal(internal); }

void ModuleSender::SendInhibits(const Inhibits& delays, const Inhibits& durations) {
  // A box may still hold a typed value out of range: a register never sees it.
  const Inhibits d = DelaysShown(delays);
  const Inhibits w = DurationsShown(durations);
  Module_.SetInhibit0(d[0], w[0]);
  Module_.SetInhibit1(d[1], w[1]);
  Module_.SetInhibit2(d[2], w[2]);
  Module_.SetInhibit3(d[3], w[3]);
}

void ModuleSender::SendDeskew1(std::int32_t rx, int step) {
  Module_.SendLongAsync(rx, ttcrx::kFineDeskew1, ttcrx::DeskewCode(DeskewShown(step)));
}

void ModuleSender::SendDeskew2(std::int32_t rx, int step) {
  Module_.SendLongAsync(rx, ttcrx::kFineDeskew2, ttcrx::DeskewCode(DeskewShown(step)));
}

void ModuleSender::SendCoarseDelays(std::int32_t rx, int delay1, int delay2) {
  Module_.SendLongAsync(rx, ttcrx::kCoarseDelays,
                        ttcrx::CoarseDelayByte(CoarseDelayShown(delay1), CoarseDelayShown(delay2)));
}

void ModuleSender::SendControlRegister(std::int32_t rx, std::bitset<8> value) {
  Module_.SendLongAsync(rx, ttcrx::kControlRegister, static_cast<int>(value.to_ulong()));
}

void ModuleSender::SendMode(int channel, bool enable, bool asynchronous, bool repetitive, bool fifo,
                            bool calibration) {
  Module_.BGo.at(static_cast<std::size_t>(channel))
      ->SetMode(enable, asynchronous, repetitive, fifo,
                channel == kCalibrationChannel && calibration);
}

void ModuleSender::SendRetransmit(std::bitset<4> retransmitOff) {
  Module_.SetRetransmit(retransmitOff);
}

void ModuleSender::ResetFifos(std::bitset<4> channels) { Module_.ResetBGoFIFOs(channels); }

void ModuleSender::LoadFifo(int channel, const BGoWords& words) {
  B_Go& fifo = *Module_.BGo.at(static_cast<std::size_t>(channel));
  for (const std::bitset<32>& word : words) fifo.WriteFIFO(word);
}
