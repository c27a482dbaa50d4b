// Checks the number entry rule on arbitrary text against a second, plainly
// written model of the same rule: the text is first checked character class
// by character class, then the library's strtoll converts the digits.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "base/Exception.h"
#include "base/ReadNumber.h"

namespace {

bool AllOf(const std::string& text, const std::string& alphabet) {
  for (const char c : text)
    if (alphabet.find(c) == std::string::npos) return false;
  return true;
}

std::optional<std::int32_t> Model(const std::string& input) {
  const std::size_t start = input.find_first_not_of(' ');
  if (start == std::string::npos) return std::nullopt;
  const std::string text = input.substr(start);

  bool negative = false;
  bool hex = false;
  std::string digits;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    digits = text.substr(1);
  } else if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0) {
    hex = true;
    digits = text.substr(2);
  } else if (text[0] == '$' || text[0] == 'x' || text[0] == 'X') {
    hex = true;
    digits = text.substr(1);
  } else {
    digits = text;
  }
  if (digits.empty()) return std::nullopt;
  if (!AllOf(digits, hex ? "0123456789abcdefABCDEF" : "0123456789")) return std::nullopt;

  // Leading zeros add nothing; what is left must fit the digits of 32 bits.
  const std::size_t first = digits.find_first_not_of('0');
  digits = first == std::string::npos ? "0" : digits.substr(first);
  if (digits.size() > (hex ? 8u : 10u)) return std::nullopt;

  errno = 0;
  const long long magnitude = std::strtoll(digits.c_str(), nullptr, hex ? 16 : 10);
  if (errno != 0) std::abort();  // at most ten digits always fit
  if (hex) return static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
  const long long value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

[[noreturn]] void Fail(const char* what, const std::string& text) {
  std::fprintf(stderr, "%s for text of %zu bytes: \"", what, text.size());
  for (const unsigned char c : text)
    std::fprintf(stderr, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02X", c);
  std::fprintf(stderr, "\"\n");
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::optional<std::int32_t> value = TryReadNumber(text);
  if (value != Model(text)) Fail("TryReadNumber differs from the model", text);

  try {
    const std::int32_t read = ReadNumber(text);
    if (!value || read != *value) Fail("ReadNumber accepted what TryReadNumber refused", text);
  } catch (const EConvertError& e) {
    if (value) Fail("ReadNumber raised on a valid number", text);
    if (e.Message() != "'" + text + "' is not a valid integer value")
      Fail("conversion error does not quote the text", text);
  }
  return 0;
}
