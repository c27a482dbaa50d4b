#include "settings/ConfigFile.h"

#include "base/Exception.h"
#include "base/TTCviBase.h"
#include "base/Text.h"

namespace {
constexpr char kAddressKey[] = "TTCviAddress";
constexpr std::size_t kWordBits = 32;
}  // namespace

std::int32_t ReadTTCviAddress(TIniFile& file, const std::string& section) {
  const std::int32_t address = file.ReadInteger(section, kAddressKey, kDefaultTTCviAddress);
  // The value as the file holds it, and in hexadecimal when that differs.
  const std::string text = file.ReadString(section, kAddressKey, "");
  const std::string hex = HexAddress(address);
  const std::string shown = std::string(kAddressKey) + "=" + text +
                            (address < 0 || EqualNoCase(text, hex) ? "" : " (" + hex + ")");
  const std::string problem = TTCviBaseProblem(address, shown);
  if (!problem.empty())
    throw Exception(file.FileName() + ", section [" + section + "]: " + problem);
  return address;
}

void WriteTTCviAddress(TIniFile& file, const std::string& section, std::int32_t address) {
  file.WriteInteger(section, kAddressKey, address);
}

std::string WordToText(const std::bitset<32>& word) { return word.to_string('0', '1'); }

bool TextToWord(const std::string& text, std::bitset<32>& word) {
  // A hand-edited value may be shorter (upper bits 0) or longer (only the
  // last 32 characters count); the word is left as it was when one is bad.
  const std::size_t used = text.size() < kWordBits ? text.size() : kWordBits;
  std::bitset<32> result;
  for (std::size_t bit = 0; bit < used; ++bit) {
    const char c = text[text.size() - 1 - bit];
    if (c != '0' && c != '1') return false;
    result[bit] = c == '1';
  }
  word = result;
  return true;
}
