#pragma once

// The TTCvi as a control system's device: every attribute and command of the
// device server mapped onto the panel's model and the module's session, with
// the device's state and the kinds of refusal a client is told. Neither Tango
// nor Qt: the Tango class (TTCviServer.cpp) only converts values and errors.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "crate/SelectAdapter.h"
#include "ctl/CtlConfiguration.h"
#include "operate/ModuleSession.h"
#include "operate/PanelModel.h"
#include "vme/TVMEInterface.h"

class BusLogKeeper;

// ON while the device holds the module, OFF after Off, FAULT after a refused
// access (back to ON at the next access that succeeds), DISABLE while
// another program holds the module.
enum class DeviceState { On, Off, Fault, Disable };

// What kind of refusal a client is told; the reason of the error it gets.
enum class DeviceRefusal { BusError, UnknownName, OutOfRange, ModuleInUse, Configuration, Off };

// "TTCvi_BusError", "TTCvi_UnknownName", ...
const char* RefusalReason(DeviceRefusal kind);

// A refused attribute access or command: its kind, and the panel's text.
class EDeviceRefused : public Exception {
 public:
  EDeviceRefused(DeviceRefusal kind, std::string message)
      : Exception(std::move(message)), Kind_(kind) {}
  DeviceRefusal Kind() const { return Kind_; }

 private:
  DeviceRefusal Kind_;
};

// The device's properties; an absent one is empty, and then crate.conf (or
// the default) gives it as it gives it to the panel.
struct DeviceProperties {
  std::string Adapter, Bridge, Link, Node, Host, Library, Base;
  std::string ConfigFile;  // empty: the installed panel's per-user file
  int PollPeriod = 1000;   // ms between the reads of CSR1 and CSR2; 0 for never
};

// What the device runs on: the defaults of the installed program, or a
// test's own crate and folders.
struct DeviceEnvironment {
  // Chooses and installs the adapter (crate::SelectAdapter over crate.conf
  // and the properties). Raises Exception when none can be chosen.
  std::function<crate::CrateChoice(const DeviceProperties&)> Select;
  std::function<std::unique_ptr<TVMEInterface>()> Connect;
  std::filesystem::path DefaultConfig;  // $XDG_DATA_HOME/quorvane/quorvane.ini
  std::filesystem::path DataFolder;     // where the bus log's file goes
  std::vector<std::filesystem::path> LockFolders;
  // The device's log: FIFO notices, the simulated-crate warning, a bus log
  // file that cannot be written.
  std::function<void(const std::string&)> Notice;
};

DeviceEnvironment DefaultDeviceEnvironment();

// The crate settings with the properties given laid over crate.conf's.
crate::CrateSettings WithProperties(crate::CrateSettings settings, const DeviceProperties& given);

// The TTCrx registers SetRx sets; an empty one is left as it is.
struct RxRegisters {
  std::optional<int> Deskew1{}, Deskew2{}, Coarse1{}, Coarse2{}, Control{};
};

class TTCviDevice {
 public:
  static constexpr int kChannels = PanelModel::kChannels;
  // DevEnum labels: the panel's captions (the source field's 7 is "none").
  static const std::vector<std::string>& TriggerSourceLabels();
  static const std::vector<std::string>& RandomRateLabels();

  explicit TTCviDevice(DeviceEnvironment environment);
  ~TTCviDevice();
  TTCviDevice(const TTCviDevice&) = delete;
  TTCviDevice& operator=(const TTCviDevice&) = delete;

  // Reads the configuration file and chooses the adapter, then takes the
  // module (On). Never raises: what went wrong is the state and its Status.
  void Init(const DeviceProperties& properties);
  // Takes the module: its lock, then the CSR shadows from the module (no
  // reset: a running module is taken over as it is).
  void On(const std::string& from = "");
  // Lets the module go, so that a panel may take it.
  void Off();

  DeviceState State() const { return State_; }
  const std::string& Status() const { return Status_; }
  const DeviceProperties& Properties() const { return Properties_; }

  // --- attributes. from: the client's host, for the bus log's cause.
  std::uint16_t CSR1(const std::string& from = "");
  std::uint16_t CSR2(const std::string& from = "");
  std::array<bool, 4> FifoEmpty(const std::string& from = "");
  std::array<bool, 4> FifoFull(const std::string& from = "");
  std::array<std::uint16_t, 4> BGoMode(const std::string& from = "");
  int TriggerSource(const std::string& from = "");
  int RandomRate(const std::string& from = "");
  bool OrbitInternal(const std::string& from = "");
  std::array<bool, 4> Retransmit(const std::string& from = "");
  // Write-only registers: what was last sent.
  ModuleSender::Inhibits InhibitDelay() const;
  ModuleSender::Inhibits InhibitDuration() const;
  std::vector<std::string> Presets() const;
  std::vector<std::string> Sequences() const;
  std::vector<std::string> RxNames() const;

  void WriteTriggerSource(int source, const std::string& from = "");
  void WriteRandomRate(int rate, const std::string& from = "");
  void WriteOrbitInternal(bool internal, const std::string& from = "");
  void WriteInhibitDelay(const std::vector<std::int32_t>& delays, const std::string& from = "");
  void WriteInhibitDuration(const std::vector<std::int32_t>& durations,
                            const std::string& from = "");
  void WriteRetransmit(const std::vector<bool>& on, const std::string& from = "");

  // --- commands.
  void ApplyPreset(const std::string& name, const std::string& from = "");
  void LoadFifo(int channel, const std::string& sequence, const std::string& from = "");
  void ResetFifos(const std::vector<int>& channels, const std::string& from = "");
  void Reset(const std::string& from = "");
  void Trigger(const std::string& from = "");
  void SendShort(int command, const std::string& from = "");
  void SendLong(const std::string& rx, int subaddress, int data, bool external,
                const std::string& from = "");
  void SetRx(const std::string& rx, const RxRegisters& registers, const std::string& from = "");

 private:
  template <typename Action>
  auto Access(const std::string& cause, const std::string& from, Action&& action);
  void Open();
  void Held();
  [[noreturn]] void Refuse(DeviceState state, DeviceRefusal kind, const std::string& message);
  PanelModel& Model();
  std::int32_t RxAddress(const std::string& rx) const;
  int Lookup(const std::function<int()>& find) const;

  DeviceEnvironment Environment_;
  DeviceProperties Properties_;
  std::optional<CtlConfiguration> Configuration_;
  std::optional<crate::CrateChoice> Choice_;
  std::string Warning_;  // driving the simulated crate unasked
  std::unique_ptr<BusLogKeeper> Log_;
  std::unique_ptr<ModuleSession> Session_;
  std::unique_ptr<PanelModel> Model_;
  DeviceState State_ = DeviceState::Off;
  std::string Status_ = "The device is OFF";
};
