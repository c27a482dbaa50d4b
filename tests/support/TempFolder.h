#pragma once

// A fresh folder for one test, benchmark or fuzz run, removed with all it
// holds when it ends; and the raw file access the three use around it. The
// one helper of its kind: header only and free of GoogleTest, so bench/ and
// fuzz/ use it as tests/ do (CMake target quorvane_temp_folder).

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

class TempFolder {
 public:
  enum class Medium {
    Disk,    // under the system's temporary folder
    Memory,  // /dev/shm where there is one: a save's syncs cost nothing there
  };

  // "<temporary folder>/<stem>-XXXXXX"; raises std::runtime_error when it cannot be made.
  explicit TempFolder(const std::string& stem = "quorvane", Medium medium = Medium::Disk) {
    const std::filesystem::path base = medium == Medium::Memory && IsFolder("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / (stem + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr)
      throw std::runtime_error("cannot make a temporary folder " + pattern);
    Path_ = pattern;
  }

  // Folders a test made read-only are opened first, so nothing is left behind.
  ~TempFolder() {
    std::error_code ec;
    chmod(Path_.c_str(), 0700);
    for (auto it = std::filesystem::recursive_directory_iterator(Path_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
      if (it->is_directory(ec) && !it->is_symlink(ec)) chmod(it->path().c_str(), 0700);
    std::filesystem::remove_all(Path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return Path_; }
  std::string File(const std::string& name) const { return Path_ + "/" + name; }

  // The names in the folder, to see that no temporary file is left behind.
  std::vector<std::string> Names() const { return NamesIn(Path_); }

  static std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      names.push_back(entry.path().filename().string());
    return names;
  }

 private:
  static bool IsFolder(const char* path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
  }

  std::string Path_;
};

inline void WriteRaw(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

inline std::string ReadRaw(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

inline mode_t ModeOf(const std::string& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st.st_mode & 07777;
}
