#pragma once

// Shared by the fuzz targets: one folder for a whole fuzz run, in memory
// where there is one (saving syncs the file to disk, which would make the
// fuzzer crawl), removed at exit; the input written there as the
// configuration file; and the check that ends a run with a finding.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

class FuzzFolder {
 public:
  FuzzFolder() {
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? "/dev/shm"
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "quorvane-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    Path = pattern;
  }
  ~FuzzFolder() {
    std::error_code ec;
    std::filesystem::remove_all(Path, ec);
  }
  FuzzFolder(const FuzzFolder&) = delete;
  FuzzFolder& operator=(const FuzzFolder&) = delete;

  // Writes the input as the folder's quorvane.ini and returns its path.
  std::string FileWith(const std::uint8_t* data, std::size_t size) const {
    const std::string path = Path + "/quorvane.ini";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    return path;
  }

  std::string Path;
};

// A property that does not hold is a finding: say which, and stop.
inline void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
  }
}
