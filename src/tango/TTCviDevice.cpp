#include "tango/TTCviDevice.h"

#include <bitset>
#include <chrono>
#include <type_traits>

#include "base/ScopeExit.h"
#include "base/StoredText.h"
#include "buslog/BusCause.h"
#include "buslog/BusLogFile.h"
#include "buslog/BusLogKeeper.h"
#include "ctl/CtlCommandLine.h"
#include "operate/ErrorText.h"
#include "operate/ModuleLock.h"
#include "settings/RxAddresses.h"
#include "ttcvi/RegisterFields.h"
#include "ttcvi/RegisterMap.h"
#include "ttcvi/TTCrxRegisters.h"
#include "vme/TVMEWinBit3.h"

namespace {

// The server keeps fewer entries than a window shows: the file takes them
// all after every access when [BusLog] turns it on.
constexpr std::size_t kBusLogRing = 4096;

std::size_t At(int index) { return static_cast<std::size_t>(index); }

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// A number a client sent, in the range its control holds.
void CheckRange(const std::string& what, std::int64_t value, std::int64_t lowest,
                std::int64_t highest) {
  if (value < lowest || value > highest)
    throw EDeviceRefused(DeviceRefusal::OutOfRange, what + " " + std::to_string(value) +
                                                        " is outside " + std::to_string(lowest) +
                                                        ".." + std::to_string(highest));
}

void CheckChannels(const std::string& what, std::size_t count) {
  if (count != TTCviDevice::kChannels)
    throw EDeviceRefused(DeviceRefusal::OutOfRange,
                         what + ": " + std::to_string(count) + " values given, one per channel (" +
                             std::to_string(TTCviDevice::kChannels) + ") wanted");
}

// A client that meant a real crate must not take the simulated one for it.
std::string SimulatedCrateWarning(const crate::CrateChoice& choice) {
  if (!choice.Simulated || choice.ChosenBy != crate::kChosenByDefault) return "";
  const crate::CrateSettings& settings = choice.Settings;
  const std::string file = !settings.File.empty()     ? settings.File.string()
                           : !settings.Places.empty() ? settings.Places.front().string()
                                                      : std::string("crate.conf");
  return "quorvane-ds: no adapter chosen (" +
         (settings.File.empty() ? std::string("no crate.conf") : file + " names none") +
         "): driving the simulated crate; name the adapter with the Adapter property or "
         "\"adapter = \" in " +
         file + " (Adapter sim silences this)";
}

std::vector<std::string> Shown(const std::vector<std::string>& stored) {
  std::vector<std::string> names;
  names.reserve(stored.size());
  for (const std::string& name : stored) names.push_back(StoredTextToUtf8(name));
  return names;
}

}  // namespace

const char* RefusalReason(DeviceRefusal kind) {
  switch (kind) {
    case DeviceRefusal::BusError:
      return "TTCvi_BusError";
    case DeviceRefusal::UnknownName:
      return "TTCvi_UnknownName";
    case DeviceRefusal::OutOfRange:
      return "TTCvi_ValueOutOfRange";
    case DeviceRefusal::ModuleInUse:
      return "TTCvi_ModuleInUse";
    case DeviceRefusal::Configuration:
      return "TTCvi_Configuration";
    case DeviceRefusal::Off:
      return "TTCvi_DeviceOff";
  }
  return "TTCvi_Error";
}

crate::CrateSettings WithProperties(crate::CrateSettings settings, const DeviceProperties& given) {
  const crate::SettingPlace place{"the device's properties", 0};
  auto refuse = [](const std::string& problem) {
    if (!problem.empty()) throw Exception("The device's properties: " + problem);
  };
  if (!given.Adapter.empty()) {
    settings.Adapter = given.Adapter;
    settings.AdapterPlace = place;
  }
  if (!given.Base.empty()) {
    refuse(sim::ReadTTCviBase(given.Base, settings.Sim.TTCviBase));
    settings.BasePlace = {place.File, 1};
  }
  for (const auto& [key, value] :
       {std::pair<const char*, const std::string&>{"bridge", given.Bridge},
        {"link", given.Link},
        {"node", given.Node},
        {"host", given.Host}}) {
    if (value.empty()) continue;
    refuse(caen::ReadBridgeKey(key, value, settings.Caen));
    if (std::string(key) == "bridge") {
      settings.HaveBridge = true;
      settings.BridgePlace = place;
    }
    if (std::string(key) == "host") settings.HaveHost = true;
  }
  if (!given.Library.empty())
    (settings.Adapter == "caen" ? settings.CaenLibrary : settings.SbsLibrary) = given.Library;
  return settings;
}

DeviceEnvironment DefaultDeviceEnvironment() {
  DeviceEnvironment environment;
  environment.Select = [](const DeviceProperties& properties) {
    const crate::CrateSettings settings =
        WithProperties(crate::LoadCrateSettings(crate::CrateSettingsPlaces()), properties);
    // An Adapter property ranks as the panel's --adapter.
    return crate::SelectAdapter(properties.Adapter, settings);
  };
  // Unit 0, logical device 2 (the A24 window), no transfer limit: as the panel opens it.
  environment.Connect = [] { return std::make_unique<TVMEWinBit3>(0, 2, -1); };
  environment.DataFolder = UserDataFolder();
  if (!environment.DataFolder.empty())
    environment.DefaultConfig = environment.DataFolder / "quorvane.ini";
  environment.LockFolders = ModuleLock::DefaultFolders();
  environment.Notice = [](const std::string&) {};
  return environment;
}

const std::vector<std::string>& TTCviDevice::TriggerSourceLabels() {
  static const std::vector<std::string> labels = {"0 L1A ECL", "1 L1A NIM",    "2 L1A NIM",
                                                  "3 L1A NIM", "4 VME sended", "5 Random",
                                                  "6 Calibr.", "7 none"};
  return labels;
}

const std::vector<std::string>& TTCviDevice::RandomRateLabels() {
  static const std::vector<std::string> labels = {"1 Hz",   "100 Hz", "1 kHz",  "5 kHz",
                                                  "10 kHz", "25 kHz", "50 kHz", "100 kHz"};
  return labels;
}

TTCviDevice::TTCviDevice(DeviceEnvironment environment) : Environment_(std::move(environment)) {}

TTCviDevice::~TTCviDevice() { Off(); }

void TTCviDevice::Refuse(DeviceState state, DeviceRefusal kind, const std::string& message) {
  State_ = state;
  Status_ = ErrorBoxMessage(message);
  if (!Warning_.empty()) Status_ += "\n" + Warning_;
  throw EDeviceRefused(kind, Status_);
}

template <typename Action>
auto TTCviDevice::Access(const std::string& cause, const std::string& from, Action&& action) {
  if (State_ == DeviceState::Off && Configuration_)
    throw EDeviceRefused(DeviceRefusal::Off, Status_);
  // The module held by another program may have been let go since.
  if (!Session_) Open();
  const BusCauseScope scope([&] { return from.empty() ? cause : cause + " from " + from; });
  const auto written = [this] {
    try {
      Log_->WriteFile();
    } catch (const Exception& problem) {
      Environment_.Notice("quorvane-ds: " + problem.Message());
    }
  };
  try {
    if constexpr (std::is_void_v<decltype(action())>) {
      action();
      written();
      Held();
    } else {
      auto result = action();
      written();
      Held();
      return result;
    }
  } catch (const EDeviceRefused&) {
    written();
    throw;
  } catch (const Exception& refused) {
    written();
    Refuse(DeviceState::Fault, DeviceRefusal::BusError, refused.Message());
  }
}

void TTCviDevice::Init(const DeviceProperties& properties) {
  Off();
  Properties_ = properties;
  Configuration_.reset();
  Choice_.reset();
  Warning_.clear();
  try {
    const std::filesystem::path file = properties.ConfigFile.empty()
                                           ? Environment_.DefaultConfig
                                           : std::filesystem::path(properties.ConfigFile);
    if (file.empty())
      throw Exception(
          "No configuration file: no home folder is known; give one in the ConfigFile property");
    // Read whole and never written: the panel's file is the panel's.
    Configuration_ = LoadCtlConfiguration(file);
    Choice_ = Environment_.Select(properties);
  } catch (const Exception& problem) {
    State_ = DeviceState::Fault;
    Status_ = ErrorBoxMessage(problem.Message());
    return;
  }
  Warning_ = SimulatedCrateWarning(*Choice_);
  if (!Warning_.empty()) Environment_.Notice(Warning_);
  Log_ =
      std::make_unique<BusLogKeeper>(Configuration_->BusLog, kBusLogRing, Environment_.DataFolder);
  try {
    On("Init");
  } catch (const EDeviceRefused&) {
    // The state and its Status tell it.
  }
}

void TTCviDevice::Open() {
  if (!Configuration_ || !Log_) Refuse(DeviceState::Fault, DeviceRefusal::Configuration, Status_);
  Model_.reset();
  Session_.reset();
  try {
    Session_ = std::make_unique<ModuleSession>(
        Environment_.Connect, static_cast<std::uint32_t>(Configuration_->Stored.TTCviAddress),
        *Log_, SessionPlan{"quorvane-ds", std::chrono::milliseconds(0), Environment_.LockFolders});
  } catch (const EModuleInUse& held) {
    Refuse(DeviceState::Disable, DeviceRefusal::ModuleInUse, held.Message());
  } catch (const EModuleLockFile& problem) {
    Refuse(DeviceState::Fault, DeviceRefusal::Configuration, problem.Message());
  } catch (const Exception& failure) {
    Refuse(DeviceState::Fault, DeviceRefusal::BusError, failure.Message());
  }
  Model_ = std::make_unique<PanelModel>(Session_->Sender(), Configuration_->Stored);
  State_ = DeviceState::On;
}

void TTCviDevice::On(const std::string& from) {
  if (!Session_) Open();
  // The module is taken over as it runs: the shadows and the controls
  // take what it holds, so that the next write changes only its own field.
  Access("On", from, [this] {
    TTTCvi& module = Session_->Module();
    const std::uint16_t csr1 = module.ReadCSR1();
    module.LoadCSR1Shadow(csr1);
    module.LoadCSR2Shadow(module.ReadCSR2());
    Model_->ShowCsr1(static_cast<int>(ttcvi::kTriggerSource.Of(csr1)),
                     static_cast<int>(ttcvi::kRandomRate.Of(csr1)),
                     ttcvi::kOrbitInternal.Of(csr1) != 0);
  });
}

void TTCviDevice::Off() {
  Model_.reset();
  if (Session_) Session_->Release();
  Session_.reset();
  if (Log_) {
    try {
      Log_->WriteFile();
    } catch (const Exception& problem) {
      Environment_.Notice("quorvane-ds: " + problem.Message());
    }
  }
  State_ = DeviceState::Off;
  Status_ = "The device is OFF: the module is free for a panel (On takes it)";
}

PanelModel& TTCviDevice::Model() { return *Model_; }

void TTCviDevice::Held() {
  State_ = DeviceState::On;
  Status_ =
      "The device holds the TTCvi at " + HexText(Session_->Base(), 6) + " (" + Choice_->Name + ")";
  if (!Warning_.empty()) Status_ += "\n" + Warning_;
}

// --- attributes.

std::uint16_t TTCviDevice::CSR1(const std::string& from) {
  return Access("Read CSR1", from, [this] { return Model().ReadCSR1(); });
}

std::uint16_t TTCviDevice::CSR2(const std::string& from) {
  return Access("Read CSR2", from, [this] { return Model().ReadCSR2(); });
}

std::array<bool, 4> TTCviDevice::FifoEmpty(const std::string& from) {
  const std::uint16_t csr2 = Access("Read FifoEmpty", from, [this] { return Model().ReadCSR2(); });
  std::array<bool, 4> empty{};
  for (unsigned n = 0; n < 4; ++n) empty[n] = ttcvi::FIFOEmpty(n).Of(csr2) != 0;
  return empty;
}

std::array<bool, 4> TTCviDevice::FifoFull(const std::string& from) {
  const std::uint16_t csr2 = Access("Read FifoFull", from, [this] { return Model().ReadCSR2(); });
  std::array<bool, 4> full{};
  for (unsigned n = 0; n < 4; ++n) full[n] = ttcvi::FIFOFull(n).Of(csr2) != 0;
  return full;
}

std::array<std::uint16_t, 4> TTCviDevice::BGoMode(const std::string& from) {
  return Access("Read BGoMode", from, [this] {
    std::array<std::uint16_t, 4> modes{};
    for (std::size_t n = 0; n < 4; ++n)
      modes[n] = static_cast<std::uint16_t>(Session_->Module().BGo[n]->ReadMode().to_ulong());
    return modes;
  });
}

int TTCviDevice::TriggerSource(const std::string& from) {
  const std::uint16_t csr1 =
      Access("Read TriggerSource", from, [this] { return Model().ReadCSR1(); });
  return static_cast<int>(ttcvi::kTriggerSource.Of(csr1));
}

int TTCviDevice::RandomRate(const std::string& from) {
  const std::uint16_t csr1 = Access("Read RandomRate", from, [this] { return Model().ReadCSR1(); });
  return static_cast<int>(ttcvi::kRandomRate.Of(csr1));
}

bool TTCviDevice::OrbitInternal(const std::string& from) {
  const std::uint16_t csr1 =
      Access("Read OrbitInternal", from, [this] { return Model().ReadCSR1(); });
  return ttcvi::kOrbitInternal.Of(csr1) != 0;
}

std::array<bool, 4> TTCviDevice::Retransmit(const std::string& from) {
  const std::uint16_t csr2 = Access("Read Retransmit", from, [this] { return Model().ReadCSR2(); });
  std::array<bool, 4> on{};
  for (unsigned n = 0; n < 4; ++n) on[n] = ((ttcvi::kRetransmitOff.Of(csr2) >> n) & 1u) == 0;
  return on;
}

ModuleSender::Inhibits TTCviDevice::InhibitDelay() const {
  return Model_ ? Model_->State().InhibitDelays : ModuleSender::Inhibits{};
}

ModuleSender::Inhibits TTCviDevice::InhibitDuration() const {
  return Model_ ? Model_->State().InhibitDurations : ModuleSender::Inhibits{};
}

std::vector<std::string> TTCviDevice::Presets() const {
  std::vector<std::string> names;
  if (Configuration_)
    for (const NamedPreset& preset : Configuration_->Stored.Presets) names.push_back(preset.Name);
  return Shown(names);
}

std::vector<std::string> TTCviDevice::Sequences() const {
  std::vector<std::string> names;
  if (Configuration_)
    for (const BGoDataSequence& sequence : Configuration_->Stored.Sequences)
      names.push_back(sequence.Name);
  return Shown(names);
}

std::vector<std::string> TTCviDevice::RxNames() const {
  std::vector<std::string> names;
  if (Configuration_)
    for (const std::string& entry : Configuration_->Stored.RxAddresses)
      names.push_back(RxEntryName(entry));
  return Shown(names);
}

void TTCviDevice::WriteTriggerSource(int source, const std::string& from) {
  CheckRange("TriggerSource", source, 0, ModuleSender::kTriggerSources - 1);
  Access("Write TriggerSource " + TriggerSourceLabels()[At(source)], from,
         [this, source] { Model().ChooseTriggerSource(source); });
}

void TTCviDevice::WriteRandomRate(int rate, const std::string& from) {
  CheckRange("RandomRate", rate, 0, ModuleSender::kRates - 1);
  Access("Write RandomRate " + RandomRateLabels()[At(rate)], from,
         [this, rate] { Model().ChooseRate(rate); });
}

void TTCviDevice::WriteOrbitInternal(bool internal, const std::string& from) {
  Access(std::string("Write OrbitInternal ") + (internal ? "true" : "false"), from,
         [this, internal] { Model().SetOrbit(internal); });
}

void TTCviDevice::WriteInhibitDelay(const std::vector<std::int32_t>& delays,
                                    const std::string& from) {
  CheckChannels("InhibitDelay", delays.size());
  for (std::int32_t delay : delays)
    CheckRange("InhibitDelay", delay, 0, ModuleSender::kMaxInhibitDelay);
  // The panel's inhibit boxes send all eight values together.
  Access("Write InhibitDelay", from, [this, &delays] {
    for (int n = 0; n < kChannels; ++n) Model().SetInhibitDelay(n, delays[At(n)]);
    Model().SendInhibits();
  });
}

void TTCviDevice::WriteInhibitDuration(const std::vector<std::int32_t>& durations,
                                       const std::string& from) {
  CheckChannels("InhibitDuration", durations.size());
  for (std::int32_t duration : durations)
    CheckRange("InhibitDuration", duration, 0, ModuleSender::kMaxInhibitDuration);
  Access("Write InhibitDuration", from, [this, &durations] {
    for (int n = 0; n < kChannels; ++n) Model().SetInhibitDuration(n, durations[At(n)]);
    Model().SendInhibits();
  });
}

void TTCviDevice::WriteRetransmit(const std::vector<bool>& on, const std::string& from) {
  CheckChannels("Retransmit", on.size());
  std::bitset<4> off;
  for (std::size_t n = 0; n < 4; ++n) off[n] = !on[n];
  // One CSR2 write with the four bits, as the retransmit box's.
  Access("Write Retransmit", from, [this, off] { Model().Sender().SendRetransmit(off); });
}

// --- commands.

int TTCviDevice::Lookup(const std::function<int()>& find) const {
  if (!Configuration_) throw EDeviceRefused(DeviceRefusal::Configuration, Status_);
  try {
    return find();
  } catch (const ECtlConfiguration& unknown) {
    throw EDeviceRefused(DeviceRefusal::UnknownName, ErrorBoxMessage(unknown.Message()));
  } catch (const ECtlUsage& range) {
    throw EDeviceRefused(DeviceRefusal::OutOfRange, ErrorBoxMessage(range.Message()));
  }
}

std::int32_t TTCviDevice::RxAddress(const std::string& rx) const {
  return Lookup([&] { return Configuration_->RxAddress(rx, "TTCrx"); });
}

namespace {

// Forwards the model's FIFO notices to the device's log.
class FifoNotices : public PanelListener {
 public:
  explicit FifoNotices(const std::function<void(const std::string&)>& notice) : Notice_(notice) {}
  void FifoLoaded(int channel) override {
    Notice_("B-Go Fifo [" + std::to_string(channel) + "] loaded");
  }

 private:
  const std::function<void(const std::string&)>& Notice_;
};

}  // namespace

void TTCviDevice::ApplyPreset(const std::string& name, const std::string& from) {
  const int index = Lookup([&] { return Configuration_->PresetIndex(name); });
  const PreSettings& preset = Configuration_->Stored.Presets[At(index)].Settings;
  // A TTCrx without an address would stop Apply halfway: refused first.
  const std::vector<std::string>& entries = Configuration_->Stored.RxAddresses;
  const int entry = FindRxEntry(entries, preset.RxName);
  std::string problem = "it is not in the TTCrx list";
  if (entry < 0 || !RxEntryAddress(entries[At(entry)], problem))
    throw EDeviceRefused(DeviceRefusal::UnknownName,
                         "Preset \"" + StoredTextToUtf8(name) + "\" is for TTCrx \"" +
                             StoredTextToUtf8(preset.RxName) + "\", which has no address in " +
                             Configuration_->File.string() + ": " + problem + "; nothing was sent");
  Access("ApplyPreset " + Quoted(StoredTextToUtf8(name)), from, [this, index] {
    FifoNotices notices(Environment_.Notice);
    Model().AddListener(notices);
    const ScopeExit quiet([&] { Model().RemoveListener(notices); });
    Model().ApplyPreset(index);
  });
}

void TTCviDevice::LoadFifo(int channel, const std::string& sequence, const std::string& from) {
  CheckRange("Channel", channel, 0, kChannels - 1);
  const BGoWords* words = nullptr;
  Lookup([&] {
    words = &Configuration_->Sequence(sequence);
    return 0;
  });
  Access("LoadFifo " + std::to_string(channel) + " " + Quoted(sequence), from,
         [this, channel, words] { Model().Sender().LoadFifo(channel, *words); });
}

void TTCviDevice::ResetFifos(const std::vector<int>& channels, const std::string& from) {
  std::bitset<4> reset;
  for (int channel : channels) {
    CheckRange("Channel", channel, 0, kChannels - 1);
    reset.set(At(channel));
  }
  if (channels.empty()) reset.set();
  Access("ResetFifos", from, [this, reset] { Model().Sender().ResetFifos(reset); });
}

void TTCviDevice::Reset(const std::string& from) {
  Access("Reset", from, [this] { Model().ResetModule(); });
}

void TTCviDevice::Trigger(const std::string& from) {
  Access("Trigger", from, [this] { Model().VMETrigger(); });
}

void TTCviDevice::SendShort(int command, const std::string& from) {
  CheckRange("Command", command, 0, 0xFF);
  Access("SendShort " + std::to_string(command), from,
         [this, command] { Model().SendShort(command); });
}

void TTCviDevice::SendLong(const std::string& rx, int subaddress, int data, bool external,
                           const std::string& from) {
  CheckRange("Subaddress", subaddress, 0, 0xFF);
  CheckRange("Data", data, 0, 0xFF);
  const std::int32_t address = RxAddress(rx);
  Access("SendLong to " + Quoted(rx), from, [this, address, subaddress, data, external] {
    TTTCvi& module = Session_->Module();
    if (external)
      module.SendLongAsyncExternal(address, subaddress, data);
    else
      module.SendLongAsync(address, subaddress, data);
  });
}

void TTCviDevice::SetRx(const std::string& rx, const RxRegisters& registers,
                        const std::string& from) {
  auto check = [](const char* what, const std::optional<int>& value, int highest) {
    if (value) CheckRange(what, *value, 0, highest);
  };
  check("Deskew1", registers.Deskew1, ttcrx::kMaxFineDeskew);
  check("Deskew2", registers.Deskew2, ttcrx::kMaxFineDeskew);
  check("Coarse1", registers.Coarse1, ttcrx::kMaxCoarseDelay);
  check("Coarse2", registers.Coarse2, ttcrx::kMaxCoarseDelay);
  check("Control", registers.Control, 0xFF);
  if (registers.Coarse1.has_value() != registers.Coarse2.has_value())
    throw EDeviceRefused(DeviceRefusal::OutOfRange,
                         "The coarse delays share one TTCrx register: give both together");
  const std::int32_t address = RxAddress(rx);
  // In the order the panel's Apply sends them.
  Access("SetRx " + Quoted(rx), from, [this, address, &registers] {
    ModuleSender& sender = Model().Sender();
    if (registers.Deskew1) sender.SendDeskew1(address, *registers.Deskew1);
    if (registers.Deskew2) sender.SendDeskew2(address, *registers.Deskew2);
    if (registers.Coarse1) sender.SendCoarseDelays(address, *registers.Coarse1, *registers.Coarse2);
    if (registers.Control)
      sender.SendControlRegister(address,
                                 std::bitset<8>(static_cast<unsigned>(*registers.Control)));
  });
}
