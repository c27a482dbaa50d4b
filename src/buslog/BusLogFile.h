#pragma once

// The bus log kept in files as it grows: CSV lines appended to one file,
// which is moved aside when it reaches its size limit. buslog.csv is the
// newest; the older ones are buslog.1.csv (the last one moved aside),
// buslog.2.csv, ... up to the number of old files kept; the oldest beyond
// them is deleted. Each file starts with the column headings.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

class RotatingLogFile {
 public:
  // file: the current file ("…/buslog.csv"); its folder is made when
  // missing. maxSize: bytes a file may reach before the next line goes to a
  // fresh one (a single longer line still goes whole into a file of its own).
  // keep: older files kept (0: none). Opens nothing yet.
  RotatingLogFile(std::filesystem::path file, std::uintmax_t maxSize, int keep,
                  std::string heading);

  // Appends one line (the line end is added). Raises Exception, with the
  // file's name and the system's reason, when the folder or a file cannot be
  // made, moved or written.
  void Append(const std::string& line);
  // Writes what is buffered. Raises as Append does.
  void Flush();

  const std::filesystem::path& File() const { return File_; }
  // The name of the n-th older file (n >= 1): buslog.1.csv.
  std::filesystem::path OlderFile(int n) const;

 private:
  void Open();
  void Rotate();
  [[noreturn]] void Fail(const std::string& what, const std::filesystem::path& file,
                         std::error_code error) const;

  std::filesystem::path File_;
  std::uintmax_t MaxSize_;
  int Keep_;
  std::string Heading_;
  std::ofstream Out_;
  std::uintmax_t Size_ = 0;
};

// The per-user data folder of the program: $XDG_DATA_HOME/quorvane when that
// is an absolute path, else ~/.local/share/quorvane. Empty when no home
// folder is known.
std::filesystem::path UserDataFolder();
