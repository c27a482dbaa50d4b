#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The one number entry rule of the program, for typed numbers and for the
// integers of the configuration file:
//   leading blanks (space only) are skipped; "+"/"-" only before decimal
//   digits; "$", "x", "X", "0x", "0X" start up to 32 bits of hexadecimal
//   (0x80000000..0xFFFFFFFF wrap to negative); decimal must fit in 32 bits
//   signed; leading zeros are decimal; anything else is an error.
// ReadNumber raises EConvertError with the whole text as entered.
std::int32_t ReadNumber(const std::string& text);

// The same rule without raising: empty when the text breaks it.
std::optional<std::int32_t> TryReadNumber(const std::string& text);
