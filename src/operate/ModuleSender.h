#pragma once

#include <array>
#include <bitset>
#include <cstdint>

#include "settings/BGoSequence.h"
#include "ttcvi/TTTCvi.h"

// The settings an operator sends to the module, each exactly as its control
// on the panel sends it: the window's control groups and a program without a
// window both send through this, so the same values make the same bus
// cycles. Values outside what a control can hold are first brought into its
// range, as the control would show them.
class ModuleSender {
 public:
  // What the controls hold.
  static constexpr int kRates = 8;           // random trigger rates, 1 Hz .. 100 kHz
  static constexpr int kTriggerSources = 7;  // 0..3 L1A inputs, 4 VME, 5 random, 6 calibration
  static constexpr int kRandomTriggerSource = 5;
  static constexpr int kMaxInhibitDelay = 4095;    // 12 bits
  static constexpr int kMaxInhibitDuration = 255;  // 8 bits
  static constexpr int kCalibrationChannel = 2;    // the only B-Go channel with a calibration mode

  using Inhibits = std::array<std::int32_t, 4>;

  explicit ModuleSender(TTTCvi& module) : Module_(module) {}

  TTTCvi& Module() const { return Module_; }

  // A rate list index or trigger source as its control shows it: -1 (none)
  // for one it does not hold.
  static int RateShown(int index);
  static int TriggerSourceShown(int source);
  static Inhibits DelaysShown(Inhibits delays);
  static Inhibits DurationsShown(Inhibits durations);
  static int DeskewShown(int step);
  static int CoarseDelayShown(int delay);

  // CSR1. A rate of -1 puts 7 in the rate field. The random source sends
  // rate first, with the source set before.
  void SendRate(int rate);
  void SendTriggerSource(int source, int rate);
  void SendOrbit(bool internal);
  void SendInhibits(const Inhibits& delays, const Inhibits& durations);

  // The registers of the TTCrx at address rx, each one long-format cycle
  // with E = 0. Both coarse delays share one register.
  void SendDeskew1(std::int32_t rx, int step);
  void SendDeskew2(std::int32_t rx, int step);
  void SendCoarseDelays(std::int32_t rx, int delay1, int delay2);
  void SendControlRegister(std::int32_t rx, std::bitset<8> value);

  // B-Go channels. Calibration counts on channel 2 only.
  void SendMode(int channel, bool enable, bool asynchronous, bool repetitive, bool fifo,
                bool calibration);
  // Bit n set: channel n does not retransmit.
  void SendRetransmit(std::bitset<4> retransmitOff);
  void ResetFifos(std::bitset<4> channels);
  void LoadFifo(int channel, const BGoWords& words);

 private:
  TTTCvi& Module_;
};
