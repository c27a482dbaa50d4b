#pragma once

#include <cstdint>
#include <string>

// What a file held when the panel read it, so that the close can tell
// whether another program (a second panel on the same file, an editor) wrote
// it since: such a file is never saved over unasked. The content is taken
// whole (its length and a 64-bit hash of every byte): times and inode
// numbers miss an edit within one clock tick and see a change in a file
// saved back unchanged.
class FileFingerprint {
 public:
  // The file at path as it is now: absent, unreadable, or its content. Take
  // it before the file is read for its settings, so that a write between the
  // two shows as a change rather than hiding one.
  static FileFingerprint Take(const std::string& path);

  // Whether saving over path now would lose what another program wrote: the
  // file is there but did not exist, holds other bytes or cannot be read
  // (what it holds cannot be vouched for). A file that is gone loses
  // nothing when it is written again.
  bool ChangedOnDisk(const std::string& path) const;

  bool operator==(const FileFingerprint&) const = default;

 private:
  enum class State : std::uint8_t { Absent, Unreadable, Read };
  State State_ = State::Absent;
  std::uint64_t Size_ = 0;
  std::uint64_t Hash_ = 0;
};

// Makes a new empty file beside path that no other file had the name of,
// "quorvane.ini.<pid>-<date>-<time>.ini" with a number appended after a
// clash, and returns its name. Raises EFileWriteError with that name when
// none can be made (a folder that takes no new file).
std::string MakeFileBeside(const std::string& path);
