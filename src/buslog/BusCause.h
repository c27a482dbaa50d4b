#pragma once

// Why the program touches the bus: what the operator did ("Apply preset
// 'Physics'", "Deskew 1 of Rx1") or what the program does by itself
// ("Start-up"). The bus log records the cause open at each access. Causes
// are opened by the one handler guard of the windows (and by start-up), never
// by the code that makes the accesses.

#include <concepts>
#include <memory>
#include <string>

using BusCause = std::shared_ptr<const std::string>;

// The cause open on this thread; null when none is.
const BusCause& CurrentBusCause() noexcept;

// Opens a cause for the life of the scope, unless one is open already: the
// outermost cause, what the operator did, also covers the handlers it sets
// off (a tab change that writes CSR2 through the retransmit box). The text
// is asked for only when the scope opens a cause; an empty text opens none.
class BusCauseScope {
 public:
  template <std::invocable Describe>
  // Only callables bind here: copying and moving are deleted anyway.
  explicit BusCauseScope(Describe&& describe) {  // NOLINT(bugprone-forwarding-reference-overload)
    if (!CurrentBusCause()) Open(describe());
  }
  ~BusCauseScope();

  BusCauseScope(const BusCauseScope&) = delete;
  BusCauseScope& operator=(const BusCauseScope&) = delete;

 private:
  void Open(std::string text);
  bool Opened_ = false;
};
