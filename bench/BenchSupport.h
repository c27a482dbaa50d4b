#pragma once

// A scratch folder for one benchmark run, and the large configuration files
// (LargeConfig.h) written into it once per scale.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "LargeConfig.h"
#include "support/TempFolder.h"

// The run's folder; nullptr when none can be made (the cases that need it skip).
inline const TempFolder* Folder() {
  static const std::unique_ptr<TempFolder> folder = []() -> std::unique_ptr<TempFolder> {
    try {
      return std::make_unique<TempFolder>("quorvane-bench");
    } catch (const std::runtime_error&) {
      return nullptr;
    }
  }();
  return folder.get();
}

// The large configuration file of a scale, written once per run; "" when it cannot be.
inline std::string LargeFile(int scale) {
  static std::map<int, std::string> files;
  const auto found = files.find(scale);
  if (found != files.end()) return found->second;
  std::string path =
      Folder() != nullptr ? Folder()->File("large-" + std::to_string(scale) + ".ini") : "";
  if (path.empty() || !large_config::WriteLargeConfig(path, scale)) path.clear();
  files.emplace(scale, path);
  return path;
}

inline void SetFileCounter(benchmark::State& state, const std::string& path) {
  std::error_code ec;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path, ec)) / 1e6;
}
