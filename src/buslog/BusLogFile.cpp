#include "buslog/BusLogFile.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "base/Exception.h"

namespace fs = std::filesystem;

RotatingLogFile::RotatingLogFile(fs::path file, std::uintmax_t maxSize, int keep,
                                 std::string heading)
    : File_(std::move(file)),
      MaxSize_(maxSize),
      Keep_(keep < 0 ? 0 : keep),
      Heading_(std::move(heading)) {}

fs::path RotatingLogFile::OlderFile(int n) const {
  fs::path older = File_;
  older.replace_filename(File_.stem().string() + "." + std::to_string(n) +
                         File_.extension().string());
  return older;
}

void RotatingLogFile::Fail(const std::string& what, const fs::path& file,
                           std::error_code error) const {
  throw Exception("Bus log: " + what + " " + file.string() +
                  (error ? ": " + error.message() : std::string()) +
                  "; the file log is off until the next start");
}

void RotatingLogFile::Open() {
  std::error_code error;
  fs::create_directories(File_.parent_path(), error);
  if (error) Fail("cannot make the folder of", File_, error);
  // Only a regular file (or none) is appended to: never a folder, a device
  // or a pipe someone put in its place.
  const fs::file_status status = fs::status(File_, error);
  if (fs::exists(status) && !fs::is_regular_file(status)) Fail("not a regular file:", File_, {});
  Size_ = fs::exists(status) ? fs::file_size(File_, error) : 0;
  if (error) Size_ = 0;
  errno = 0;
  Out_.open(File_, std::ios::binary | std::ios::app);
  if (!Out_) Fail("cannot write", File_, std::error_code(errno, std::generic_category()));
  if (Size_ == 0) {
    Out_ << Heading_ << '\n';
    Size_ = Heading_.size() + 1;
  }
}

void RotatingLogFile::Rotate() {
  Out_.close();
  std::error_code error;
  if (Keep_ == 0) {
    fs::remove(File_, error);
    if (error) Fail("cannot remove", File_, error);
  } else {
    fs::remove(OlderFile(Keep_), error);
    if (error) Fail("cannot remove", OlderFile(Keep_), error);
    for (int n = Keep_ - 1; n >= 1; --n) {
      if (!fs::exists(OlderFile(n), error)) continue;
      fs::rename(OlderFile(n), OlderFile(n + 1), error);
      if (error) Fail("cannot move aside", OlderFile(n), error);
    }
    fs::rename(File_, OlderFile(1), error);
    if (error) Fail("cannot move aside", File_, error);
  }
  Open();
}

void RotatingLogFile::Append(const std::string& line) {
  if (!Out_.is_open()) Open();
  const std::uintmax_t length = line.size() + 1;
  // A fresh file takes the line whatever its length; a used one only while
  // it stays within the limit.
  if (Size_ > Heading_.size() + 1 && Size_ + length > MaxSize_) Rotate();
  Out_ << line << '\n';
  Size_ += length;
  if (!Out_) Fail("cannot write", File_, {});
}

void RotatingLogFile::Flush() {
  if (!Out_.is_open()) return;
  Out_.flush();
  if (!Out_) Fail("cannot write", File_, {});
}

fs::path UserDataFolder() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && fs::path(xdg).is_absolute()) return fs::path(xdg) / "quorvane";
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd* user = getpwuid(getuid());
    home = user != nullptr ? user->pw_dir : nullptr;
  }
  if (home == nullptr || *home == '\0') return {};
  return fs::path(home) / ".local" / "share" / "quorvane";
}
