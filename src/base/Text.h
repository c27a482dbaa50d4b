#pragma once

#include <string>
#include <string_view>

// The text rules of the layers without Qt. Letter case is that of the ASCII
// letters only: every other byte (a name's accents in whatever encoding the
// file holds) compares as it is, so no locale can change what matches.

inline constexpr std::string_view kBlanks = " \t";

// The text without the given blanks at either end.
std::string_view Trim(std::string_view text, std::string_view blanks = kBlanks);

char LowerAscii(char c);
std::string LowerAscii(std::string_view text);

// Equal but for the case of ASCII letters.
bool EqualNoCase(std::string_view a, std::string_view b);

// The text as a message or a terminal may show it whatever it holds: every
// byte outside printable ASCII becomes \xHH and a backslash "\\", so a name
// taken from another program (a process's name, a user name) can neither move
// the cursor nor pass for some other name.
std::string PrintableText(std::string_view text);
