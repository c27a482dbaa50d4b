// Feeds arbitrary bytes to the configuration file store as the file's
// content, reads the names found in it, writes one new and one existing key,
// saves, and reads the file again: the written keys must read back as
// written and every other key must read as before. Then adds only a section
// of its own to the same content: the saved file must hold every byte of the
// content unchanged, followed by the new lines.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "settings/IniFile.h"

namespace {

std::string Trim(const std::string& text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return "";
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// Names the program could write: nothing that reads as a header, a value or a line break.
bool Plain(const std::string& name) {
  return !name.empty() && name == Trim(name) && name.find_first_of("[]=\r\n") == std::string::npos;
}

// What reading gives for a written value.
std::string AsRead(std::string value) {
  for (char& c : value)
    if (c == '\r' || c == '\n') c = ' ';
  value = Trim(value);
  return value.size() > 2047 ? value.substr(0, 2047) : value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  const std::string path = RunFolder().File("quorvane.ini");
  WriteRaw(path, content);

  // Candidate names, loosely as a reader of the file would see them.
  std::vector<std::string> sections{"S", ""};
  std::vector<std::string> keys{"k", ""};
  std::size_t pos = 0;
  while (pos < content.size() && sections.size() + keys.size() < 40) {
    std::size_t end = content.find('\n', pos);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string trimmed = Trim(line);
    if (!trimmed.empty() && trimmed[0] == '[' && trimmed.find(']') != std::string::npos)
      sections.push_back(Trim(trimmed.substr(1, trimmed.find(']') - 1)));
    else if (line.find('=') != std::string::npos)
      keys.push_back(Trim(line.substr(0, line.find('='))));
    pos = end + 1;
  }

  std::vector<std::pair<std::string, std::string>> probes;
  for (const std::string& s : sections)
    for (const std::string& k : keys) probes.emplace_back(s, k);

  // The value written is a slice of the input, any bytes at all.
  const std::string value = content.substr(0, std::min<std::size_t>(content.size(), 64));
  std::string oldSection = "S";
  std::string oldKey = "k";
  for (const auto& [s, k] : probes)
    if (Plain(s) && Plain(k)) {
      oldSection = s;
      oldKey = k;
      break;
    }

  std::vector<std::string> before;
  {
    TIniFile file(path);
    for (const auto& [s, k] : probes) before.push_back(file.ReadString(s, k, "-"));
    (void)file.ReadInteger(oldSection, oldKey, 0);
    file.WriteString("FuzzSection", "FuzzKey", value);
    file.WriteString(oldSection, oldKey, "written");
    Check(file.ReadString("FuzzSection", "FuzzKey", "") == AsRead(value), "new key in memory");
    file.UpdateFile();
  }

  TIniFile file(path);
  Check(file.ReadString("FuzzSection", "FuzzKey", "") == AsRead(value), "new key after save");
  Check(file.ReadString(oldSection, oldKey, "") == "written", "replaced key after save");
  for (std::size_t i = 0; i < probes.size(); ++i) {
    const auto& [s, k] = probes[i];
    const bool written = (Lower(s) == Lower(oldSection) && Lower(k) == Lower(oldKey)) ||
                         (Lower(s) == "fuzzsection" && Lower(k) == "fuzzkey");
    if (!written) Check(file.ReadString(s, k, "-") == before[i], "other key changed by the save");
  }

  WriteRaw(path, content);
  {
    TIniFile appended(path);
    if (appended.SectionExists("FuzzOnly")) return 0;
    appended.WriteString("FuzzOnly", "k", "v");
    appended.UpdateFile();
  }
  const std::string saved = ReadRaw(path);
  Check(saved.size() > content.size() && saved.compare(0, content.size(), content) == 0,
        "a byte of the file changed when a section was added");
  const std::string tail = saved.substr(content.size());
  bool expected = false;
  for (const char* ending : {"", "\n", "\r\n"})
    for (const char* end : {"\n", "\r\n"})
      expected = expected || tail == std::string(ending) + "[FuzzOnly]" + end + "k=v" + end;
  Check(expected, "the added section is not what was written");
  return 0;
}
