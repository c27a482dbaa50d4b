#pragma once

// The panel without widgets: what every control holds, the lists read from
// the configuration file, and every bus sequence an operator's action starts.
// A window, quorvane-ctl and the device server are front ends of this one
// model: they forward what the operator (or a client) does and redraw when
// the model says something changed. No Qt.

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "operate/ModuleSender.h"
#include "settings/BGoSequence.h"
#include "settings/Configuration.h"
#include "settings/PreSettings.h"

// What changed, so that a view redraws only its own part.
enum class PanelPart {
  Csr1,       // trigger source, rate, orbit, the enabled states they give
  Inhibits,   // the eight inhibit values
  ReadOuts,   // CSR1, CSR2 and B-Go mode read-outs
  Rx,         // the selected TTCrx, the selectors, the control register
  RxList,     // the TTCrx address list
  BGoPage,    // the channel shown and the boxes of the B-Go page
  Sequences,  // the B-Go data sequence list
  Presets,    // the preset list
  TrigWord,   // the TRIGWORD group's enabled state
};

// A front end of the model: told what changed, and asked to answer the
// notices an action gives on its way (a window shows a box and waits; a
// program prints a line). An answer that raises stops the action there.
class PanelListener {
 public:
  virtual ~PanelListener() = default;
  virtual void Changed(PanelPart /*part*/) {}
  // A B-Go FIFO was loaded by Apply: "B-Go Fifo [n] loaded".
  virtual void FifoLoaded(int /*channel*/) {}
};

// What the controls hold. Values are kept as the controls show them (a rate
// or source index of -1 is "none"); ranges are brought in by the sender.
struct PanelState {
  // CSR1 group.
  int TriggerSource = -1;  // no source chosen at start
  int RateIndex = 0;       // "1 Hz" at start; -1 for a typed rate that is no item
  bool OrbitInternal = true;
  bool TriggerEnabled = false;  // "Triger": the VME source was chosen last
  bool RateEnabled = false;     // the rate box: the random source was chosen last
  ModuleSender::Inhibits InhibitDelays{};
  ModuleSender::Inhibits InhibitDurations{};
  // Read-outs: empty until read.
  std::optional<std::uint16_t> CSR1;
  std::optional<std::uint16_t> CSR2;
  std::optional<std::bitset<5>> BGoMode;  // of the channel shown, at its last read

  // The TTCrx group.
  int SelectedRx = -1;                  // index into RxAddresses
  std::array<int, 4> Selectors{};       // fine deskew 1, 2, coarse delay 1, 2
  std::bitset<8> ControlRegisterBoxes;  // the control register dialog's boxes
  std::bitset<8> ControlRegisterShown;  // the display: the value last sent

  // The B-Go page: four channels over one set of boxes.
  int ShownChannel = 0;
  std::array<std::array<bool, 4>, 4> BGoFlags{};  // remembered [channel][Enable..FIFO]
  std::bitset<4> RetransmitOff;                   // bit n: channel n does not retransmit
  std::array<bool, 4> ModeBoxes{};                // the page's Enable..FIFO boxes
  bool CalibrationBox = false;
  bool RetransmitBox = true;

  // TRIGWORD: "Enable after-trigger tranfer" ticked.
  bool TrigWordEnabled = true;

  // The lists, as the configuration file keeps them (names as stored bytes).
  std::vector<BGoDataSequence> Sequences;
  std::vector<NamedPreset> Presets;
  std::vector<std::string> RxAddresses;  // "name=address"
};

class PanelModel {
 public:
  static constexpr int kChannels = 4;
  static constexpr int kVMETriggerSource = 4;
  enum Selector { kDeskew1, kDeskew2, kCoarseDelay1, kCoarseDelay2 };

  // The module's sender and the lists read from the configuration file.
  PanelModel(ModuleSender& sender, StoredConfiguration stored);

  PanelModel(const PanelModel&) = delete;
  PanelModel& operator=(const PanelModel&) = delete;

  const PanelState& State() const { return State_; }
  ModuleSender& Sender() const { return Sender_; }
  // What the close writes back: the base the module was opened at and the lists.
  StoredConfiguration Stored() const;

  void AddListener(PanelListener& listener);
  void RemoveListener(PanelListener& listener);

  // Start-up: the module reset, mode 0 on the four B-Go channels, and the
  // first CSR1 write (the orbit bit as the box holds it, every other field
  // 0). The first TTCrx becomes the target; nothing is sent to it.
  void StartUp();

  // --- CSR1, CSR2, inhibits, reset.
  // The source's choice enables "Triger" (VME) or the rate box (random),
  // then the rate (random source only) and the source are written.
  void ChooseTriggerSource(int source);
  void ChooseRate(int index);  // -1: no item, 7 in the rate field
  void SetOrbit(bool internal);
  void VMETrigger();
  void ResetL1AFifo();
  std::uint16_t ReadCSR1();
  std::uint16_t ReadCSR2();
  void ResetAllFifos();
  void ResetModule();
  // The boxes' values, kept until sent; SendInhibits sends all eight.
  void SetInhibitDelay(int channel, int delay);
  void SetInhibitDuration(int channel, int duration);
  void SendInhibits();
  // The rate box shows another item with no operator's change (set by
  // code): nothing is sent, and the next CSR1 write carries it.
  void ShowRate(int index);

  // --- the TTCrx group.
  void SelectRx(int index);
  // The address of the selected TTCrx; raises the conversion error when
  // there is none or its address is no number, and a range error for one
  // that a TTCrx cannot have.
  std::int32_t SelectedRxAddress() const;
  // The selected TTCrx as the bus log names it: its name, or "no TTCrx".
  std::string SelectedRxCause() const;
  // Moves a selector and sends its register (both coarse delays go together).
  void SetSelector(Selector selector, int value);
  // Shows a selector's value without sending it.
  void ShowSelector(Selector selector, int value);
  // The control register dialog's boxes (kept, nothing sent), and the value
  // sent: it shows first, then goes to the selected TTCrx.
  void SetControlRegisterBoxes(std::bitset<8> value);
  void SendControlRegister(std::bitset<8> value);
  void AddRxAddress(const std::string& name, const std::string& address);
  void DeleteRxAddress(int index);

  // --- the B-Go page.
  // Shows a channel: the page's boxes take its remembered states; a
  // Retransmit box that changes writes CSR2 once more with the unchanged bits.
  void ShowChannel(int channel);
  // A mode box of the page: the channel's mode is written, then remembered.
  void SetModeBox(int flag, bool ticked);
  void SetCalibrationBox(bool ticked);
  void SetRetransmitBox(bool ticked);
  void SignalBGo();
  void ResetShownFifo();
  // Loads the sequence at index into the shown channel's FIFO.
  void LoadFifo(int sequence);
  // "LOADED", "EMPTY" or "FULL" for the shown channel's FIFO, from CSR2.
  std::string FifoStatus();
  std::bitset<5> ReadBGoMode();
  void AddSequence(BGoDataSequence sequence);
  void ReplaceSequence(int index, BGoDataSequence sequence);
  void DeleteSequence(int index);

  // --- asynchronous cycles and TRIGWORD, to the selected TTCrx.
  void SendLong(bool external, std::int32_t subaddress, std::int32_t data);
  void SendShort(std::int32_t command);
  // Ticked: the TRIGWORD is set from subaddress; cleared: it is disarmed
  // (no typed value needed).
  void SetTrigWordEnabled(bool enabled, std::int32_t subaddress, bool external);
  void SetTrigWord(std::int32_t subaddress, bool external);

  // --- presets.
  // The panel as a preset, with the chosen sequence (index into the list,
  // none: empty) for each FIFO.
  PreSettings Snapshot(const std::array<std::optional<int>, 4>& sequences) const;
  void AddPreset(const std::string& name, PreSettings preset);
  void DeletePreset(int index);
  // Puts every value of preset (brought into range as PresetAsShown does) on
  // the panel; nothing is sent, and what shows what was sent (the enabled
  // states, the control register's display) stays.
  void ShowPreset(const PreSettings& preset);
  // Applies the preset at index in one action: every value goes on the
  // panel, then the hardware is written in this order: rate, trigger
  // source, orbit, inhibits, fine deskews and coarse delays of the preset's
  // TTCrx, the four B-Go modes (calibration only ever on channel 2), the
  // TTCrx control register, the retransmit bits, the B-Go page's reload, a
  // reset of all four FIFOs, and the FIFOs' loads, each told to the
  // listeners. An error stops it where it occurs; what was sent stays sent,
  // and what shows what was sent (the enabled states, the control register)
  // shows only that.
  void ApplyPreset(int index);

  // A running module taken over without the start-up reset (the device
  // server): the CSR1 controls show what the module holds, so that the next
  // choice of the random source keeps the module's rate. Sends nothing.
  void ShowCsr1(int triggerSource, int rateIndex, bool orbitInternal);

 private:
  void Notify(PanelPart part);
  void SendSelector(Selector selector);

  ModuleSender& Sender_;
  std::int32_t Base_;
  PanelState State_;
  std::vector<PanelListener*> Listeners_;
};
