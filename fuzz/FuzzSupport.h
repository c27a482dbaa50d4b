#pragma once

// Shared by the fuzz targets: one folder for a whole fuzz run, in memory
// where there is one (saving syncs the file to disk, which would make the
// fuzzer crawl), removed at exit; and the check that ends a run with a
// finding.

#include <cstdio>
#include <cstdlib>

#include "support/TempFolder.h"

inline const TempFolder& RunFolder() {
  static const TempFolder folder("quorvane-fuzz", TempFolder::Medium::Memory);
  return folder;
}

// A property that does not hold is a finding: say which, and stop.
inline void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
  }
}
