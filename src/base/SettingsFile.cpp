#include "base/SettingsFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/Text.h"

namespace {

// A settings file is a few lines; anything much larger is not one.
constexpr std::size_t kLargestFile = 64 * 1024;

// A file written on Windows ends its lines with CR LF.
std::string_view Trimmed(std::string_view text) { return Trim(text, " \t\r"); }

}  // namespace

std::vector<std::filesystem::path> SettingsFilePlaces(const std::string& name,
                                                      const std::filesystem::path& systemFile) {
  std::filesystem::path config;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && std::filesystem::path(xdg).is_absolute()) {
    config = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
      const passwd* user = getpwuid(getuid());
      home = user != nullptr ? user->pw_dir : nullptr;
    }
    if (home != nullptr && *home != '\0') config = std::filesystem::path(home) / ".config";
  }
  std::vector<std::filesystem::path> files;
  if (!config.empty()) files.push_back(config / "quorvane" / name);
  files.push_back(systemFile);
  return files;
}

SettingsFileText ReadFirstSettingsFile(const std::vector<std::filesystem::path>& files) {
  for (const std::filesystem::path& file : files) {
    const std::string name = file.string();
    struct stat status {};
    if (stat(name.c_str(), &status) != 0) {
      if (errno == ENOENT || errno == ENOTDIR) continue;  // not there: look further
      return {file, {}, name + " cannot be read: " + std::strerror(errno)};
    }
    const int descriptor = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return {file, {}, name + " cannot be read: " + std::strerror(errno)};
    SettingsFileText result{file, {}, {}};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
      result.Error = name + " is not a regular file";
    } else {
      char block[4096];
      while (result.Error.empty()) {
        const ssize_t got = read(descriptor, block, sizeof block);
        if (got == 0) break;
        if (got < 0) {
          if (errno == EINTR) continue;
          result.Error = name + " cannot be read: " + std::strerror(errno);
        } else if (result.Text.size() + static_cast<std::size_t>(got) > kLargestFile) {
          result.Error = name + " is larger than 64 KiB: not a settings file";
        } else {
          result.Text.append(block, static_cast<std::size_t>(got));
        }
      }
    }
    close(descriptor);
    if (!result.Error.empty()) result.Text.clear();
    return result;
  }
  return {};
}

std::string SettingsLinePlace(const std::string& source, int line) {
  return source + ", line " + std::to_string(line) + ": ";
}

bool SplitSettingsLines(std::string_view text, const std::string& source,
                        std::vector<SettingsLine>& lines, std::string& error) {
  lines.clear();
  if (text.find('\0') != std::string_view::npos) {
    error = source + ": not a text file (it holds NUL bytes)";
    return false;
  }
  // Windows editors often begin a UTF-8 file with a byte-order mark; it is
  // no part of the first key.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    text.remove_prefix(kByteOrderMark.size());
  int number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    line = Trimmed(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      error = SettingsLinePlace(source, number) + "expected \"key = value\", found \"" +
              std::string(line) + "\"";
      return false;
    }
    lines.push_back({number, LowerAscii(Trimmed(line.substr(0, equals))),
                     std::string(Trimmed(line.substr(equals + 1)))});
  }
  return true;
}
