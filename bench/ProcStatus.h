#pragma once

// The process's own memory figures, for the measuring tools.

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

// A value of /proc/self/status in kB ("VmRSS", "VmHWM"), or -1.
inline long StatusKb(const char* name) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::size_t length = std::strlen(name);
  while (std::getline(status, line))
    if (line.compare(0, length, name) == 0 && line.size() > length && line[length] == ':')
      return std::atol(line.c_str() + length + 1);
  return -1;
}

// From here on, VmHWM counts the peak from the resident set of now.
inline void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }
