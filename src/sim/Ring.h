#pragma once

// A bounded log that keeps the newest Capacity entries in preallocated
// storage: pushing never allocates, so a long run never grows memory.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

template <typename T, std::size_t Capacity>
class Ring {
 public:
  void Push(const T& item) {
    Items[Next] = item;
    Next = Next + 1 == Capacity ? 0 : Next + 1;
    if (Count < Capacity) ++Count;
    ++Total;
  }

  void Clear() {
    Next = 0;
    Count = 0;
    Total = 0;
  }

  // Entries kept, oldest first.
  std::vector<T> ToVector() const {
    std::vector<T> out;
    out.reserve(Count);
    std::size_t index = (Next + Capacity - Count) % Capacity;
    for (std::size_t i = 0; i < Count; ++i) {
      out.push_back(Items[index]);
      index = index + 1 == Capacity ? 0 : index + 1;
    }
    return out;
  }

  std::size_t Size() const { return Count; }
  std::uint64_t TotalPushed() const { return Total; }

 private:
  std::array<T, Capacity> Items{};
  std::size_t Next = 0;
  std::size_t Count = 0;
  std::uint64_t Total = 0;
};

}  // namespace sim
