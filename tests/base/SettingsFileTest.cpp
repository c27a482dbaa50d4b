#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/SettingsFile.h"

namespace {

// A file saved by a Windows editor may begin with a UTF-8 byte-order mark;
// it reads as the same file without one. Elsewhere the bytes stay text.
TEST(SettingsFile, ByteOrderMarkAtTheStartIsNoPartOfTheFirstKey) {
  struct Case {
    std::string text;
    const char* firstKey;  // empty: refused
    int line;
  };
  const Case cases[] = {
      {"\xEF\xBB\xBF"
       "adapter = caen\n",
       "adapter", 1},
      {"\xEF\xBB\xBF# comment\r\nbridge = V2718\r\n", "bridge", 2},
      {"\xEF\xBB\xBF", "", 0},  // a mark alone is an empty file
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<SettingsLine> lines;
    std::string error;
    ASSERT_TRUE(SplitSettingsLines(c.text, "crate.conf", lines, error)) << error;
    if (*c.firstKey == '\0') {
      EXPECT_TRUE(lines.empty());
      continue;
    }
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].Key, c.firstKey);
    EXPECT_EQ(lines[0].Number, c.line);
  }
  std::vector<SettingsLine> lines;
  std::string error;
  ASSERT_TRUE(
      SplitSettingsLines("adapter = sim\n\xEF\xBB\xBF"
                         "base = 1\n",
                         "f", lines, error));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].Key,
            "\xEF\xBB\xBF"
            "base");  // mid-file it is no mark: the key is unknown
}

}  // namespace
