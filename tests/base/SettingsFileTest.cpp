#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/SettingsFile.h"

namespace {

// A file saved by a Windows editor may begin with a UTF-8 byte-order mark;
// it reads as the same file without one. Further on, the bytes stay text.
TEST(SettingsFile, ByteOrderMarkAtTheStartIsNoPartOfTheFirstKey) {
  struct Case {
    std::string text;
    std::vector<std::string> keys;
  };
  const std::string mark = "\xEF\xBB\xBF";
  const Case cases[] = {
      {mark + "adapter = caen\n", {"adapter"}},
      {mark + "# comment\r\nbridge = V2718\r\n", {"bridge"}},
      {mark, {}},
      {"adapter = sim\n" + mark + "base = 1\n", {"adapter", mark + "base"}},
  };
  for (const Case& c : cases) {
    std::vector<SettingsLine> lines;
    std::string error;
    ASSERT_TRUE(SplitSettingsLines(c.text, "crate.conf", lines, error)) << error;
    std::vector<std::string> keys;
    for (const SettingsLine& line : lines) keys.push_back(line.Key);
    EXPECT_EQ(keys, c.keys) << c.text;
  }
}

}  // namespace
