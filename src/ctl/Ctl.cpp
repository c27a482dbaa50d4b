#include "ctl/Ctl.h"

#include <bitset>
#include <chrono>
#include <iostream>
#include <optional>

#include "buslog/BusCause.h"
#include "buslog/BusLogFile.h"
#include "ctl/CtlApply.h"
#include "ctl/CtlBusLog.h"
#include "ctl/CtlCommandLine.h"
#include "ctl/CtlConfiguration.h"
#include "ctl/CtlReports.h"
#include "operate/ErrorText.h"
#include "operate/ModuleLock.h"
#include "ttcvi/TTCrxRegisters.h"
#include "ttcvi/TTTCvi.h"
#include "vme/AdapterIdentity.h"
#include "vme/TVMEWinBit3.h"
#include "vme/VMEErrors.h"

namespace {

constexpr int kChannels = 4;
constexpr std::int32_t kLargestByte = 0xFF;

// The adapter this program was built with answers; another one named on the
// command line is refused before anything is opened.
std::unique_ptr<TVMEInterface> OpenBuiltAdapter(const std::string& adapter) {
  const AdapterIdentity built = ProvidedAdapter();
  const std::string name = built.Name != nullptr ? built.Name : "";
  const std::string builtChoice = built.Simulated              ? "sim"
                                  : name.rfind("CAEN", 0) == 0 ? "caen"
                                                               : "sbs";
  if (!adapter.empty() && adapter != builtChoice)
    throw ECtlUsage("--adapter " + adapter + ": this quorvane-ctl drives only the " + name +
                    " (--adapter " + builtChoice + ")");
  // Unit 0, logical device 2 (the A24 window), no transfer limit: as the panel opens it.
  return std::make_unique<TVMEWinBit3>(0, 2, -1);
}

// The control register as the panel shows it (eight "0"/"1", bit 7 first) or
// a number 0..255.
std::int32_t ReadControlRegister(const std::string& text) {
  if (text.size() == 8 && text.find_first_not_of("01") == std::string::npos)
    return static_cast<std::int32_t>(std::bitset<8>(text).to_ulong());
  return ReadCtlNumber(text, "--control", 0, kLargestByte);
}

// One module driven by this run: its connection, held under the module's lock,
// with every access logged when the file log is on, under the command line.
class ModuleSession {
 public:
  ModuleSession(const CtlEnvironment& environment, const CtlCommandLine& line,
                const CtlConfiguration& configuration, const std::vector<std::string>& arguments)
      : BusLog_(configuration.BusLog, environment.DataFolder, *environment.Err),
        Base_(static_cast<std::uint32_t>(configuration.Stored.TTCviAddress)) {
    std::unique_ptr<TVMEInterface> connection = environment.Connect(line.Adapter);
    if (!connection) throw Exception("VME Error: no VME connection was created");
    // Opening the adapter touches no module; the first bus cycle comes after the lock.
    const VMEConnectionDescription description = connection->Describe();
    Lock_.emplace(ModuleIdentity{description.Adapter, description.Device, Base_}, "quorvane-ctl",
                  std::chrono::seconds(line.WaitSeconds), environment.LockFolders);
    BusLog_.SetModuleBase(Base_);
    Connection_ = BusLog_.Record(std::move(connection));
    Cause_.emplace([&arguments] { return CommandLineText(arguments); });
    Module_ = std::make_unique<TTTCvi>(Connection_.get(), Base_);
  }

  TTTCvi& Module() { return *Module_; }
  const TVMEInterface& Connection() const { return *Connection_; }
  std::uint32_t Base() const { return Base_; }

 private:
  CtlBusLog BusLog_;  // outlives the connection that logs into it
  std::uint32_t Base_;
  std::optional<ModuleLock> Lock_;  // let go after the connection is closed
  std::unique_ptr<TVMEInterface> Connection_;
  std::optional<BusCauseScope> Cause_;
  std::unique_ptr<TTTCvi> Module_;
};

void Status(ModuleSession& session, std::ostream& out, bool json) {
  TTTCvi& module = session.Module();
  ModuleStatus status;
  status.Connection = session.Connection().Describe();
  status.Base = session.Base();
  status.CSR1 = module.ReadCSR1();
  status.CSR2 = module.ReadCSR2();
  for (int n = 0; n < kChannels; ++n)
    status.Modes[n] = static_cast<std::uint16_t>(module.BGo[n]->ReadMode().to_ulong());
  PrintStatus(out, status, json);
}

void SetRx(ModuleSession& session, std::int32_t address, const CtlCommandLine& line) {
  auto value = [&line](const char* option) -> std::optional<std::string> {
    const auto found = line.Values.find(option);
    if (found == line.Values.end()) return std::nullopt;
    return found->second;
  };
  // Every value is read before anything is sent: a bad one sends nothing.
  const auto deskew1 = value("--deskew1");
  const auto deskew2 = value("--deskew2");
  const auto coarse1 = value("--coarse1");
  const auto coarse2 = value("--coarse2");
  const auto control = value("--control");
  if (!deskew1 && !deskew2 && !coarse1 && !coarse2 && !control)
    throw ECtlUsage(
        "rx: nothing to set: give --deskew1, --deskew2, --coarse1 and --coarse2, or --control "
        "(see quorvane-ctl rx --help)");
  if (coarse1.has_value() != coarse2.has_value())
    throw ECtlUsage(
        "rx: the coarse delays share one TTCrx register: give --coarse1 and --coarse2 together");
  std::vector<std::pair<int, std::uint8_t>> writes;  // subaddress, data
  if (deskew1)
    writes.emplace_back(ttcrx::kFineDeskew1, ttcrx::DeskewCode(ReadCtlNumber(
                                                 *deskew1, "--deskew1", 0, ttcrx::kMaxFineDeskew)));
  if (deskew2)
    writes.emplace_back(ttcrx::kFineDeskew2, ttcrx::DeskewCode(ReadCtlNumber(
                                                 *deskew2, "--deskew2", 0, ttcrx::kMaxFineDeskew)));
  if (coarse1)
    writes.emplace_back(
        ttcrx::kCoarseDelays,
        ttcrx::CoarseDelayByte(ReadCtlNumber(*coarse1, "--coarse1", 0, ttcrx::kMaxCoarseDelay),
                               ReadCtlNumber(*coarse2, "--coarse2", 0, ttcrx::kMaxCoarseDelay)));
  if (control)
    writes.emplace_back(ttcrx::kControlRegister,
                        static_cast<std::uint8_t>(ReadControlRegister(*control)));
  for (const auto& [subaddress, data] : writes)
    session.Module().SendLongAsync(address, subaddress, data);
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

  const CtlConfiguration configuration = LoadCtlConfiguration(
      line.Config ? std::filesystem::path(*line.Config) : environment.DefaultConfig);
  if (command == "list") {
    PrintList(out, configuration.Stored, words[0], json);
    return;
  }

  // Everything typed or named is checked before the module is opened.
  std::vector<std::int32_t> numbers;
  const PreSettings* preset = nullptr;
  const BGoWords* sequence = nullptr;
  std::bitset<4> channels;
  if (command == "apply") {
    preset = &configuration.Preset(words[0]);
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
    numbers.push_back(configuration.RxAddress(words[0], "NAME"));
  }

  ModuleSession session(environment, line, configuration, arguments);
  TTTCvi& module = session.Module();
  if (command == "status") {
    Status(session, out, json);
  } else if (command == "apply") {
    // The rate goes out first, with the source and orbit the module holds.
    module.LoadCSR1Shadow(module.ReadCSR1());
    try {
      ApplyPresetToModule(*preset, module, configuration.Stored.RxAddresses, out);
    } catch (const EConvertError& error) {
      // As the panel's Apply, it stopped at the first TTCrx write.
      throw ECtlConfiguration("Preset \"" + words[0] + "\" is for TTCrx \"" + preset->RxName +
                              "\", which has no address in " + configuration.File.string() + ": " +
                              error.Message());
    }
  } else if (command == "load-fifo") {
    for (const auto& word : *sequence)
      module.BGo[static_cast<std::size_t>(numbers[0])]->WriteFIFO(word);
  } else if (command == "reset-fifos") {
    module.LoadCSR2Shadow(module.ReadCSR2());  // the retransmit bits stay as they are
    module.ResetBGoFIFOs(channels);
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
    SetRx(session, numbers[0], line);
  }
}

}  // namespace

CtlEnvironment DefaultCtlEnvironment() {
  CtlEnvironment environment;
  environment.Out = &std::cout;
  environment.Err = &std::cerr;
  environment.Connect = OpenBuiltAdapter;
  environment.DataFolder = UserDataFolder();
  if (!environment.DataFolder.empty())
    environment.DefaultConfig = environment.DataFolder / "quorvane.ini";
  environment.LockFolders = ModuleLock::DefaultFolders();
  return environment;
}

int RunCtl(const std::vector<std::string>& arguments, const CtlEnvironment& environment) {
  std::ostream& err = *environment.Err;
  auto fail = [&err](int status, const std::string& message) {
    err << "quorvane-ctl: " << ErrorBoxMessage(message) << '\n';
    return status;
  };
  try {
    const CtlCommandLine line = ParseCtlCommandLine(arguments);
    if (line.Help) {
      *environment.Out << (line.Command != nullptr ? CtlCommandHelp(*line.Command) : CtlOverview());
      return kCtlDone;
    }
    Run(environment, line, arguments, *environment.Out);
    environment.Out->flush();
    return kCtlDone;
  } catch (const ECtlUsage& error) {
    return fail(kCtlUsage, error.Message());
  } catch (const ECtlConfiguration& error) {
    return fail(kCtlUsage, error.Message());
  } catch (const EConvertError& error) {
    return fail(kCtlUsage, error.Message());
  } catch (const EModuleLockFile& error) {
    return fail(kCtlUsage, error.Message());
  } catch (const EModuleInUse& error) {
    return fail(kCtlInUse, error.Message());
  } catch (const Exception& error) {  // the bus errors, as the error box shows them
    return fail(kCtlCrateRefused, error.Message());
  } catch (const std::exception& error) {
    return fail(kCtlCrateRefused, error.what());
  }
}
