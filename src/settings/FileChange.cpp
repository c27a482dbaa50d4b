#include "settings/FileChange.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <ctime>

#include "base/Exception.h"
#include "base/ScopeExit.h"

FileFingerprint FileFingerprint::Take(const std::string& path) {
  FileFingerprint print;
  // O_NONBLOCK: a FIFO in the file's place must not hold the panel.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    print.State_ = errno == ENOENT || errno == ENOTDIR ? State::Absent : State::Unreadable;
    return print;
  }
  const ScopeExit closeFile([fd] { close(fd); });
  print.State_ = State::Unreadable;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return print;
  // FNV-1a over every byte.
  std::uint64_t hash = 14695981039346656037ull;
  std::uint64_t size = 0;
  std::array<unsigned char, 65536> buffer{};
  for (;;) {
    const ssize_t got = read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return print;
    if (got == 0) break;
    for (ssize_t i = 0; i < got; ++i) {
      hash ^= buffer[static_cast<std::size_t>(i)];
      hash *= 1099511628211ull;
    }
    size += static_cast<std::uint64_t>(got);
  }
  print.State_ = State::Read;
  print.Size_ = size;
  print.Hash_ = hash;
  return print;
}

bool FileFingerprint::ChangedOnDisk(const std::string& path) const {
  const FileFingerprint now = Take(path);
  if (now.State_ == State::Absent) return false;
  return now.State_ == State::Unreadable || !(now == *this);
}

std::string MakeFileBeside(const std::string& path) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string stem = path + "." + std::to_string(getpid()) + "-" + stamp;
  const std::string first = stem + ".ini";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = attempt == 0 ? first : stem + "-" + std::to_string(attempt) + ".ini";
    // O_EXCL: whatever holds the name already (a file, a link) is never
    // written through.
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0) {
      close(fd);
      return name;
    }
    if (errno != EEXIST) break;
  }
  throw EFileWriteError(first);
}
