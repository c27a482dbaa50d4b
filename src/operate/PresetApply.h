#pragma once

#include <array>
#include <bitset>
#include <string>

#include "settings/PreSettings.h"

// The side of a panel that applying a preset works on. The Show/Set steps
// only put values on the panel and in its members; the Send steps go to the
// hardware, each exactly as the operator's control would.
class PresetTarget {
 public:
  virtual ~PresetTarget() = default;

  virtual void ShowRate(int index) = 0;
  virtual void ShowTriggerSource(int index) = 0;
  virtual void ShowOrbit(bool internal) = 0;
  virtual void ShowInhibits(const std::array<std::int32_t, 4>& delays,
                            const std::array<std::int32_t, 4>& durations) = 0;
  virtual void ShowTTCrxValues(int deskew1, int deskew2, int coarseDelay1, int coarseDelay2) = 0;
  virtual void SelectRx(const std::string& name) = 0;
  // BGoFlags from flags 0..3, the retransmit bits from flag 4.
  virtual void SetBGoFlags(
      const std::array<std::array<bool, PreSettings::kBGoFlags>, 4>& settings) = 0;
  virtual void ShowCalibration(bool on) = 0;
  virtual void SetControlRegister(std::bitset<8> value) = 0;

  virtual void SendRate() = 0;
  virtual void SendTriggerSource() = 0;
  virtual void SendOrbit() = 0;
  virtual void SendInhibits() = 0;
  virtual void SendDeskew1() = 0;
  virtual void SendDeskew2() = 0;
  virtual void SendCoarseDelays() = 0;
  virtual void SendMode(int channel, bool enable, bool asynchronous, bool repetitive, bool fifo,
                        bool calibration) = 0;
  // Shows the control register as it stands and sends it to the TTCrx.
  virtual void SendControlRegister() = 0;
  virtual void SendRetransmit() = 0;
  virtual void ReloadBGoTab() = 0;
  virtual void ResetFifos() = 0;
  virtual void LoadFifo(int channel, const BGoWords& words) = 0;
  // Tells the operator a FIFO is loaded and waits until it is acknowledged.
  virtual void FifoLoaded(int channel) = 0;
};

// Applies a preset in one action: first every value goes on the panel, then
// the hardware is written in this order: rate, trigger source, orbit,
// inhibits, fine deskews and coarse delays of the preset's TTCrx, the four
// B-Go modes (calibration only ever on channel 2), the TTCrx control
// register, the retransmit bits, the B-Go tab's boxes, a reset of all four
// FIFOs, and the FIFOs' loads. An error stops it where it occurs; what was
// sent stays sent.
void ApplyPreset(const PreSettings& preset, PresetTarget& target);
