#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "settings/IniFile.h"

// Reading a list from the configuration file runs up to its stored count,
// giving the defaults for entries whose keys (or sections) are absent. Two
// rules keep a damaged or hostile count from filling the lists with empty
// entries that the next close would write back:
//  - Absent entries after the last entry the file holds are read as the
//    count says while they are few (a hand-edited count a little too high
//    reads as it always did); when they run on further the list ends at the
//    last entry present, so the count written at close is the real one.
//  - Absent entries between present ones are taken from a budget that all
//    lists read from one file share; once it is spent every list ends early.
// The program writes every key of every entry it counts, so reading a file
// it wrote never touches either rule. Every list is read by ReadCountedList.
class ListBudget {
 public:
  static constexpr std::int64_t kAbsentEntries = 4096;
  static constexpr std::int32_t kAbsentAfterLast = 16;

  explicit ListBudget(std::int64_t absentEntries = kAbsentEntries) : Left_(absentEntries) {}

  // How many entries a list of `count` reads when its last entry present in
  // the file is `lastPresent` (-1: none); nothing for a count of 0 or less.
  static std::int32_t Length(std::int32_t count, std::int32_t lastPresent) {
    if (count <= 0) return 0;
    return count - 1 - lastPresent > kAbsentAfterLast ? lastPresent + 1 : count;
  }

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

// Where a list's entry i is: key stem + i of the list's section, or a section
// of its own named stem + i.
enum class ListEntries { Keys, Sections };

// Reads the list whose count is key countKey of section, under the rules
// above: readEntry(name) gives the entry for the key or section name, present
// or absent.
template <class ReadEntry>
auto ReadCountedList(TIniFile& file, const std::string& section, const std::string& countKey,
                     ListEntries where, const std::string& stem, ListBudget& budget,
                     ReadEntry readEntry) {
  std::vector<std::decay_t<std::invoke_result_t<ReadEntry&, const std::string&>>> entries;
  const bool sections = where == ListEntries::Sections;
  const std::int32_t count = file.ReadInteger(section, countKey, 0);
  const std::int32_t length =
      ListBudget::Length(count, sections ? file.LastNumberedSection(stem, count)
                                         : file.LastNumberedKey(section, stem, count));
  for (std::int32_t i = 0; i < length; ++i) {
    const std::string name = stem + std::to_string(i);
    const bool present = sections ? file.SectionExists(name) : file.KeyExists(section, name);
    if (!present && !budget.TakeAbsent()) break;
    entries.push_back(readEntry(name));
  }
  return entries;
}
