#pragma once

// The configuration file as quorvane-ctl reads it: the panel's file, read
// whole and never written. Unlike the panel, which starts on defaults when its
// file is missing, a script is told: an absent, unreadable or damaged file is
// a configuration error.

#include <cstdint>
#include <filesystem>
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

  // The preset or sequence of that name (the first of equal names); raises
  // ECtlConfiguration listing the names the file holds.
  const PreSettings& Preset(const std::string& name) const;
  const BGoWords& Sequence(const std::string& name) const;
  // A TTCrx by its stored name (without regard to case, as the panel finds
  // it) or by its address 0..16383; raises ECtlConfiguration for a name the
  // file does not hold, or ECtlUsage for an address out of range.
  std::int32_t RxAddress(const std::string& nameOrAddress, const std::string& what) const;
};

CtlConfiguration LoadCtlConfiguration(const std::filesystem::path& file);
