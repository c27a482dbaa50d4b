#pragma once

#include <cstdint>

// Reading a list from the configuration file runs up to its stored count,
// giving the defaults for entries whose keys are absent. A damaged or hostile
// file may claim a count of billions with no keys behind it; all lists read
// from one file share this budget of such absent entries, and once it is
// spent every list ends early. The program writes every key of every entry
// it counts, so reading a file it wrote never touches the budget.
class ListBudget {
 public:
  static constexpr std::int64_t kAbsentEntries = 4096;

  explicit ListBudget(std::int64_t absentEntries = kAbsentEntries) : Left_(absentEntries) {}

  // Takes one absent entry; false when none is left and the list must end.
  bool TakeAbsent() {
    if (Left_ <= 0) return false;
    --Left_;
    return true;
  }
  bool Spent() const { return Left_ <= 0; }

 private:
  std::int64_t Left_;
};
