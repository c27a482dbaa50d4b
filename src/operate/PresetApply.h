#pragma once

#include <bitset>
#include <cstdint>

#include "operate/ModuleSender.h"
#include "settings/PreSettings.h"

// What applying a preset needs besides the module: a window shows the values
// and tells the operator; a program without a window only finds the TTCrx.
class PresetTarget {
 public:
  virtual ~PresetTarget() = default;

  // Puts the preset on the panel; nothing is sent. Its values are already in
  // the ranges the controls hold (PresetAsShown). What shows only what was
  // sent (the enabled states, the TTCrx control register) waits for its
  // write: Apply may stop before it.
  virtual void Show(const PreSettings& preset) = 0;
  // The trigger source is sent next (after the rate): a panel enables what
  // that source uses, as its own click on the source does.
  virtual void SendingTriggerSource(int /*source*/) {}
  // The TTCrx control register is sent next: a panel's display shows it.
  virtual void SendingControlRegister(std::bitset<8> /*value*/) {}
  // The address of the preset's TTCrx, asked before each of its registers is
  // sent; raises the conversion error when there is none.
  virtual std::int32_t RxAddress() = 0;
  // The retransmit bits are sent: a panel's B-Go boxes follow the channels'
  // new states. A window's Retransmit box that changes writes CSR2 once more
  // with the same bits; from the window's start (tab B-Go 0, Retransmit
  // ticked) that is when the preset turns channel 0's retransmission off, so
  // a program without a window that must match the window's cycles sends the
  // retransmit bits again then.
  virtual void ReloadBGoTab() = 0;
  // A FIFO is loaded; a window tells the operator and waits for the answer.
  virtual void FifoLoaded(int channel) = 0;
};

// The preset as the controls would hold it: indexes they do not have become
// -1 (none), the inhibits and the TTCrx values come into their ranges.
PreSettings PresetAsShown(PreSettings preset);

// Applies a preset in one action: first every value goes on the panel, then
// the hardware is written in this order: rate, trigger source, orbit,
// inhibits, fine deskews and coarse delays of the preset's TTCrx, the four
// B-Go modes (calibration only ever on channel 2), the TTCrx control
// register, the retransmit bits, the B-Go tab's boxes, a reset of all four
// FIFOs, and the FIFOs' loads. An error stops it where it occurs; what was
// sent stays sent.
void ApplyPreset(const PreSettings& preset, ModuleSender& sender, PresetTarget& target);
