#include "ctl/CtlCommandLine.h"

#include <algorithm>
#include <set>

#include "base/ReadNumber.h"

namespace {

constexpr std::int32_t kLongestWait = 24 * 3600;

const char* const kReadModifyWrite =
    "Reads the register first and changes only its own bits: quorvane-ctl keeps no copy of\n"
    "CSR1 or CSR2 between runs, so whatever else the register holds stays as it is.\n";

std::vector<CtlCommand> MakeCommands() {
  return {
      {"list",
       "presets|sequences|rx [--json]",
       "what the configuration file holds (no crate needed)",
       "Lists the presets, the B-Go data sequences or the TTCrx addresses of the configuration\n"
       "file, one per line (TTCrx entries as name=address). With --json, one JSON document.\n",
       1,
       1,
       {"--json"},
       false},
      {"status",
       "[--json]",
       "CSR1, CSR2 and the four B-Go modes, decoded",
       "Reads CSR1, CSR2 and the four B-Go mode registers and prints them decoded: trigger\n"
       "source, orbit, random rate, each FIFO's state, the retransmit bits and the B-Go modes.\n"
       "With --json, one JSON document.\n",
       0,
       0,
       {"--json"},
       true},
      {"apply",
       "NAME",
       "apply a stored preset",
       "Applies the preset NAME of the configuration file as the panel's Apply does, with the\n"
       "same bus cycles in the same order: rate, trigger source, orbit, inhibits, the TTCrx's\n"
       "deskews, coarse delays, B-Go modes, TTCrx control register, retransmit bits, a reset of\n"
       "the four FIFOs and the FIFOs' loads. Each loaded FIFO is reported on its own line\n"
       "(\"B-Go Fifo [2] loaded\"). CSR1 is read first: the rate goes out with the trigger\n"
       "source and orbit the module holds, as the panel's would.\n",
       1,
       1,
       {},
       true},
      {"load-fifo",
       "CHANNEL SEQUENCE",
       "load a B-Go FIFO with a stored sequence",
       "Writes the words of the stored sequence SEQUENCE into the FIFO of B-Go channel CHANNEL\n"
       "(0..3), first word first, as the panel's Load FIFO does.\n",
       2,
       2,
       {},
       true},
      {"reset-fifos",
       "[CHANNEL...]",
       "reset B-Go FIFOs (all four when none is named)",
       "Resets the FIFOs of the B-Go channels named (0..3), or of all four: one CSR2 write with\n"
       "bits 15..12 for those channels.\n",
       0,
       4,
       {},
       true},
      {"reset",
       "",
       "software reset of the TTCvi",
       "Writes the software reset register: the module returns to its power-up state.\n",
       0,
       0,
       {},
       true},
      {"trigger",
       "",
       "one VME L1A",
       "Selects trigger source 4 (VME) in CSR1 and fires one software L1A, as the panel's\n"
       "Triger does.\n",
       0,
       0,
       {},
       true},
      {"long",
       "[--external] RX SUBADDR DATA",
       "one long-format asynchronous cycle",
       "Sends one long-format asynchronous cycle to the TTCrx RX (a stored TTCrx name or an\n"
       "address 0..16383): SUBADDR 0..255 and DATA 0..255, to a register inside the TTCrx, or\n"
       "with --external to an external subaddress.\n",
       3,
       3,
       {"--external"},
       true},
      {"short",
       "COMMAND",
       "one short-format asynchronous cycle (a broadcast command)",
       "Sends one short-format asynchronous cycle: the broadcast command COMMAND, 0..255.\n",
       1,
       1,
       {},
       true},
      {"rx",
       "NAME [--deskew1 N] [--deskew2 N] [--coarse1 N --coarse2 N] [--control BITS]",
       "set registers of one TTCrx",
       "Writes registers of the TTCrx NAME (a stored TTCrx name or an address 0..16383), each by\n"
       "one long-format cycle, in this order: fine deskew 1 and 2 (steps 0..239), the coarse\n"
       "delays (0..15 each; both go out together in one register, so give both), the control\n"
       "register (eight \"0\"/\"1\" characters, bit 7 first, as the panel shows it, or a number\n"
       "0..255). Nothing is read from a TTCrx.\n",
       1,
       1,
       {"--deskew1=", "--deskew2=", "--coarse1=", "--coarse2=", "--control="},
       true},
  };
}

const char* const kCommonHelp =
    "Options of every command:\n"
    "  --config FILE     the configuration file (default: the installed panel's,\n"
    "                    $XDG_DATA_HOME/quorvane/quorvane.ini); it is never written\n"
    "  -h, --help        this help, or with a command that command's help\n"
    "  -V, --version     the release, and the vendor library's for a real adapter\n"
    "Options of the commands that drive the module:\n"
    "  --adapter NAME    sim, sbs or caen, as the panel chooses it\n"
    "  --wait SECONDS    wait for the module while another program holds it (default 0)\n"
    "Option of list and status:\n"
    "  --json            one JSON document (its shape: quorvane-ctl(1))\n"
    "Numbers are decimal, or hexadecimal after $, x or 0x: 42, $2A, x2A and 0x2A are\n"
    "the same number. The shell replaces an unquoted $2A: write '$2A' or 0x2A.\n"
    "Names are found as written, else without regard to the case of A..Z when only one\n"
    "stored name matches so; a choice of several is refused with the names to choose from.\n"
    "Exit status: 0 done, 1 the crate refused, 2 usage or configuration error, 3 the module\n"
    "is in use, 4 the output could not be written.\n";

const CtlCommand* FindCommand(const std::string& name) {
  for (const CtlCommand& command : CtlCommands())
    if (name == command.Name) return &command;
  return nullptr;
}

std::string Synopsis(const CtlCommand& command) {
  std::string line = std::string("quorvane-ctl ") + command.Name;
  if (*command.Synopsis != '\0') line += std::string(" ") + command.Synopsis;
  return line;
}

[[noreturn]] void Usage(const CtlCommand* command, const std::string& problem) {
  const std::string help = command != nullptr
                               ? std::string("quorvane-ctl ") + command->Name + " --help"
                               : std::string("quorvane-ctl --help");
  throw ECtlUsage((command != nullptr ? std::string(command->Name) + ": " : std::string()) +
                  problem + " (see " + help + ")");
}

}  // namespace

const std::vector<CtlCommand>& CtlCommands() {
  static const std::vector<CtlCommand> commands = MakeCommands();
  return commands;
}

bool CtlCommandLine::Has(const std::string& flag) const {
  return std::find(Flags.begin(), Flags.end(), flag) != Flags.end();
}

std::string CtlOverview() {
  std::string text =
      "Usage: quorvane-ctl [options] COMMAND [arguments]\n"
      "Drives the TTCvi of the Quorvane panel from scripts and run control.\n\nCommands:\n";
  for (const CtlCommand& command : CtlCommands()) {
    std::string name = std::string("  ") + command.Name;
    name.resize(16, ' ');
    text += name + command.Summary + "\n";
  }
  return text + "\n" + kCommonHelp;
}

std::string CtlCommandHelp(const CtlCommand& command) {
  return "Usage: " + Synopsis(command) + " [options]\n" + command.Help +
         (std::string(command.Name) == "reset-fifos" || std::string(command.Name) == "trigger"
              ? kReadModifyWrite
              : "") +
         "\n" + kCommonHelp;
}

CtlCommandLine ParseCtlCommandLine(const std::vector<std::string>& arguments) {
  CtlCommandLine line;
  std::vector<std::pair<std::string, std::string>> options;  // in order, value "" for flags
  std::vector<std::string> words;
  bool optionsEnd = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!optionsEnd && (argument == "-h" || argument == "-V")) {
      options.emplace_back(argument == "-h" ? "--help" : "--version", "");
      continue;
    }
    if (optionsEnd || argument.size() < 3 || argument.compare(0, 2, "--") != 0) {
      if (argument == "--") {
        optionsEnd = true;
        continue;
      }
      if (line.Command == nullptr && words.empty()) {
        line.Command = FindCommand(argument);
        if (line.Command == nullptr) Usage(nullptr, "unknown command \"" + argument + "\"");
        continue;
      }
      words.push_back(argument);
      continue;
    }
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const bool valued =
        name == "--config" || name == "--adapter" || name == "--wait" ||
        (name.size() > 2 &&
         (name.rfind("--deskew", 0) == 0 || name.rfind("--coarse", 0) == 0 || name == "--control"));
    std::string value;
    if (equals != std::string::npos) {
      if (!valued) Usage(line.Command, "option " + name + " takes no value");
      value = argument.substr(equals + 1);
    } else if (valued) {
      if (i + 1 >= arguments.size()) Usage(line.Command, "option " + name + " needs a value");
      value = arguments[++i];
    }
    options.emplace_back(name, value);
  }

  const CtlCommand* command = line.Command;
  std::set<std::string> given;
  for (const auto& [name, value] : options) {
    if (name == "--help") {
      line.Help = true;
    } else if (name == "--version") {
      line.Version = true;
    } else if (name == "--config") {
      if (line.Config) Usage(command, "option --config is given twice");
      line.Config = value;
    } else if ((name == "--adapter" || name == "--wait") &&
               (command == nullptr || command->Crate)) {
      if (!given.insert(name).second) Usage(command, "option " + name + " is given twice");
      if (name == "--adapter") {
        if (value != "sim" && value != "sbs" && value != "caen")
          Usage(command, "--adapter \"" + value + "\" is none of sim, sbs, caen");
        line.Adapter = value;
      } else {
        line.WaitSeconds = ReadCtlNumber(value, "--wait", 0, kLongestWait);
      }
    } else {
      const bool known = command != nullptr &&
                         (std::find(command->Options.begin(), command->Options.end(), name) !=
                              command->Options.end() ||
                          std::find(command->Options.begin(), command->Options.end(), name + "=") !=
                              command->Options.end());
      if (!known) Usage(command, "unknown option " + name);
      if (value.empty() && std::find(command->Options.begin(), command->Options.end(), name) !=
                               command->Options.end())
        line.Flags.push_back(name);
      else if (!line.Values.emplace(name, value).second)
        Usage(command, "option " + name + " is given twice");
    }
  }
  if (line.Help || line.Version) return line;
  if (command == nullptr) Usage(nullptr, "no command given");
  const int count = static_cast<int>(words.size());
  if (count < command->MinArguments) Usage(command, "missing arguments: " + Synopsis(*command));
  if (count > command->MaxArguments)
    Usage(command, "too many arguments: \"" +
                       words[static_cast<std::size_t>(command->MaxArguments)] +
                       "\" is one too many");
  line.Arguments = std::move(words);
  return line;
}

std::int32_t ReadCtlNumber(const std::string& text, const std::string& what, std::int32_t lowest,
                           std::int32_t highest) {
  const std::optional<std::int32_t> number = TryReadNumber(text);
  if (!number) throw ECtlUsage(what + ": " + EConvertError(text).Message());
  if (*number < lowest || *number > highest)
    throw ECtlUsage(what + ": " + text + " is outside " + std::to_string(lowest) + ".." +
                    std::to_string(highest));
  return *number;
}

std::string CommandLineText(const std::vector<std::string>& arguments) {
  std::string text = "quorvane-ctl";
  for (const std::string& argument : arguments) {
    const bool quote = argument.empty() || argument.find_first_of(" \t'\"") != std::string::npos;
    text += quote ? " '" + argument + "'" : " " + argument;
  }
  return text;
}
