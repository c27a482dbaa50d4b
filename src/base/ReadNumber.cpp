#include "base/ReadNumber.h"

#include "base/Exception.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<std::int32_t> ReadHex(const std::string& text, std::size_t pos) {
  if (pos >= text.size()) return std::nullopt;  // a prefix needs a digit
  std::uint32_t value = 0;
  for (; pos < text.size(); ++pos) {
    const int digit = HexDigit(text[pos]);
    if (digit < 0) return std::nullopt;
    if (value > 0x0FFFFFFFu) return std::nullopt;  // a 33rd bit
    value = (value << 4) | static_cast<std::uint32_t>(digit);
  }
  return static_cast<std::int32_t>(value);  // 0x80000000.. wrap to negative
}

std::optional<std::int32_t> ReadDecimal(const std::string& text, std::size_t pos, bool negative) {
  if (pos >= text.size()) return std::nullopt;
  // Magnitude limit: 2147483647, or 2147483648 with a minus sign.
  const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
  std::uint64_t value = 0;
  for (; pos < text.size(); ++pos) {
    if (!IsDecimalDigit(text[pos])) return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(text[pos] - '0');
    if (value > limit) return std::nullopt;
  }
  const std::int64_t signedValue =
      negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
  return static_cast<std::int32_t>(signedValue);
}

}  // namespace

std::optional<std::int32_t> TryReadNumber(const std::string& text) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;  // blanks only, no tabs
  if (pos >= text.size()) return std::nullopt;

  const char first = text[pos];
  if (first == '-' || first == '+') return ReadDecimal(text, pos + 1, first == '-');
  if (first == '$' || first == 'x' || first == 'X') return ReadHex(text, pos + 1);
  if (first == '0' && pos + 1 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X'))
    return ReadHex(text, pos + 2);
  return ReadDecimal(text, pos, false);
}

std::int32_t ReadNumber(const std::string& text) {
  if (const auto value = TryReadNumber(text)) return *value;
  throw EConvertError(text);
}
