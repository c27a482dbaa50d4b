#include "buslog/BusLog.h"

BusLog::BusLog(std::size_t capacity) : Ring_(capacity == 0 ? 1 : capacity) {}

void BusLog::Add(BusAccess access, std::uint32_t address, std::uint32_t bytes, std::uint32_t value,
                 const char* error) {
  if (Total_ - Read_ >= Ring_.size() && Overrun_) Overrun_();
  const bool firstUnread = Total_ <= Read_;

  BusLogEntry& entry = Ring_[Next_];
  entry.Sequence = Total_;
  entry.Time = std::chrono::system_clock::now();
  entry.Access = access;
  entry.Address = address;
  entry.Bytes = bytes;
  entry.Value = value;
  entry.Failed = error != nullptr;
  if (error != nullptr)
    entry.Error = error;
  else
    entry.Error.clear();  // keeps its storage: no allocation on the way
  entry.Cause = CurrentBusCause();

  Next_ = Next_ + 1 == Ring_.size() ? 0 : Next_ + 1;
  ++Total_;
  if (firstUnread && Arrived_) Arrived_();
}

const BusLogEntry* BusLog::Find(std::uint64_t sequence) const noexcept {
  if (sequence < First() || sequence >= Total_) return nullptr;
  return &Ring_[static_cast<std::size_t>(sequence % Ring_.size())];
}

std::vector<BusLogEntry> BusLog::Entries() const {
  std::vector<BusLogEntry> entries;
  entries.reserve(Size());
  for (std::uint64_t sequence = First(); sequence < Total_; ++sequence)
    entries.push_back(*Find(sequence));
  return entries;
}

void BusLog::SetReader(std::function<void()> arrived, std::function<void()> overrun) {
  Arrived_ = std::move(arrived);
  Overrun_ = std::move(overrun);
}
