#include "vme/TDebug.h"

#include <unistd.h>

#include <cerrno>
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

TDebugFile::TDebugFile() : std::ostream(nullptr) { rdbuf(&Buffer_); }

TDebugFile::~TDebugFile() { Buffer_.Close(); }

void TDebugFile::Open(int descriptor) {
  Buffer_.Open(descriptor);
  clear();
}

void TDebugFile::close() {
  if (!Buffer_.Close()) setstate(std::ios::failbit);
}

bool TDebugFile::is_open() const { return Buffer_.IsOpen(); }

void TDebugFile::Buffer::Open(int descriptor) {
  Close();
  Descriptor_ = descriptor;
  setp(Space_, Space_ + sizeof Space_);
}

bool TDebugFile::Buffer::Close() {
  if (Descriptor_ < 0) return false;
  const bool written = Flush();
  const bool closed = ::close(Descriptor_) == 0;
  Descriptor_ = -1;
  setp(nullptr, nullptr);  // from now on every write fails, as on a closed file stream
  return written && closed;
}

TDebugFile::Buffer::int_type TDebugFile::Buffer::overflow(int_type c) {
  if (Descriptor_ < 0 || !Flush()) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

int TDebugFile::Buffer::sync() { return Descriptor_ >= 0 && Flush() ? 0 : -1; }

bool TDebugFile::Buffer::Flush() {
  const char* next = pbase();
  bool written = true;
  while (next < pptr()) {
    const ssize_t count = ::write(Descriptor_, next, static_cast<std::size_t>(pptr() - next));
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      written = false;  // a full disk loses this much of the trace, never the program
      break;
    }
    next += count;
  }
  setp(Space_, Space_ + sizeof Space_);
  return written;
}
