#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <sstream>
#include <string>

#include "vme/TDebug.h"

namespace {

// Threshold 10, depth 10, dots, on the standard error stream, file closed.
void ExpectDefaults(const TDebug& log) {
  EXPECT_EQ(log.Threshold, 10);
  EXPECT_EQ(log.Depth, 10);
  EXPECT_EQ(log.Fill, '.');
  EXPECT_EQ(log.Out, &std::cerr);
  EXPECT_FALSE(log.File.is_open());
}

TEST(TDebug, DefaultsAreThreshold10Depth10DotsOnStandardErrorWithClosedFile) {
  TDebug log;
  ExpectDefaults(log);
}

TEST(TDebug, ProgramLogHasTheDefaults) { ExpectDefaults(DebugLog); }

TEST(TDebug, WritesByLevelIndentAndFormat) {
  struct Case {
    const char* label;
    int threshold;
    int depth;
    char fill;
    std::function<void(TDebug&)> calls;
    std::string expected;
  };
  const Case cases[] = {
      {"level equal to depth has no indent", 10, 10, '.', [](TDebug& d) { d.Line("abc", 10); },
       "abc\n"},
      {"below threshold nothing at all", 10, 10, '.',
       [](TDebug& d) {
         d.Line("a", 9);
         d.Begin("b", 1);
         d.Append("c", 1);
         d.AppendHex(1, 1);
         d.AppendDec(1, 1);
         d.End("e", 1);
       },
       ""},
      {"level 1 indents by nine", 1, 10, '.', [](TDebug& d) { d.Line("x", 1); }, ".........x\n"},
      {"request line of a 16-bit write", 1, 10, '.',
       [](TDebug& d) {
         d.Begin("VMEWrite: address=", 1);
         d.AppendHex(0x1080, 1);
         d.Append(" count=", 1);
         d.AppendDec(2, 1);
         d.End("", 1);
       },
       ".........VMEWrite: address=1080 count=2.........\n"},
      {"End indents again before its text", 0, 4, '#',
       [](TDebug& d) {
         d.Begin("a", 2);
         d.End("z", 2);
       },
       "##a##z\n"},
      {"hex is lowercase without prefix or leading zeros", 0, 0, '.',
       [](TDebug& d) {
         d.AppendHex(0xFF1080, 0);
         d.Append("|", 0);
         d.AppendHex(0, 0);
         d.Append("|", 0);
         d.AppendHex(0xDEADBEEF, 0);
         d.Append("|", 0);
         d.AppendHex(-1, 0);
       },
       "ff1080|0|deadbeef|ffffffff"},
      {"decimal is signed", 0, 0, '.',
       [](TDebug& d) {
         d.AppendDec(0, 0);
         d.Append("|", 0);
         d.AppendDec(-5, 0);
         d.Append("|", 0);
         d.AppendDec(2147483647, 0);
       },
       "0|-5|2147483647"},
      {"level above depth has no indent", 0, 2, '.', [](TDebug& d) { d.Line("x", 5); }, "x\n"},
      {"only levels at or above threshold", 5, 10, '.',
       [](TDebug& d) {
         d.Line("low", 4);
         d.Line("at", 5);
         d.Line("above", 9);
       },
       ".....at\n.above\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::ostringstream out;
    TDebug log;
    log.Threshold = c.threshold;
    log.Depth = c.depth;
    log.Fill = c.fill;
    log.Out = &out;
    c.calls(log);
    EXPECT_EQ(out.str(), c.expected);
  }
}

// Counts flushes reaching the stream buffer.
class SyncCounter : public std::stringbuf {
 public:
  int Syncs = 0;

 protected:
  int sync() override {
    ++Syncs;
    return std::stringbuf::sync();
  }
};

TEST(TDebug, LineAndEndFlushTheStream) {
  SyncCounter buffer;
  std::ostream out(&buffer);
  TDebug log;
  log.Threshold = 1;
  log.Out = &out;

  log.Line("one", 1);
  EXPECT_EQ(buffer.Syncs, 1);
  log.Begin("two", 1);
  log.End("", 1);
  EXPECT_EQ(buffer.Syncs, 2);
  EXPECT_EQ(buffer.str(), ".........one\n.........two.........\n");
}

}  // namespace
