#include "sim/SimSettings.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "base/ReadNumber.h"

#ifndef QUORVANE_SIM_SETTINGS_FILE
#define QUORVANE_SIM_SETTINGS_FILE "/etc/quorvane/sim.conf"
#endif

namespace sim {

namespace {

// A settings file is a few lines; anything much larger is not one.
constexpr std::size_t kLargestFile = 64 * 1024;
// The TTCvi answers at base + 0x80 .. base + 0xCB: all of it inside A24.
constexpr std::int64_t kHighestBase = 0xFFFFFF - 0xCB;

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string Hex(std::int64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%06llX", static_cast<long long>(value));
  return text;
}

CrateSettingsResult Failure(std::string error, std::filesystem::path file = {}) {
  return {CrateSettings{}, std::move(error), std::move(file)};
}

}  // namespace

CrateSettingsResult ParseCrateSettings(std::string_view text, const std::string& source) {
  if (text.find('\0') != std::string_view::npos)
    return Failure(source + ": not a text file (it holds NUL bytes)");

  CrateSettings settings;
  bool haveBase = false;
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

    line = Trimmed(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    const std::string where = source + ", line " + std::to_string(lineNumber) + ": ";
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
      return Failure(where + "expected \"key = value\", found \"" + std::string(line) + "\"");
    const std::string key = Lower(Trimmed(line.substr(0, equals)));
    const std::string value(Trimmed(line.substr(equals + 1)));
    if (key != "base") return Failure(where + "unknown key \"" + key + "\" (known: base)");
    if (haveBase) return Failure(where + "\"base\" is given twice");
    haveBase = true;

    // The panel's number rule; a 32-bit pattern with bit 31 set reads
    // negative and is refused as out of range below.
    const std::optional<std::int32_t> number = TryReadNumber(value);
    if (!number)
      return Failure(where + "base \"" + value +
                     "\" is not a number (decimal, or hexadecimal after 0x)");
    const std::int64_t base = *number;
    if (base < 0 || base > kHighestBase)
      return Failure(where + "base " + (base < 0 ? "\"" + value + "\"" : Hex(base)) +
                     " puts the TTCvi's registers (base + 0x80 to base + 0xCB) outside the A24 "
                     "space; the highest base is " +
                     Hex(kHighestBase));
    settings.TTCviBase = static_cast<std::uint32_t>(base);
  }
  return {settings, std::string(), std::filesystem::path()};
}

std::vector<std::filesystem::path> CrateSettingsFiles() {
  // The XDG base directory rules: an absolute XDG_CONFIG_HOME, else
  // ~/.config. These variables only locate the folder.
  std::vector<std::filesystem::path> files;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::filesystem::path config;
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
  if (!config.empty()) files.push_back(config / "quorvane" / "sim.conf");
  files.emplace_back(QUORVANE_SIM_SETTINGS_FILE);
  return files;
}

CrateSettingsResult LoadCrateSettings(const std::vector<std::filesystem::path>& files) {
  for (const std::filesystem::path& file : files) {
    const std::string name = file.string();
    struct stat status {};
    if (stat(name.c_str(), &status) != 0) {
      if (errno == ENOENT || errno == ENOTDIR) continue;  // not there: look further
      return Failure(name + " cannot be read: " + std::strerror(errno), file);
    }
    // Not blocking: a named pipe in the file's place must not hang the program.
    const int descriptor = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return Failure(name + " cannot be read: " + std::strerror(errno), file);
    std::string text;
    std::string error;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
      error = name + " is not a regular file";
    } else {
      char block[4096];
      while (error.empty()) {
        const ssize_t got = read(descriptor, block, sizeof block);
        if (got == 0) break;
        if (got < 0) {
          if (errno == EINTR) continue;
          error = name + " cannot be read: " + std::strerror(errno);
        } else if (text.size() + static_cast<std::size_t>(got) > kLargestFile) {
          error = name + " is larger than 64 KiB: not a settings file";
        } else {
          text.append(block, static_cast<std::size_t>(got));
        }
      }
    }
    close(descriptor);
    if (!error.empty()) return Failure(error, file);
    CrateSettingsResult result = ParseCrateSettings(text, name);
    result.File = file;
    return result;
  }
  return {};
}

}  // namespace sim
