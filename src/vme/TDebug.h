#pragma once

#include <fstream>
#include <ostream>
#include <string>

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
  std::ofstream File;  // constructed closed; the crate settings' "trace" may open it

 private:
  bool Enabled(int level) const { return level >= Threshold; }
  void Indent(int level);
};

extern TDebug DebugLog;
