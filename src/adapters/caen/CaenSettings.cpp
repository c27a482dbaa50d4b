#include "adapters/caen/CaenSettings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>
#include <optional>

namespace caen {

namespace {

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

bool IsBridgeKey(std::string_view key) {
  return key == "bridge" || key == "link" || key == "node" || key == "host";
}

std::string ReadBridgeKey(std::string_view key, std::string_view value, Settings& settings) {
  if (value.empty()) return "\"" + std::string(key) + "\" has no value";
  if (key == "bridge") {
    const std::string name = Lower(value);
    const auto entry = std::find_if(std::begin(kBridges), std::end(kBridges),
                                    [&](const BridgeEntry& e) { return Lower(e.Name) == name; });
    if (entry == std::end(kBridges))
      return "unknown bridge \"" + std::string(value) + "\" (known: " + KnownBridges() + ")";
    settings.Model = entry->Model;
  } else if (key == "link") {
    const auto link = WholeNumber(value, std::numeric_limits<std::uint32_t>::max());
    if (!link)
      return "link must be a whole number from 0 to 4294967295, not \"" + std::string(value) + "\"";
    settings.Link = *link;
  } else if (key == "node") {
    const auto node = WholeNumber(value, std::numeric_limits<std::int16_t>::max());
    if (!node)
      return "node must be a whole number from 0 to 32767, not \"" + std::string(value) + "\"";
    settings.Node = *node;
  } else {
    settings.Host = std::string(value);
  }
  return {};
}

std::string CheckBridge(const Settings& settings, bool haveHost) {
  if (settings.Model == Bridge::V4718_ETH && !haveHost)
    return "the V4718-ETH bridge needs \"host = <name or IPv4 address>\"";
  if (settings.Model != Bridge::V4718_ETH && haveHost)
    return "\"host\" is only for the V4718-ETH bridge";
  return {};
}

}  // namespace caen
