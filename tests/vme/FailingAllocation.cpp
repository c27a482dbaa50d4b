#include "FailingAllocation.h"

#include <new>

namespace allocation {
namespace {
bool failArmed = false;
std::size_t failSize = 0;
Block last;
}  // namespace

void FailNext(std::size_t size) {
  failArmed = true;
  failSize = size;
}

Block Last() { return last; }

}  // namespace allocation

// Delegates to the ordinary operator new[], so the ordinary delete[] (and the
// sanitizers' pairing checks) still match.
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (allocation::failArmed && size == allocation::failSize) {
    allocation::failArmed = false;
    return nullptr;
  }
  try {
    void* start = ::operator new[](size);
    allocation::last = {start, size};
    return start;
  } catch (...) {
    return nullptr;
  }
}
