#include "settings/RxAddresses.h"

#include <optional>

#include "base/Exception.h"
#include "base/ReadNumber.h"
#include "base/Text.h"

namespace {

constexpr char kCountKey[] = "NoOfRxAddresses";
constexpr char kEntryKey[] = "RxAddress";

}  // namespace

ERxAddressRange::ERxAddressRange(const std::string& text)
    : EConvertError(OwnMessage{}, "TTCrx address '" + text +
                                      "' is out of range: a TTCrx address is 0 to 16383 (14 "
                                      "bits)") {}

void CheckRxAddressText(const std::string& text) {
  const std::optional<std::int32_t> address = TryReadNumber(text);
  if (address && (*address < 0 || *address > kHighestRxAddress)) throw ERxAddressRange(text);
}

std::string RxEntry(const std::string& name, const std::string& address) {
  return name + "=" + address;
}

std::string RxEntryName(const std::string& entry) {
  const std::size_t eq = entry.find('=');
  return eq == std::string::npos ? std::string() : entry.substr(0, eq);
}

int FindRxEntry(const std::vector<std::string>& entries, const std::string& name) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::size_t eq = entries[i].find('=');
    if (eq != std::string::npos && EqualNoCase(std::string_view(entries[i]).substr(0, eq), name))
      return static_cast<int>(i);
  }
  return -1;
}

std::int32_t RxAddressOf(const std::vector<std::string>& entries, int selected) {
  const bool any = selected >= 0 && static_cast<std::size_t>(selected) < entries.size();
  const std::string name = any ? RxEntryName(entries[static_cast<std::size_t>(selected)]) : "";
  const int found = FindRxEntry(entries, name);
  const std::string text = found < 0 ? std::string()
                                     : entries[static_cast<std::size_t>(found)].substr(
                                           entries[static_cast<std::size_t>(found)].find('=') + 1);
  CheckRxAddressText(text);
  return ReadNumber(text);
}

std::vector<std::string> ReadRxAddressList(TIniFile& file, const std::string& section,
                                           ListBudget& budget) {
  std::vector<std::string> entries;
  const std::int32_t count = file.ReadInteger(section, kCountKey, 0);
  const std::int32_t length =
      ListBudget::Length(count, file.LastNumberedKey(section, kEntryKey, count));
  for (std::int32_t i = 0; i < length; ++i) {
    const std::string key = kEntryKey + std::to_string(i);
    if (!file.KeyExists(section, key) && !budget.TakeAbsent()) break;
    entries.push_back(file.ReadString(section, key, " "));
  }
  return entries;
}

void WriteRxAddressList(TIniFile& file, const std::string& section,
                        const std::vector<std::string>& entries) {
  file.WriteInteger(section, kCountKey, static_cast<std::int32_t>(entries.size()));
  for (std::size_t i = 0; i < entries.size(); ++i)
    file.WriteString(section, kEntryKey + std::to_string(i), entries[i]);
}
