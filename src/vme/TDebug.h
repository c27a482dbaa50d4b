#pragma once

#include <ostream>
#include <streambuf>
#include <string>

// The trace's file: a stream on a descriptor its opener checked (src/crate
// opens it refusing symbolic links and anything but a regular file, which a
// stream opened by name cannot do). Constructed closed.
class TDebugFile : public std::ostream {
 public:
  TDebugFile();
  ~TDebugFile() override;
  TDebugFile(const TDebugFile&) = delete;
  TDebugFile& operator=(const TDebugFile&) = delete;

  // Writes to descriptor from now on, which it owns; the file before is closed.
  void Open(int descriptor);
  // As a file stream's close: what is buffered is written, then the file closed.
  void close();
  bool is_open() const;

 private:
  class Buffer : public std::streambuf {
   public:
    ~Buffer() override { Close(); }
    void Open(int descriptor);
    bool Close();
    bool IsOpen() const { return Descriptor_ >= 0; }

   protected:
    int_type overflow(int_type c) override;
    int sync() override;

   private:
    bool Flush();
    int Descriptor_ = -1;
    char Space_[1024] = {};
  };
  Buffer Buffer_;
};

// A levelled text trace. A call below Threshold writes nothing; a call at
// level L indents by Depth - L Fill characters. The program has exactly one,
// DebugLog, on the standard error stream with threshold 10: the connection
// traces at level 1, so a normal run writes nothing. The crate settings
// file's "trace" key (src/crate) lowers the threshold and may send it to File.
class TDebug {
 public:
  TDebug();

  void Line(const std::string& text, int level);
  void Begin(const char* text, int level);
  void Append(const char* text, int level);
  void AppendHex(long value, int level);
  void AppendDec(long value, int level);
  void End(const char* text, int level);

  int Threshold;
  int Depth;
  char Fill;
  std::ostream* Out;
  TDebugFile File;  // constructed closed; the crate settings' "trace" may open it

 private:
  bool Enabled(int level) const { return level >= Threshold; }
  void Indent(int level);
};

extern TDebug DebugLog;
