#pragma once

// The command line of quorvane-ctl: the commands, their arguments and
// options, their help texts, and the reading of typed numbers by the panel's
// number rule within a register's range.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/Exception.h"

// A command line that cannot be run as it stands: exit status 2.
class ECtlUsage : public Exception {
 public:
  using Exception::Exception;
};

struct CtlCommand {
  const char* Name;
  const char* Synopsis;  // arguments and options after the name
  const char* Summary;   // one line for the overview
  const char* Help;      // the rest of the command's help
  int MinArguments;
  int MaxArguments;
  std::vector<std::string> Options;  // the command's own options; "=" after a valued one
  bool Crate;                        // drives the module: --adapter and --wait apply
};

// Every command, in the order of the overview.
const std::vector<CtlCommand>& CtlCommands();

struct CtlCommandLine {
  const CtlCommand* Command = nullptr;  // null: no command (overview help)
  std::vector<std::string> Arguments;
  std::map<std::string, std::string> Values;  // valued options given, by name ("--deskew1")
  std::vector<std::string> Flags;             // flags given ("--external", "--json")
  bool Help = false;
  bool Version = false;
  std::optional<std::string> Config;
  std::string Adapter;  // empty: not given
  std::int32_t WaitSeconds = 0;

  bool Has(const std::string& flag) const;
};

// Splits the arguments; raises ECtlUsage for an unknown command or option, a
// missing option value, or a wrong number of arguments.
CtlCommandLine ParseCtlCommandLine(const std::vector<std::string>& arguments);

// The overview, and one command's help.
std::string CtlOverview();
std::string CtlCommandHelp(const CtlCommand& command);

// text read by the panel's number rule and checked against lowest..highest;
// what names the number in messages ("--deskew1", "SUBADDR").
std::int32_t ReadCtlNumber(const std::string& text, const std::string& what, std::int32_t lowest,
                           std::int32_t highest);

// The command line as one text for the bus log: "quorvane-ctl apply Physics".
std::string CommandLineText(const std::vector<std::string>& arguments);
