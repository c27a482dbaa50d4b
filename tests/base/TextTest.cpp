#include <gtest/gtest.h>

#include <string>

#include "base/StoredText.h"
#include "base/Text.h"

namespace {

TEST(StoredText, ValidUtf8PassesElseEachByteIsWindows1252) {
  struct Case {
    const char* Stored;
    const char* Shown;
  };
  const Case cases[] = {
      {"Trig", "Trig"},
      {"D\xC3\xA9j\xC3\xA0", "D\xC3\xA9j\xC3\xA0"},  // UTF-8 already
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},      // four bytes
      {"D\xE9j\xE0", "D\xC3\xA9j\xC3\xA0"},          // "Deja" with accents, as Windows writes it
      {"\x80\x9F\xFF", "\xE2\x82\xAC\xC5\xB8\xC3\xBF"},  // euro, Y diaeresis, y diaeresis
      {"\x81\x8D", "\xC2\x81\xC2\x8D"},                  // unassigned: the C1 controls
      {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                  // an overlong "/" is no UTF-8
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // nor is a surrogate
      {"A\xE2\x82", "A\xC3\xA2\xE2\x80\x9A"},            // nor a cut sequence
  };
  for (const Case& c : cases) EXPECT_EQ(StoredTextToUtf8(c.Stored), c.Shown) << c.Stored;
}

TEST(StoredText, TextLeftAloneKeepsItsStoredBytes) {
  EXPECT_EQ(TextToStore("D\xE9j\xE0", "D\xC3\xA9j\xC3\xA0"), "D\xE9j\xE0");
  EXPECT_EQ(TextToStore("D\xE9j\xE0", "D\xC3\xA9j\xC3\xA1"), "D\xC3\xA9j\xC3\xA1");
  EXPECT_EQ(TextToStore("Trig", "Trig2"), "Trig2");
}

TEST(Text, CaseIsThatOfAsciiLettersOnly) {
  EXPECT_TRUE(EqualNoCase("RxAddress0", "rXaDDRESS0"));
  EXPECT_FALSE(EqualNoCase("\xC9", "\xE9"));  // Windows-1252 capital and small e acute
  EXPECT_FALSE(EqualNoCase("[", "{"));        // 0x5B and 0x7B differ by the case bit
  EXPECT_EQ(LowerAscii("B_Go21\xC9"), "b_go21\xC9");
  EXPECT_EQ(Trim(" \t a b\t "), "a b");
  EXPECT_EQ(Trim(" \t "), "");
  EXPECT_EQ(Trim("\r x \r", " \r"), "x");
}

TEST(Text, PrintableTextEscapesEveryByteATerminalCouldTakeForACommand) {
  const std::pair<const char*, const char*> cases[] = {
      {"op", "op"},
      {"a\x1b]0;b\x07", "a\\x1b]0;b\\x07"},  // escape sequences, bell
      {"\r\n\x7f", "\\x0d\\x0a\\x7f"},       // carriage return, line feed, delete
      {"C:\\x1b", "C:\\\\x1b"},              // a backslash cannot pass for an escape
      {"Jos\xC3\xA9", "Jos\\xc3\\xa9"},      // no byte above ASCII: C1 controls hide there
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(PrintableText(text), shown);
}

}  // namespace
