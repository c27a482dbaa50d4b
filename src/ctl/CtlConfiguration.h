#pragma once

// The configuration file as quorvane-ctl reads it: the panel's file, read
// whole and never written. Unlike the panel, which starts on defaults when its
// file is missing, a script is told: an absent, unreadable or damaged file is
// a configuration error.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "settings/BusLogSettings.h"
#include "settings/Configuration.h"

// The configuration cannot be used as asked: exit status 2.
class ECtlConfiguration : public Exception {
 public:
  using Exception::Exception;
};

struct CtlConfiguration {
  std::filesystem::path File;
  StoredConfiguration Stored;
  BusLogSettings BusLog;

  // The preset, sequence or TTCrx that a typed name names (NameMatch);
  // raises ECtlConfiguration for a name the file does not hold, listing the
  // names it does hold, or naming the ones to choose from.
  const PreSettings& Preset(const std::string& name) const;
  // The same preset's place in Stored.Presets.
  int PresetIndex(const std::string& name) const;
  const BGoWords& Sequence(const std::string& name) const;
  // A TTCrx by its stored name or by its address 0..16383; raises
  // ECtlConfiguration as above or for a stored address that is no number or
  // out of range, ECtlUsage for a typed address out of range.
  std::int32_t RxAddress(const std::string& nameOrAddress, const std::string& what) const;
};

CtlConfiguration LoadCtlConfiguration(const std::filesystem::path& file);

// The one rule for a name typed on the command line, for presets, sequences
// and TTCrx alike: the first stored name equal to it (both compared as the
// panel shows them, UTF-8); else the stored name equal to it but for the case
// of A..Z, when there is just one such name. Returns the index, or -1 with
// choices holding the stored names that differ from it only in case (none, or
// several to choose from).
int MatchName(const std::vector<std::string>& stored, const std::string& typed,
              std::vector<std::string>& choices);

// The TTCrx address an entry ("name=address") holds, by the number rule and
// within 0..16383; empty, with why in problem, when it has none.
std::optional<std::int32_t> RxEntryAddress(const std::string& entry, std::string& problem);
