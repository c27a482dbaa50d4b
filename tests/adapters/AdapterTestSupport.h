#pragma once

// Shared by the real adapters' tests: what a connection raised, and the
// program trace caught in a string.

#include <functional>
#include <optional>
#include <sstream>
#include <string>

#include "vme/TDebug.h"
#include "vme/VMEErrors.h"

namespace adapter_test {

struct Raised {
  std::string type;  // the most derived error class
  std::string message;
};

inline std::string ClassOf(const Exception& e) {
  if (dynamic_cast<const EVMEOpen*>(&e)) return "EVMEOpen";
  if (dynamic_cast<const EVMEWrite*>(&e)) return "EVMEWrite";
  if (dynamic_cast<const EVMERead*>(&e)) return "EVMERead";
  if (dynamic_cast<const EVME*>(&e)) return "EVME";
  if (dynamic_cast<const TException*>(&e)) return "TException";
  return "Exception";
}

inline std::optional<Raised> RaisedBy(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return Raised{ClassOf(e), e.Message()};
  }
  return std::nullopt;
}

// Sends DebugLog to a string for the life of the object.
class TraceCapture {
 public:
  TraceCapture() : SavedOut_(DebugLog.Out), SavedThreshold_(DebugLog.Threshold) {
    DebugLog.Out = &Text_;
  }
  ~TraceCapture() {
    DebugLog.Out = SavedOut_;
    DebugLog.Threshold = SavedThreshold_;
  }
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  std::string Text() const { return Text_.str(); }

 private:
  std::ostringstream Text_;
  std::ostream* SavedOut_;
  int SavedThreshold_;
};

}  // namespace adapter_test
