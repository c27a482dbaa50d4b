#pragma once

#include <utility>

// Runs its action when the scope is left, normally or by an exception,
// unless dismissed first: the one scope guard of the layers without Qt.
//   const int fd = open(...);
//   ScopeExit closeFile([&] { close(fd); });
template <typename Action>
class ScopeExit {
 public:
  explicit ScopeExit(Action action) : Action_(std::move(action)) {}
  ~ScopeExit() {
    if (Armed_) Action_();
  }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

  // The work is done: leaving the scope no longer runs the action.
  void Dismiss() { Armed_ = false; }

 private:
  Action Action_;
  bool Armed_ = true;
};
