#pragma once

// The bus log: one entry per register access the panel makes, kept in a ring
// of fixed capacity (the newest entries; memory never grows with the length
// of a session). Adding an entry copies a few words and the open cause; it
// allocates only to keep the text of an error.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "buslog/BusCause.h"

enum class BusAccess : std::uint8_t { Read, Write, Reset };

struct BusLogEntry {
  std::uint64_t Sequence = 0;  // 0 for the first access of the log, then counting
  std::chrono::system_clock::time_point Time;
  BusAccess Access = BusAccess::Write;
  bool Failed = false;
  std::uint32_t Address = 0;  // the complete VME address; 0 for an adapter reset
  std::uint32_t Bytes = 0;    // 2 or 4 for a register, the count for a block; 0 for a reset
  std::uint32_t Value = 0;    // written, or read (0 when the read failed)
  std::string Error;          // the error's message when Failed
  BusCause Cause;             // null when no cause was open
};

class BusLog {
 public:
  static constexpr std::size_t kDefaultCapacity = 10000;

  // capacity 0 is taken as 1.
  explicit BusLog(std::size_t capacity = kDefaultCapacity);

  // Records one access under the cause open now. error: the failure's
  // message, null when the access succeeded.
  void Add(BusAccess access, std::uint32_t address, std::uint32_t bytes, std::uint32_t value,
           const char* error = nullptr);

  std::size_t Capacity() const noexcept { return Ring_.size(); }
  std::size_t Size() const noexcept { return static_cast<std::size_t>(Total_ - First()); }
  // Entries ever added: the sequence number the next entry gets.
  std::uint64_t Total() const noexcept { return Total_; }
  // The sequence number of the oldest entry kept (Total() when empty).
  std::uint64_t First() const noexcept { return Total_ > Ring_.size() ? Total_ - Ring_.size() : 0; }
  // The entry with this sequence number, null when it is not kept.
  const BusLogEntry* Find(std::uint64_t sequence) const noexcept;
  // The entries kept, oldest first.
  std::vector<BusLogEntry> Entries() const;

  // One reader takes the entries in batches. arrived runs at the first entry
  // added after the reader's last MarkRead (the reader schedules its batch);
  // overrun runs before an entry the reader has not read would be
  // overwritten (the reader reads now, so a reader that keeps everything, a
  // file, loses nothing). Either may be empty.
  void SetReader(std::function<void()> arrived, std::function<void()> overrun);
  // Entries before sequence are read.
  void MarkRead(std::uint64_t sequence) noexcept { Read_ = sequence; }
  std::uint64_t ReadUpTo() const noexcept { return Read_; }

 private:
  std::vector<BusLogEntry> Ring_;
  std::size_t Next_ = 0;  // slot of the next entry
  std::uint64_t Total_ = 0;
  std::uint64_t Read_ = 0;
  std::function<void()> Arrived_;
  std::function<void()> Overrun_;
};
