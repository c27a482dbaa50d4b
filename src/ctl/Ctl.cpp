#include "ctl/Ctl.h"

#include <bitset>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <optional>

#include "base/ReadNumber.h"
#include "base/StoredText.h"
#include "buslog/BusCause.h"
#include "buslog/BusLogFile.h"
#include "buslog/BusLogKeeper.h"
#include "crate/SelectAdapter.h"
#include "ctl/CtlApply.h"
#include "ctl/CtlCommandLine.h"
#include "ctl/CtlConfiguration.h"
#include "ctl/CtlReports.h"
#include "operate/ErrorText.h"
#include "operate/ModuleLock.h"
#include "operate/ModuleSender.h"
#include "operate/ModuleSession.h"
#include "operate/PanelModel.h"
#include "settings/RxAddresses.h"
#include "ttcvi/TTCrxRegisters.h"
#include "ttcvi/TTTCvi.h"
#include "vme/TVMEWinBit3.h"
#include "vme/VMEErrors.h"

namespace {

constexpr int kChannels = 4;
constexpr std::int32_t kLargestByte = 0xFF;

// Unit 0, logical device 2 (the A24 window), no transfer limit: as the panel opens it.
std::unique_ptr<TVMEInterface> OpenConnection(const std::string&) {
  return std::make_unique<TVMEWinBit3>(0, 2, -1);
}

// The adapter as the panel chooses it (the command line, else the crate
// settings file, else the simulated crate). A choice that cannot be made (a
// damaged settings file, a vendor library missing) is a configuration error;
// nothing is opened then.
crate::CrateChoice Choose(const CtlEnvironment& environment, const std::string& adapter) {
  try {
    return environment.Select(adapter);
  } catch (const ECtlConfiguration&) {
    throw;
  } catch (const Exception& failure) {
    throw ECtlConfiguration(failure.Message());
  }
}

// A script that meant a real crate must not take the simulated one's "done"
// for the module's: said on every run that drives it without being asked to.
void WarnOfSimulatedCrate(const crate::CrateChoice& choice, std::ostream& err) {
  if (!choice.Simulated || choice.ChosenBy != crate::kChosenByDefault) return;
  const crate::CrateSettings& settings = choice.Settings;
  const std::string file = !settings.File.empty()     ? settings.File.string()
                           : !settings.Places.empty() ? settings.Places.front().string()
                                                      : std::string("crate.conf");
  err << "quorvane-ctl: no adapter chosen ("
      << (settings.File.empty() ? std::string("no crate.conf") : file + " names none")
      << "): driving the simulated crate; name the adapter with --adapter or \"adapter = \" in "
      << file << " (--adapter sim silences this)\n";
}

// The control register as the panel shows it (eight "0"/"1", bit 7 first) or
// a number 0..255.
std::int32_t ReadControlRegister(const std::string& text) {
  const bool bits = !text.empty() && text.find_first_not_of("01") == std::string::npos;
  if (bits && text.size() == 8) return static_cast<std::int32_t>(std::bitset<8>(text).to_ulong());
  // "1001001" read as a decimal number is far beyond a byte: bits were meant, one short.
  const std::optional<std::int32_t> number = TryReadNumber(text);
  if (bits && (!number || *number > kLargestByte))
    throw ECtlUsage("--control: " + text + " has " + std::to_string(text.size()) +
                    " bits: give eight \"0\"/\"1\" characters, bit 7 first (or a number 0..255)");
  return ReadCtlNumber(text, "--control", 0, kLargestByte);
}

// quorvane-ctl's bus log keeps few entries in memory: the file takes them
// all whenever the ring fills.
constexpr std::size_t kBusLogRing = 1024;

// One module driven by this run: the adapter as chosen, the module's session
// (its lock, its connection, every access logged when the file log is on)
// under the command line as the cause.
class CtlSession {
 public:
  CtlSession(const CtlEnvironment& environment, const CtlCommandLine& line,
             const CtlConfiguration& configuration, const std::vector<std::string>& arguments)
      : Err_(*environment.Err),
        Log_(configuration.BusLog, kBusLogRing, environment.DataFolder),
        Choice_(Choose(environment, line.Adapter)) {
    WarnOfSimulatedCrate(Choice_, Err_);
    Session_.emplace([&] { return environment.Connect(line.Adapter); },
                     static_cast<std::uint32_t>(configuration.Stored.TTCviAddress), Log_,
                     SessionPlan{"quorvane-ctl", std::chrono::seconds(line.WaitSeconds),
                                 environment.LockFolders});
    Cause_.emplace([&arguments] { return CommandLineText(arguments); });
  }
  // The module is let go first, then the file log takes what is left.
  ~CtlSession() {
    Cause_.reset();
    Session_.reset();
    try {
      Log_.WriteFile();
    } catch (const Exception& problem) {
      Err_ << "quorvane-ctl: " << problem.Message() << '\n';
    }
  }

  CtlSession(const CtlSession&) = delete;
  CtlSession& operator=(const CtlSession&) = delete;

  TTTCvi& Module() { return Session_->Module(); }
  ModuleSender& Sender() { return Session_->Sender(); }
  VMEConnectionDescription Describe() const { return Session_->Describe(); }
  std::uint32_t Base() const { return Session_->Base(); }
  const crate::CrateChoice& Choice() const { return Choice_; }

 private:
  std::ostream& Err_;
  BusLogKeeper Log_;  // outlives the connection that logs into it
  crate::CrateChoice Choice_;
  std::optional<ModuleSession> Session_;
  std::optional<BusCauseScope> Cause_;
};

void Status(CtlSession& session, std::ostream& out, bool json) {
  TTTCvi& module = session.Module();
  ModuleStatus status;
  status.Adapter = session.Choice().Adapter;
  status.Connection = session.Describe();
  status.Base = session.Base();
  status.CSR1 = module.ReadCSR1();
  status.CSR2 = module.ReadCSR2();
  for (int n = 0; n < kChannels; ++n)
    status.Modes[n] = static_cast<std::uint16_t>(module.BGo[n]->ReadMode().to_ulong());
  PrintStatus(out, status, json);
}

// What rx sets, each read and checked before the module is opened.
struct RxSettings {
  std::optional<int> Deskew1, Deskew2, Coarse1, Coarse2, Control;
};

RxSettings ReadRxSettings(const CtlCommandLine& line) {
  auto number = [&line](const char* option, int highest) -> std::optional<int> {
    const auto found = line.Values.find(option);
    if (found == line.Values.end()) return std::nullopt;
    if (std::string(option) == "--control") return ReadControlRegister(found->second);
    return ReadCtlNumber(found->second, option, 0, highest);
  };
  RxSettings settings;
  settings.Deskew1 = number("--deskew1", ttcrx::kMaxFineDeskew);
  settings.Deskew2 = number("--deskew2", ttcrx::kMaxFineDeskew);
  settings.Coarse1 = number("--coarse1", ttcrx::kMaxCoarseDelay);
  settings.Coarse2 = number("--coarse2", ttcrx::kMaxCoarseDelay);
  settings.Control = number("--control", kLargestByte);
  if (!settings.Deskew1 && !settings.Deskew2 && !settings.Coarse1 && !settings.Coarse2 &&
      !settings.Control)
    throw ECtlUsage(
        "rx: nothing to set: give --deskew1, --deskew2, --coarse1 and --coarse2, or --control "
        "(see quorvane-ctl rx --help)");
  if (settings.Coarse1.has_value() != settings.Coarse2.has_value())
    throw ECtlUsage(
        "rx: the coarse delays share one TTCrx register: give --coarse1 and --coarse2 together");
  return settings;
}

// In the order the panel's Apply sends them.
void SendRx(ModuleSender& sender, std::int32_t address, const RxSettings& settings) {
  if (settings.Deskew1) sender.SendDeskew1(address, *settings.Deskew1);
  if (settings.Deskew2) sender.SendDeskew2(address, *settings.Deskew2);
  if (settings.Coarse1) sender.SendCoarseDelays(address, *settings.Coarse1, *settings.Coarse2);
  if (settings.Control)
    sender.SendControlRegister(address, std::bitset<8>(static_cast<unsigned>(*settings.Control)));
}

// The preset's TTCrx is found as the panel's list finds it (the first entry
// of that name without regard to case); one without an address would stop
// Apply halfway, after the CSR1 and inhibit writes, so it is refused first.
void CheckPresetRx(const CtlConfiguration& configuration, const std::string& name,
                   const PreSettings& preset) {
  const std::vector<std::string>& entries = configuration.Stored.RxAddresses;
  const int entry = FindRxEntry(entries, preset.RxName);
  std::string problem = "it is not in the TTCrx list";
  if (entry >= 0 && RxEntryAddress(entries[static_cast<std::size_t>(entry)], problem)) return;
  throw ECtlConfiguration("Preset \"" + StoredTextToUtf8(name) + "\" is for TTCrx \"" +
                          StoredTextToUtf8(preset.RxName) + "\", which has no address in " +
                          configuration.File.string() + ": " + problem + "; nothing was sent");
}

// Runs the command; what it reports goes to out.
void Run(const CtlEnvironment& environment, const CtlCommandLine& line,
         const std::vector<std::string>& arguments, std::ostream& out) {
  const std::string command = line.Command->Name;
  const std::vector<std::string>& words = line.Arguments;
  const bool json = line.Has("--json");
  if (command == "list" && words[0] != "presets" && words[0] != "sequences" && words[0] != "rx")
    throw ECtlUsage("list: \"" + words[0] +
                    "\" is none of presets, sequences, rx (see quorvane-ctl list --help)");

  if (!line.Config && environment.DefaultConfig.empty())
    throw ECtlConfiguration(
        "No configuration file: no home folder is known (HOME is not set and the user has no "
        "entry in the user database); give one with --config FILE");
  const CtlConfiguration configuration = LoadCtlConfiguration(
      line.Config ? std::filesystem::path(*line.Config) : environment.DefaultConfig);
  if (command == "list") {
    PrintList(out, configuration.Stored, words[0], json);
    return;
  }

  // Everything typed or named is checked before the module is opened.
  std::vector<std::int32_t> numbers;
  const PreSettings* preset = nullptr;
  int presetIndex = -1;
  const BGoWords* sequence = nullptr;
  std::bitset<4> channels;
  RxSettings rx;
  if (command == "apply") {
    presetIndex = configuration.PresetIndex(words[0]);
    preset = &configuration.Stored.Presets[static_cast<std::size_t>(presetIndex)].Settings;
    CheckPresetRx(configuration, words[0], *preset);
  } else if (command == "load-fifo") {
    numbers.push_back(ReadCtlNumber(words[0], "CHANNEL", 0, kChannels - 1));
    sequence = &configuration.Sequence(words[1]);
  } else if (command == "reset-fifos") {
    for (const std::string& word : words)
      channels.set(static_cast<std::size_t>(ReadCtlNumber(word, "CHANNEL", 0, kChannels - 1)));
    if (words.empty()) channels.set();
  } else if (command == "long") {
    numbers.push_back(configuration.RxAddress(words[0], "RX"));
    numbers.push_back(ReadCtlNumber(words[1], "SUBADDR", 0, kLargestByte));
    numbers.push_back(ReadCtlNumber(words[2], "DATA", 0, kLargestByte));
  } else if (command == "short") {
    numbers.push_back(ReadCtlNumber(words[0], "COMMAND", 0, kLargestByte));
  } else if (command == "rx") {
    rx = ReadRxSettings(line);
    numbers.push_back(configuration.RxAddress(words[0], "NAME"));
  }

  if (preset != nullptr)
    for (const std::string& instead : ValuesSentInstead(*preset))
      *environment.Err << "quorvane-ctl: preset \"" << StoredTextToUtf8(words[0])
                       << "\": " << instead << '\n';

  CtlSession session(environment, line, configuration, arguments);
  TTTCvi& module = session.Module();
  ModuleSender& sender = session.Sender();
  if (command == "status") {
    Status(session, out, json);
  } else if (command == "apply") {
    // The rate goes out first, with the source and orbit the module holds.
    module.LoadCSR1Shadow(module.ReadCSR1());
    PanelModel panel(sender, configuration.Stored);
    ApplyPresetToModule(panel, presetIndex, out);
  } else if (command == "load-fifo") {
    sender.LoadFifo(numbers[0], *sequence);
  } else if (command == "reset-fifos") {
    module.LoadCSR2Shadow(module.ReadCSR2());  // the retransmit bits stay as they are
    sender.ResetFifos(channels);
  } else if (command == "reset") {
    module.Reset();
  } else if (command == "trigger") {
    module.LoadCSR1Shadow(module.ReadCSR1());  // rate and orbit stay as they are
    module.VMETrigger();
  } else if (command == "long") {
    if (line.Has("--external"))
      module.SendLongAsyncExternal(numbers[0], numbers[1], numbers[2]);
    else
      module.SendLongAsync(numbers[0], numbers[1], numbers[2]);
  } else if (command == "short") {
    module.SendShortAsync(numbers[0]);
  } else if (command == "rx") {
    SendRx(sender, numbers[0], rx);
  }
}

}  // namespace

CtlEnvironment DefaultCtlEnvironment() {
  CtlEnvironment environment;
  environment.Out = &std::cout;
  environment.Err = &std::cerr;
  environment.Select = [](const std::string& adapter) { return crate::SelectAdapter(adapter); };
  environment.Connect = OpenConnection;
  environment.DataFolder = UserDataFolder();
  if (!environment.DataFolder.empty())
    environment.DefaultConfig = environment.DataFolder / "quorvane.ini";
  environment.LockFolders = ModuleLock::DefaultFolders();
  return environment;
}

const char* CtlRelease() { return QUORVANE_VERSION; }

int RunCtl(const std::vector<std::string>& arguments, const CtlEnvironment& environment) {
  std::ostream& out = *environment.Out;
  std::ostream& err = *environment.Err;
  auto fail = [&err](int status, const std::string& message) {
    err << "quorvane-ctl: " << ErrorBoxMessage(message) << '\n';
    return status;
  };
  int status = kCtlDone;
  try {
    const CtlCommandLine line = ParseCtlCommandLine(arguments);
    if (line.Help) {
      out << (line.Command != nullptr ? CtlCommandHelp(*line.Command) : CtlOverview());
    } else if (line.Version) {
      out << "quorvane-ctl " << CtlRelease() << '\n';
      // For a real adapter, the vendor library it would load: a check that it loads at all.
      const crate::CrateChoice choice = Choose(environment, line.Adapter);
      if (!choice.Simulated)
        out << "adapter " << choice.Adapter << " (" << choice.Name << "): " << choice.Release
            << '\n';
    } else {
      Run(environment, line, arguments, out);
    }
  } catch (const ECtlUsage& error) {
    status = fail(kCtlUsage, error.Message());
  } catch (const ECtlConfiguration& error) {
    status = fail(kCtlUsage, error.Message());
  } catch (const EConvertError& error) {
    status = fail(kCtlUsage, error.Message());
  } catch (const EModuleLockFile& error) {
    status = fail(kCtlUsage, error.Message());
  } catch (const EModuleInUse& error) {
    status = fail(kCtlInUse, error.Message());
  } catch (const Exception& error) {  // the bus errors, as the error box shows them
    status = fail(kCtlCrateRefused, error.Message());
  } catch (const std::exception& error) {
    status = fail(kCtlCrateRefused, error.what());
  }
  // A script reads what was printed: output lost (a closed pipe, a full disk)
  // must not pass for done.
  errno = 0;
  out.flush();
  if (!out) {
    const int cause = errno;
    err << "quorvane-ctl: cannot write the output"
        << (cause != 0 ? std::string(": ") + std::strerror(cause) : std::string()) << '\n';
    if (status == kCtlDone) status = kCtlOutputFailed;
  }
  return status;
}
