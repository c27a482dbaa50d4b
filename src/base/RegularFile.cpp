#include "base/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::string NotRegularKind(mode_t mode) {
  if (S_ISREG(mode)) return {};
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISLNK(mode)) return "a symbolic link";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

namespace {

// Refuses a file of another kind than a regular one, with why.
int Refuse(mode_t mode, std::string& why) {
  why = "it is " + NotRegularKind(mode) + ", not a regular file";
  errno = EINVAL;
  return -1;
}

}  // namespace

int OpenRegularFile(const char* path, int flags, mode_t mode, std::string& why) {
  // Looked at first, so that a device is never opened at all; the check after
  // the open covers a file swapped in between.
  struct stat status {};
  if (lstat(path, &status) == 0 && !S_ISREG(status.st_mode)) return Refuse(status.st_mode, why);
  const int descriptor = open(path, flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode);
  if (descriptor < 0) {
    const int error = errno;
    if (lstat(path, &status) == 0 && !S_ISREG(status.st_mode)) return Refuse(status.st_mode, why);
    why = std::strerror(error);
    errno = error;
    return -1;
  }
  if (fstat(descriptor, &status) != 0) {
    const int error = errno;
    close(descriptor);
    why = std::strerror(error);
    errno = error;
    return -1;
  }
  if (!S_ISREG(status.st_mode)) {
    close(descriptor);
    return Refuse(status.st_mode, why);
  }
  return descriptor;
}
