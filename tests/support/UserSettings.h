#pragma once

// A per-user settings folder for one test: XDG_CONFIG_HOME points to a fresh
// temporary folder for the life of the object, and is put back after.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "settings/TempDir.h"

class UserSettings {
 public:
  UserSettings() {
    if (const char* saved = std::getenv("XDG_CONFIG_HOME")) Saved_ = saved;
    setenv("XDG_CONFIG_HOME", Folder_.Path().c_str(), 1);
    std::filesystem::create_directories(File().parent_path());
  }
  ~UserSettings() {
    if (Saved_)
      setenv("XDG_CONFIG_HOME", Saved_->c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
  }
  UserSettings(const UserSettings&) = delete;
  UserSettings& operator=(const UserSettings&) = delete;

  // Where the program looks for this user's crate settings.
  std::filesystem::path File() const {
    return std::filesystem::path(Folder_.Path()) / "quorvane" / "crate.conf";
  }
  void Write(const std::string& text) const { WriteRaw(File().string(), text); }
  const TempDir& Folder() const { return Folder_; }

 private:
  TempDir Folder_;
  std::optional<std::string> Saved_;
};
