#pragma once

// The small settings file of an adapter layer (the CAEN bridge, the
// simulated crate): "key = value" lines, "#" starts a comment, key names
// without regard to case. Looked for in the per-user place, then the
// machine's; the first file that exists is used whole. A file that exists
// but cannot be used is an error, not a reason to look further: the operator
// meant it.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct SettingsLine {
  int Number = 0;     // 1 for the first line of the file
  std::string Key;    // lower case
  std::string Value;  // trimmed; may be empty
};

struct SettingsFileText {
  std::filesystem::path File;  // the file read; empty when none exists
  std::string Text;
  std::string Error;  // why the file that exists cannot be used
};

// $XDG_CONFIG_HOME/quorvane/name (when absolute; else ~/.config/quorvane/name,
// when a home folder is known), then systemFile. The variables only locate
// the folder.
std::vector<std::filesystem::path> SettingsFilePlaces(const std::string& name,
                                                      const std::filesystem::path& systemFile);

// Reads the first of files that exists: a regular file of at most 64 KiB,
// opened without blocking (a named pipe in its place must not hang the
// program).
SettingsFileText ReadFirstSettingsFile(const std::vector<std::filesystem::path>& files);

// The key lines of a settings file's text; blank and comment lines are
// skipped. False, with a message naming source and the line, for a text
// with NUL bytes or a line without "=".
bool SplitSettingsLines(std::string_view text, const std::string& source,
                        std::vector<SettingsLine>& lines, std::string& error);

// "source, line N: " for messages about a line.
std::string SettingsLinePlace(const std::string& source, int line);
