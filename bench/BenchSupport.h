#pragma once

// A scratch folder for one benchmark run, and the large configuration files
// (LargeConfig.h) written into it once per scale.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <string>

#include "LargeConfig.h"

class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quorvane-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) Path_ = pattern;
  }
  ~BenchFolder() {
    std::error_code ec;
    if (!Path_.empty()) std::filesystem::remove_all(Path_, ec);
  }
  bool Ok() const { return !Path_.empty(); }
  std::string File(const std::string& name) const { return Path_ + "/" + name; }

 private:
  std::string Path_;
};

inline BenchFolder& Folder() {
  static BenchFolder folder;
  return folder;
}

// The large configuration file of a scale, written once per run; "" when it cannot be.
inline std::string LargeFile(int scale) {
  static std::map<int, std::string> files;
  const auto found = files.find(scale);
  if (found != files.end()) return found->second;
  std::string path = Folder().File("large-" + std::to_string(scale) + ".ini");
  if (!Folder().Ok() || !large_config::WriteLargeConfig(path, scale)) path.clear();
  files.emplace(scale, path);
  return path;
}

inline void SetFileCounter(benchmark::State& state, const std::string& path) {
  std::error_code ec;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path, ec)) / 1e6;
}
