#pragma once

// Control over the non-throwing array allocation the connection uses for its
// aligned write copy: the test program replaces operator new[](nothrow) so a
// test can make one allocation fail and see where the last one started.

#include <cstddef>

namespace allocation {

// The next non-throwing array allocation of exactly size bytes returns null.
void FailNext(std::size_t size);

struct Block {
  const void* start = nullptr;
  std::size_t size = 0;
};
// The most recent successful non-throwing array allocation.
Block Last();

}  // namespace allocation
