#include "adapters/caen/CaenSettings.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>

#ifndef QUORVANE_CAEN_SETTINGS_FILE
#define QUORVANE_CAEN_SETTINGS_FILE "/etc/quorvane/caen.conf"
#endif

namespace caen {

namespace {

// A settings file is a few lines; anything much larger is not one.
constexpr std::size_t kLargestFile = 64 * 1024;

struct BridgeEntry {
  Bridge Model;
  const char* Name;
};

constexpr BridgeEntry kBridges[] = {
    {Bridge::V1718, "V1718"},
    {Bridge::V2718, "V2718"},
    {Bridge::V2718_A4818, "V2718-A4818"},
    {Bridge::V3718, "V3718"},
    {Bridge::V3718_A2818, "V3718-A2818"},
    {Bridge::V3718_A3818, "V3718-A3818"},
    {Bridge::V3718_A4818, "V3718-A4818"},
    {Bridge::V4718, "V4718"},
    {Bridge::V4718_ETH, "V4718-ETH"},
    {Bridge::V4718_A2818, "V4718-A2818"},
    {Bridge::V4718_A3818, "V4718-A3818"},
    {Bridge::V4718_A4818, "V4718-A4818"},
};

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

std::string KnownBridges() {
  std::string names;
  for (const BridgeEntry& entry : kBridges)
    names += std::string(names.empty() ? "" : ", ") + entry.Name;
  return names;
}

// A whole decimal number from 0 to largest, digits only.
template <typename Number>
std::optional<Number> WholeNumber(std::string_view text, Number largest) {
  if (text.empty() ||
      !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
    return std::nullopt;
  unsigned long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() ||
      value > static_cast<unsigned long long>(largest))
    return std::nullopt;
  return static_cast<Number>(value);
}

SettingsResult Failure(std::string error, std::filesystem::path file = {}) {
  return {std::nullopt, std::move(error), std::move(file)};
}

}  // namespace

const char* BridgeName(Bridge model) {
  for (const BridgeEntry& entry : kBridges)
    if (entry.Model == model) return entry.Name;
  return "?";
}

const std::vector<Bridge>& AllBridges() {
  static const std::vector<Bridge> all = [] {
    std::vector<Bridge> models;
    for (const BridgeEntry& entry : kBridges) models.push_back(entry.Model);
    return models;
  }();
  return all;
}

SettingsResult ParseSettings(std::string_view text, const std::string& source) {
  if (text.find('\0') != std::string_view::npos)
    return Failure(source + ": not a text file (it holds NUL bytes)");

  Settings settings;
  bool haveBridge = false, haveLink = false, haveNode = false, haveHost = false;
  int hostLine = 0;
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
    const std::string_view value = Trimmed(line.substr(equals + 1));

    bool* seen = key == "bridge" ? &haveBridge
                 : key == "link" ? &haveLink
                 : key == "node" ? &haveNode
                 : key == "host" ? &haveHost
                                 : nullptr;
    if (seen == nullptr)
      return Failure(where + "unknown key \"" + key + "\" (known: bridge, link, node, host)");
    if (*seen) return Failure(where + "\"" + key + "\" is given twice");
    *seen = true;
    if (value.empty()) return Failure(where + "\"" + key + "\" has no value");

    if (key == "bridge") {
      const std::string name = Lower(value);
      const auto entry = std::find_if(std::begin(kBridges), std::end(kBridges),
                                      [&](const BridgeEntry& e) { return Lower(e.Name) == name; });
      if (entry == std::end(kBridges))
        return Failure(where + "unknown bridge \"" + std::string(value) +
                       "\" (known: " + KnownBridges() + ")");
      settings.Model = entry->Model;
    } else if (key == "link") {
      const auto link = WholeNumber(value, std::numeric_limits<std::uint32_t>::max());
      if (!link)
        return Failure(where + "link must be a whole number from 0 to 4294967295, not \"" +
                       std::string(value) + "\"");
      settings.Link = *link;
    } else if (key == "node") {
      const auto node = WholeNumber(value, std::numeric_limits<std::int16_t>::max());
      if (!node)
        return Failure(where + "node must be a whole number from 0 to 32767, not \"" +
                       std::string(value) + "\"");
      settings.Node = *node;
    } else {
      settings.Host = std::string(value);
      hostLine = lineNumber;
    }
  }

  if (!haveBridge) return Failure(source + ": no bridge given (for example \"bridge = V2718\")");
  if (settings.Model == Bridge::V4718_ETH && !haveHost)
    return Failure(source + ": the V4718-ETH bridge needs \"host = <name or IPv4 address>\"");
  if (settings.Model != Bridge::V4718_ETH && haveHost)
    return Failure(source + ", line " + std::to_string(hostLine) +
                   ": \"host\" is only for the V4718-ETH bridge");
  return {settings, std::string(), std::filesystem::path()};
}

std::filesystem::path SystemSettingsFile() { return QUORVANE_CAEN_SETTINGS_FILE; }

std::vector<std::filesystem::path> SettingsFiles() {
  // The XDG base directory rules: an absolute XDG_CONFIG_HOME, else
  // ~/.config. These variables only locate the folder; what is in the file
  // decides the bridge.
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
  if (!config.empty()) files.push_back(config / "quorvane" / "caen.conf");
  files.push_back(SystemSettingsFile());
  return files;
}

SettingsResult LoadSettings(const std::vector<std::filesystem::path>& files) {
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
    SettingsResult result = ParseSettings(text, name);
    result.File = file;
    return result;
  }

  std::string places;
  for (const std::filesystem::path& file : files)
    places += (places.empty() ? "" : " or ") + file.string();
  return Failure("no CAEN bridge settings: write " + places +
                 " (see the README, \"Real hardware\")");
}

}  // namespace caen
