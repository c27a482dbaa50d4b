#include "vme/TDebug.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iostream>

// The program's one trace, on the standard error stream. At threshold 10 the
// connection's level-1 lines are never written.
TDebug DebugLog;

TDebug::TDebug() : Threshold(10), Depth(10), Fill('.'), Out(&std::cerr) {}

void TDebug::Indent(int level) {
  // A level above Depth gets no indent rather than a negative one.
  const long long count = static_cast<long long>(Depth) - level;
  if (count > 0) *Out << std::string(static_cast<std::size_t>(count), Fill);
}

void TDebug::Line(const std::string& text, int level) {
  if (!Enabled(level)) return;
  Indent(level);
  *Out << text << '\n';
  Out->flush();
}

void TDebug::Begin(const char* text, int level) {
  if (!Enabled(level)) return;
  Indent(level);
  *Out << text;
}

void TDebug::Append(const char* text, int level) {
  if (!Enabled(level)) return;
  *Out << text;
}

void TDebug::AppendHex(long value, int level) {
  if (!Enabled(level)) return;
  // Values are 32-bit quantities: a negative one shows its 32-bit pattern
  // (ffffffff for -1), not the 64-bit one a Linux long would give.
  char text[16];
  std::snprintf(text, sizeof text, "%lx",
                static_cast<unsigned long>(static_cast<std::uint32_t>(value)));
  *Out << text;
}

void TDebug::AppendDec(long value, int level) {
  if (!Enabled(level)) return;
  char text[24];
  std::snprintf(text, sizeof text, "%ld", value);
  *Out << text;
}

void TDebug::End(const char* text, int level) {
  if (!Enabled(level)) return;
  Indent(level);
  *Out << text << '\n';
  Out->flush();
}
