#include "settings/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/Exception.h"
#include "base/ReadNumber.h"

// The whole file is loaded once, at the first read or write, into its lines
// grouped by section, with an index from the lower-case section name to its
// section and, per section, from the lower-case key name to its line. Writes
// change the lines in memory and UpdateFile() writes the file once. Writing
// each key into the file as it comes (the classic profile-file way) rewrites
// the whole file once per key: saving a configuration of n keys then costs
// n times the file's size, which grows quadratically with the lists stored.

namespace {

constexpr std::size_t kMaxValueLength = 2047;

enum class LineEnd : unsigned char { None, LF, CRLF };

struct Line {
  std::string Text;  // without its line end
  LineEnd End = LineEnd::None;
};

struct Section {
  bool HasHeader = false;  // false only for the lines before the first "[name]"
  Line Header;
  std::vector<Line> Body;           // up to and including the last non-blank line
  std::vector<Line> TrailingBlank;  // blank lines after it, before the next section
  std::unordered_map<std::string, std::size_t> Keys;  // lower-case key -> Body index
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool IsBlankLine(std::string_view text) { return Trim(text).empty(); }

// Names match without regard to case, ASCII letters only: other bytes stay.
std::string Lower(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

// "[name]" (blanks allowed around it) gives the name; anything else is not a header.
bool ParseHeader(std::string_view text, std::string& name) {
  const std::string_view trimmed = Trim(text);
  if (trimmed.empty() || trimmed.front() != '[') return false;
  const std::size_t close = trimmed.find(']');
  if (close == std::string_view::npos) return false;
  name = Lower(Trim(trimmed.substr(1, close - 1)));
  return true;
}

// A key line is any non-header line with an "="; the key is the trimmed text before it.
bool ParseKey(std::string_view text, std::string& key) {
  const std::size_t eq = text.find('=');
  if (eq == std::string_view::npos) return false;
  key = Lower(Trim(text.substr(0, eq)));
  return !key.empty();
}

std::string ValueOf(std::string_view text) {
  const std::size_t eq = text.find('=');
  std::string_view value = Trim(text.substr(eq + 1));
  if (value.size() > kMaxValueLength) value = value.substr(0, kMaxValueLength);
  return std::string(value);
}

// A line break inside a name or value would split the line and could open a
// section of its own on the next read; it is stored as a blank instead.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

const char* EndText(LineEnd end) {
  switch (end) {
    case LineEnd::LF:
      return "\n";
    case LineEnd::CRLF:
      return "\r\n";
    case LineEnd::None:
      break;
  }
  return "";
}

// "..\quorvane.ini" -> "../quorvane.ini".
std::string ToLocalPath(std::string name) {
  for (char& c : name)
    if (c == '\\') c = '/';
  return name;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Root may write anything; a file or folder without any "w" bit still counts
// as read-only, as an operator who made it so expects.
bool IsWritable(const std::string& path, const struct stat& st) {
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  return access(path.c_str(), W_OK) == 0;
}

mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

struct TIniFile::Impl {
  std::string Name;  // the converted file name, as shown to the operator

  bool Loaded = false;
  bool LoadRefused = false;  // the file exists but could not be read: never overwrite it
  bool WriteAsked = false;   // a write was asked for since the last UpdateFile
  bool Changed = false;      // the lines differ from the file
  LineEnd NewLineEnd = LineEnd::LF;
  std::vector<Section> Sections;  // [0] holds the lines before the first header
  std::unordered_map<std::string, std::size_t> SectionIndex;  // lower-case name

  void Load();
  void Parse(const std::string& content);
  void AddLine(Line line);
  Line* Find(const std::string& section, const std::string& key);
  void Write(const std::string& section, const std::string& key, const std::string& value);
  std::string Compose() const;
  void Save();
};

void TIniFile::Impl::Load() {
  if (Loaded) return;
  Loaded = true;
  Sections.emplace_back();  // the lines before any section

  std::string content;
  // Non-blocking open: a named pipe in the file's place must not hang the
  // start-up; it is refused below like any file that is not a regular one.
  const int fd = open(Name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    LoadRefused = errno != ENOENT && errno != ENOTDIR;
    return;  // an unreadable file reads as an empty one
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    LoadRefused = true;
    close(fd);
    return;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      LoadRefused = true;
      content.clear();
      break;
    }
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  Parse(content);
}

void TIniFile::Impl::Parse(const std::string& content) {
  std::size_t crlf = 0;
  std::size_t lf = 0;
  std::size_t pos = 0;
  while (pos < content.size()) {
    const std::size_t nl = content.find('\n', pos);
    Line line;
    if (nl == std::string::npos) {
      line.Text = content.substr(pos);
      pos = content.size();
    } else {
      std::size_t end = nl;
      if (end > pos && content[end - 1] == '\r') {
        --end;
        line.End = LineEnd::CRLF;
        ++crlf;
      } else {
        line.End = LineEnd::LF;
        ++lf;
      }
      line.Text = content.substr(pos, end - pos);
      pos = nl + 1;
    }
    AddLine(std::move(line));
  }
  NewLineEnd = crlf > lf ? LineEnd::CRLF : LineEnd::LF;
}

void TIniFile::Impl::AddLine(Line line) {
  std::string name;
  if (ParseHeader(line.Text, name)) {
    Section section;
    section.HasHeader = true;
    section.Header = std::move(line);
    Sections.push_back(std::move(section));
    SectionIndex.emplace(std::move(name), Sections.size() - 1);  // the first one wins
    return;
  }
  Section& section = Sections.back();
  if (IsBlankLine(line.Text)) {
    section.TrailingBlank.push_back(std::move(line));
    return;
  }
  for (Line& blank : section.TrailingBlank) section.Body.push_back(std::move(blank));
  section.TrailingBlank.clear();
  std::string key;
  if (section.HasHeader && ParseKey(line.Text, key))
    section.Keys.emplace(std::move(key), section.Body.size());  // the first one wins
  section.Body.push_back(std::move(line));
}

Line* TIniFile::Impl::Find(const std::string& section, const std::string& key) {
  Load();
  const auto s = SectionIndex.find(Lower(section));
  if (s == SectionIndex.end()) return nullptr;
  Section& sec = Sections[s->second];
  const auto k = sec.Keys.find(Lower(key));
  if (k == sec.Keys.end()) return nullptr;
  return &sec.Body[k->second];
}

void TIniFile::Impl::Write(const std::string& section, const std::string& key,
                           const std::string& value) {
  Load();
  WriteAsked = true;
  const std::string cleanValue = OneLine(value);

  if (Line* line = Find(section, key)) {
    // The key keeps its spelling; only the text after the first "=" changes.
    std::string text = line->Text.substr(0, line->Text.find('=') + 1);
    text += cleanValue;
    if (text != line->Text) {
      line->Text = std::move(text);
      Changed = true;
    }
    return;
  }

  Changed = true;
  const auto found = SectionIndex.find(Lower(section));
  const bool missing = found == SectionIndex.end();
  if (missing) {
    Section fresh;
    fresh.HasHeader = true;
    // Appended piece by piece: "[" + string trips a false -Wrestrict in g++ 12 at -O3.
    std::string header = "[";
    header += OneLine(section);
    header += ']';
    fresh.Header = Line{std::move(header), NewLineEnd};
    Sections.push_back(std::move(fresh));
  }
  Section& sec = missing ? Sections.back() : Sections[found->second];
  // Index the names as a later read of the file will see them.
  std::string name;
  if (missing && ParseHeader(sec.Header.Text, name))
    SectionIndex.emplace(std::move(name), Sections.size() - 1);
  Line line{OneLine(key) + "=" + cleanValue, NewLineEnd};
  if (ParseKey(line.Text, name)) sec.Keys.emplace(std::move(name), sec.Body.size());
  sec.Body.push_back(std::move(line));
}

std::string TIniFile::Impl::Compose() const {
  // A line that had no end (the last line of the file) gets one when a line now follows it.
  std::vector<const Line*> lines;
  for (const Section& section : Sections) {
    if (section.HasHeader) lines.push_back(&section.Header);
    for (const Line& line : section.Body) lines.push_back(&line);
    for (const Line& line : section.TrailingBlank) lines.push_back(&line);
  }
  std::string content;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    content += lines[i]->Text;
    LineEnd end = lines[i]->End;
    if (end == LineEnd::None && i + 1 < lines.size()) {
      // A last line ending in a lone CR would lose it to a following LF.
      const std::string& text = lines[i]->Text;
      end = !text.empty() && text.back() == '\r' ? LineEnd::CRLF : NewLineEnd;
    }
    content += EndText(end);
  }
  return content;
}

void TIniFile::Impl::Save() {
  const EFileWriteError refused(Name);
  if (LoadRefused) throw refused;

  // Write beside the real file when the name is a symbolic link, so the link stays.
  std::string target = Name;
  char resolved[PATH_MAX];
  if (realpath(Name.c_str(), resolved) != nullptr) target = resolved;

  struct stat st {};
  const bool exists = stat(target.c_str(), &st) == 0;
  if (exists && (!S_ISREG(st.st_mode) || !IsWritable(target, st))) throw refused;
  const std::string folder = FolderOf(target);
  struct stat folderStat {};
  if (stat(folder.c_str(), &folderStat) != 0 || !S_ISDIR(folderStat.st_mode) ||
      !IsWritable(folder, folderStat))
    throw refused;
  if (!Changed) return;

  std::string temp = folder + "/.quorvane-ini-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) throw refused;
  const mode_t mode = exists ? (st.st_mode & 07777) : NewFileMode();
  bool ok = fchmod(fd, mode) == 0;
  if (ok && exists && (st.st_uid != geteuid() || st.st_gid != getegid()))
    (void)!fchown(fd, st.st_uid, st.st_gid);  // keep the owner where we may
  ok = ok && WriteAll(fd, Compose()) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (!ok || rename(temp.c_str(), target.c_str()) != 0) {
    unlink(temp.c_str());
    throw refused;
  }
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);  // make the rename itself durable
    close(dir);
  }
  Changed = false;
}

TIniFile::TIniFile(const std::string& fileName) : Impl_(std::make_unique<Impl>()) {
  Impl_->Name = ToLocalPath(fileName);
}

TIniFile::~TIniFile() = default;

const std::string& TIniFile::FileName() const { return Impl_->Name; }

bool TIniFile::SectionExists(const std::string& section) {
  Impl_->Load();
  return Impl_->SectionIndex.count(Lower(section)) != 0;
}

bool TIniFile::KeyExists(const std::string& section, const std::string& key) {
  return Impl_->Find(section, key) != nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) {
  if (const Line* line = Impl_->Find(section, key)) return ValueOf(line->Text);
  std::string_view value = defaultValue;
  while (!value.empty() && IsBlank(value.back())) value.remove_suffix(1);
  if (value.size() > kMaxValueLength) value = value.substr(0, kMaxValueLength);
  return std::string(value);
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  Impl_->Write(section, key, value);
}

std::int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key,
                                   std::int32_t defaultValue) {
  std::string text = ReadString(section, key, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    text.replace(0, 2, "$");
  return TryReadNumber(text).value_or(defaultValue);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key,
                            std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::UpdateFile() {
  if (!Impl_->WriteAsked) return;
  Impl_->Save();
  Impl_->WriteAsked = false;
}
