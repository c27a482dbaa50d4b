#include "settings/IniFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <type_traits>
#include <vector>

#include "base/Exception.h"
#include "base/ReadNumber.h"
#include "base/ScopeExit.h"
#include "base/Text.h"

// Layout. The file's bytes are kept as read, in one buffer; nothing is kept
// per line. Lines are found through open-addressing tables of (32-bit hash,
// 32-bit reference) pairs: one for the section names, and one array for the
// keys with a region per section, so that the keys of a section lie
// together as its lines do. A reference is the offset of a line in the file
// buffer or, with its top bit set, the number of a written line ("piece").
// Pieces keep their text in a second buffer: a replaced line of the file
// names the offset it replaces, an added line belongs to the chain of lines
// its section gets at its end. Saving streams the file buffer to the file
// with the pieces spliced in. So a loaded store costs its file's size plus
// about 11 bytes a key, and loading, reading, writing and saving all cost
// time in proportion to the file and the keys written. Writing each key
// into the file as it comes (the classic profile-file way) would rewrite
// the whole file once per key: quadratic in the lists stored.

namespace {

constexpr std::size_t kMaxValueLength = 2047;

// A larger file is none the program wrote (ten times a large configuration
// is about 200 MB): it is treated as one that could not be read (defaults,
// never overwritten), which also bounds what a damaged file can cost.
// References to file lines need 31 bits.
constexpr std::size_t kMaxFileSize = std::size_t{512} << 20;

// A section's key lines are indexed as they are read, in batches of at most
// this many; the first batch sizes the section's key region, which then
// grows only with keys not yet held, so that a million equal lines do not
// get a million slots.
constexpr std::uint32_t kPresizedKeys = 4096;

// Windows editors begin a UTF-8 file with these bytes. They are no part of
// the first line: read as nothing, kept as they are when the file is saved.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

constexpr std::uint32_t kNone = 0xFFFFFFFFu;
constexpr std::uint32_t kPieceBit = 0x80000000u;

enum class LineEnd : unsigned char { None, LF, CRLF };

// Eight bytes at a time: adds 0x20 to each byte "A".."Z", leaves the others.
std::uint64_t LowerWord(std::uint64_t x) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  const std::uint64_t low7 = x & (0x7F * kOnes);
  const std::uint64_t atLeastA = low7 + (0x80 - 'A') * kOnes;
  const std::uint64_t aboveZ = low7 + (0x80 - 'Z' - 1) * kOnes;
  const std::uint64_t upper = atLeastA & ~aboveZ & ~x & (0x80 * kOnes);
  return x | (upper >> 2);
}

// A hash of the lower-case name, eight bytes a step, finished by a full
// 64-bit mix (split-mix finalizer) folded to 32 bits, so that names that
// differ in one digit spread evenly.
std::uint32_t NameHash(std::string_view name) {
  constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15u;
  std::uint64_t h = name.size() * kMul;
  std::size_t i = 0;
  for (; i + 8 <= name.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, name.data() + i, 8);
    h = (h ^ LowerWord(word)) * kMul;
    h ^= h >> 32;
  }
  if (i < name.size()) {
    std::uint64_t word = 0;
    std::memcpy(&word, name.data() + i, name.size() - i);
    h = (h ^ LowerWord(word)) * kMul;
  }
  h ^= h >> 30;
  h *= 0xBF58476D1CE4E5B9u;
  h ^= h >> 27;
  h *= 0x94D049BB133111EBu;
  h ^= h >> 31;
  return static_cast<std::uint32_t>(h ^ (h >> 32));
}

// "[name]" (blanks allowed around it) gives the trimmed name; anything else is not a header.
bool ParseHeader(std::string_view text, std::string_view& name) {
  const std::string_view trimmed = Trim(text);
  if (trimmed.empty() || trimmed.front() != '[') return false;
  const std::size_t close = trimmed.find(']');
  if (close == std::string_view::npos) return false;
  name = Trim(trimmed.substr(1, close - 1));
  return true;
}

// A key line is any non-header line with an "="; the key is the trimmed text before it.
bool ParseKey(std::string_view text, std::string_view& key) {
  const std::size_t eq = text.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(text.substr(0, eq));
  return !key.empty();
}

// n when name is stem + n (decimal, no leading zeros) and n < limit; else -1.
std::int32_t NumberAfter(std::string_view name, std::string_view stem, std::int32_t limit) {
  if (name.size() <= stem.size() || !EqualNoCase(name.substr(0, stem.size()), stem)) return -1;
  const std::string_view digits = name.substr(stem.size());
  if (digits.size() > 10 || (digits.size() > 1 && digits[0] == '0')) return -1;
  std::int64_t n = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n < limit ? static_cast<std::int32_t>(n) : -1;
}

std::string ValueOf(std::string_view text) {
  std::string_view value = Trim(text.substr(text.find('=') + 1));
  if (value.size() > kMaxValueLength) value = value.substr(0, kMaxValueLength);
  return std::string(value);
}

// A line break inside a name or value would split the line and could open a
// section of its own on the next read; it is stored as a blank instead.
char OneLine(char c) { return c == '\n' || c == '\r' ? ' ' : c; }

bool EqualOneLine(std::string_view stored, std::string_view written) {
  if (stored.size() != written.size()) return false;
  for (std::size_t i = 0; i < stored.size(); ++i)
    if (stored[i] != OneLine(written[i])) return false;
  return true;
}

std::string_view EndText(LineEnd end) {
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
// as read-only, as an operator who made it so expects. The effective ids
// decide, as they do for the open that follows.
bool IsWritable(const std::string& path, const struct stat& st) {
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// The file a name leads to through symbolic links: the last link's target
// even when that does not exist yet, so a save creates it there and the
// links stay. A relative link is read from its own folder. Empty for a loop.
std::string FollowLinks(std::string path) {
  constexpr int kMostLinks = 40;  // as the kernel allows
  for (int hops = 0; hops <= kMostLinks; ++hops) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string link(PATH_MAX, '\0');
    const ssize_t n = readlink(path.c_str(), link.data(), link.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) return {};
    link.resize(static_cast<std::size_t>(n));
    path = link.front() == '/' ? link : FolderOf(path) + "/" + link;
  }
  return {};
}

// Temporary files of a save: this name and six characters of mkstemp. A
// save holds an exclusive flock on its own until it has been renamed, so
// one whose lock can be taken belongs to no running save: a save that was
// killed left it.
constexpr std::string_view kTemporaryStem = ".quorvane-ini-";
constexpr std::size_t kTemporaryName = kTemporaryStem.size() + 6;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A new temporary file in the folder, locked, or -1. The lock is taken
// after the file is made, so another save's clean-up may have removed the
// name in between: then the file is made again.
int MakeLockedTemporary(const std::string& folder, std::string& name) {
  for (int tries = 0; tries < 4; ++tries) {
    name = folder + "/" + std::string(kTemporaryStem) + "XXXXXX";
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat own {};
    struct stat named {};
    if (flock(fd, LOCK_EX) == 0 && fstat(fd, &own) == 0 && lstat(name.c_str(), &named) == 0 &&
        SameFile(own, named))
      return fd;
    close(fd);
  }
  return -1;
}

// Removes the temporary files of killed saves from the folder.
void RemoveLeftovers(const std::string& folder, const std::string& own) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  const ScopeExit closeDir([&] { closedir(dir); });
  const std::string_view ownName = std::string_view(own).substr(own.rfind('/') + 1);
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.size() != kTemporaryName || !name.starts_with(kTemporaryStem) || name == ownName)
      continue;
    const int fd = openat(dirfd(dir), entry->d_name,
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) continue;
    const ScopeExit closeFile([&] { close(fd); });
    struct stat held {};
    struct stat named {};
    if (fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        fstatat(dirfd(dir), entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        SameFile(held, named))
      unlinkat(dirfd(dir), entry->d_name, 0);
  }
}

// Gives the new file every extended attribute of the old one: its POSIX
// ACL (system.posix_acl_access) among them, which may be all that lets a
// user write the file. False when one cannot be copied.
bool CopyAttributes(const std::string& from, int to) {
  std::vector<char> names;
  for (;;) {
    const ssize_t size = listxattr(from.c_str(), nullptr, 0);
    if (size < 0) return errno == ENOTSUP;  // a file system without them: nothing to lose
    names.resize(static_cast<std::size_t>(size));
    const ssize_t got = listxattr(from.c_str(), names.data(), names.size());
    if (got >= 0) {
      names.resize(static_cast<std::size_t>(got));
      break;
    }
    if (errno != ERANGE) return false;  // ERANGE: they grew meanwhile
  }
  std::vector<char> value;
  for (std::size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
    const char* name = names.data() + at;
    ssize_t got = -1;
    for (int tries = 0; tries < 4 && got < 0; ++tries) {
      const ssize_t size = getxattr(from.c_str(), name, nullptr, 0);
      if (size < 0) break;
      value.resize(static_cast<std::size_t>(size));
      got = getxattr(from.c_str(), name, value.data(), value.size());
    }
    if (got < 0) {
      if (errno == ENODATA) continue;  // removed meanwhile
      return false;
    }
    if (fsetxattr(to, name, value.data(), static_cast<std::size_t>(got), 0) != 0) return false;
  }
  return true;
}

// Open addressing with linear probing over a region of slots: the first
// slot tried is the hash scaled to the region's size.
struct Slot {
  std::uint32_t Hash;
  std::uint32_t Ref;  // kNone: free
};
constexpr Slot kFreeSlot{0, kNone};

// The slot of this hash whose reference `same` accepts, or nullptr.
template <class Same>
Slot* Probe(Slot* region, std::size_t count, std::uint32_t hash, Same&& same) {
  if (count == 0) return nullptr;
  for (std::size_t i = (std::uint64_t{hash} * count) >> 32;;) {
    Slot& slot = region[i];
    if (slot.Ref == kNone) return nullptr;
    if (slot.Hash == hash && same(slot.Ref)) return &slot;
    if (++i == count) i = 0;
  }
}

// The region must have a free slot.
void Place(Slot* region, std::size_t count, std::uint32_t hash, std::uint32_t ref) {
  std::size_t i = (std::uint64_t{hash} * count) >> 32;
  while (region[i].Ref != kNone)
    if (++i == count) i = 0;
  region[i] = Slot{hash, ref};
}

// Slots for n entries, at most three quarters of them used.
std::uint32_t SlotsFor(std::uint32_t n) { return n == 0 ? 0 : n + n / 3 + 1; }

// A section of the file (its first occurrence: later ones are plain lines) or a new one.
struct Section {
  std::uint32_t Header;         // reference of its header line
  std::uint32_t InsertAt;       // where added lines go: after its last non-blank line
  std::uint32_t First = kNone;  // the chain of its added lines (pieces)
  std::uint32_t Last = kNone;
  std::uint32_t Slots = 0;  // its region of the key index
  std::uint32_t SlotCount = 0;
  std::uint32_t Keys = 0;  // keys held there
};

// A written line: its text in the written-text buffer, its line end apart.
struct Piece {
  std::uint32_t Offset;
  std::uint32_t Length : 30;
  std::uint32_t End : 2;           // a LineEnd
  std::uint32_t Next = kNone;      // an added line: the next one of its section
  std::uint32_t Replaces = kNone;  // a replaced line: its offset in the file buffer
};
constexpr std::size_t kMaxPieceLength = (std::size_t{1} << 30) - 1;

struct FileLine {
  std::string_view Text;  // without its line end
  std::size_t Next;       // offset of the line after it
  LineEnd End;
};

// Output of a save: into the file, or only counted.
class Sink {
 public:
  explicit Sink(int fd) : Fd_(fd) {
    if (Fd_ >= 0) Buffer_ = std::make_unique_for_overwrite<char[]>(kBuffer);
  }
  Sink(const Sink&) = delete;
  Sink& operator=(const Sink&) = delete;

  void Put(std::string_view data) {
    Size_ += data.size();
    if (Fd_ < 0 || Failed_) return;
    if (Used_ + data.size() > kBuffer) {
      Flush();
      if (data.size() >= kBuffer) {
        WriteAll(data);
        return;
      }
    }
    std::memcpy(Buffer_.get() + Used_, data.data(), data.size());
    Used_ += data.size();
  }

  // Writes what is buffered; false when any write failed.
  bool Flush() {
    if (Used_ > 0 && !Failed_) WriteAll({Buffer_.get(), Used_});
    Used_ = 0;
    return !Failed_;
  }

  std::size_t Size() const { return Size_; }

 private:
  static constexpr std::size_t kBuffer = std::size_t{1} << 20;

  void WriteAll(std::string_view data) {
    while (!data.empty() && !Failed_) {
      const ssize_t n = write(Fd_, data.data(), data.size());
      if (n < 0) {
        Failed_ = errno != EINTR;
        continue;
      }
      data.remove_prefix(static_cast<std::size_t>(n));
    }
  }

  int Fd_;
  std::unique_ptr<char[]> Buffer_;
  std::size_t Used_ = 0;
  std::size_t Size_ = 0;
  bool Failed_ = false;
};

// Writes lines one after the other. A line that had no end (the last line of
// the file) gets one when a line now follows it.
class LineWriter {
 public:
  LineWriter(Sink& out, LineEnd newLineEnd) : Out_(out), NewLineEnd_(newLineEnd) {}

  // Whole lines of the file buffer, the last perhaps without its end.
  void Raw(std::string_view lines) {
    if (lines.empty()) return;
    EndOpenLine();
    Out_.Put(lines);
    Open_ = lines.back() != '\n';
    LastChar_ = lines.back();
  }

  void Line(std::string_view text, LineEnd end) {
    EndOpenLine();
    Out_.Put(text);
    Out_.Put(EndText(end));
    Open_ = end == LineEnd::None;
    LastChar_ = text.empty() ? '\0' : text.back();
  }

 private:
  void EndOpenLine() {
    if (!Open_) return;
    // A last line ending in a lone CR would lose it to a following LF.
    Out_.Put(LastChar_ == '\r' ? EndText(LineEnd::CRLF) : EndText(NewLineEnd_));
    Open_ = false;
  }

  Sink& Out_;
  LineEnd NewLineEnd_;
  bool Open_ = false;
  char LastChar_ = '\0';
};

// A growing array of plain values, grown with realloc: the pages of a large
// one are moved rather than copied, so growing never holds it twice.
template <class T>
class Buffer {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  Buffer() = default;
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;
  ~Buffer() { std::free(Data_); }

  T* data() { return Data_; }
  const T* data() const { return Data_; }
  std::size_t size() const { return Size_; }
  T& operator[](std::size_t i) { return Data_[i]; }

  void Reserve(std::size_t capacity) {
    if (capacity <= Capacity_) return;
    void* grown = std::realloc(Data_, capacity * sizeof(T));
    if (grown == nullptr) throw std::bad_alloc();
    Data_ = static_cast<T*>(grown);
    Capacity_ = capacity;
  }

  void Append(const T* items, std::size_t n) {
    Grow(n);
    if (n > 0) std::memcpy(Data_ + Size_, items, n * sizeof(T));
    Size_ += n;
  }

  void Resize(std::size_t size, const T& fill) {
    if (size > Size_) {
      Grow(size - Size_);
      std::fill(Data_ + Size_, Data_ + size, fill);
    }
    Size_ = size;
  }

  void Swap(Buffer& other) {
    std::swap(Data_, other.Data_);
    std::swap(Size_, other.Size_);
    std::swap(Capacity_, other.Capacity_);
  }

 private:
  void Grow(std::size_t more) {
    if (Size_ + more > Capacity_)
      Reserve(std::max({Size_ + more, Capacity_ * 2, 4096 / sizeof(T)}));
  }

  T* Data_ = nullptr;
  std::size_t Size_ = 0;
  std::size_t Capacity_ = 0;
};

void Append(Buffer<char>& to, std::string_view text) { to.Append(text.data(), text.size()); }

// Appends the text with its line breaks made blanks.
void AppendOneLine(Buffer<char>& to, std::string_view text) {
  const std::size_t at = to.size();
  Append(to, text);
  std::transform(to.data() + at, to.data() + to.size(), to.data() + at, OneLine);
}

// The file's bytes, read once, into memory that is not cleared first. A
// large file gets pages of its own, huge ones where the system offers
// them: mapping a file's worth of small pages costs more than reading it.
class FileBytes {
 public:
  FileBytes() = default;
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;
  ~FileBytes() { Free(); }

  const char* data() const { return Data_; }
  std::size_t size() const { return Size_; }
  operator std::string_view() const { return {Data_, Size_}; }

  // Reads the whole file, expecting what fstat said; a file that grew
  // meanwhile is read on. 0, or the error number: of a failed read or
  // allocation, EFBIG beyond `limit` bytes.
  int Read(int fd, std::size_t expected, std::size_t limit) {
    std::size_t capacity = expected + 1;  // one more byte tells a file that grew
    if (!Allocate(capacity)) return Fail(ENOMEM);
    for (;;) {
      if (Size_ == capacity) {
        if (capacity > limit) return Fail(EFBIG);
        FileBytes larger;
        capacity = std::min(capacity * 2, limit + 1);
        if (!larger.Allocate(capacity)) return Fail(ENOMEM);
        std::memcpy(larger.Data_, Data_, Size_);
        larger.Size_ = Size_;
        Swap(larger);
      }
      const ssize_t n = read(fd, Data_ + Size_, capacity - Size_);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return Fail(errno);
      if (n == 0) return Size_ <= limit ? 0 : Fail(EFBIG);
      Size_ += static_cast<std::size_t>(n);
    }
  }

 private:
  static constexpr std::size_t kOwnPages = std::size_t{4} << 20;

  bool Allocate(std::size_t capacity) {
    Free();
    if (capacity < kOwnPages) {
      Data_ = static_cast<char*>(std::malloc(capacity));
      return Data_ != nullptr;
    }
    void* pages =
        mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) return false;
    madvise(pages, capacity, MADV_HUGEPAGE);
    Data_ = static_cast<char*>(pages);
    Mapped_ = capacity;
    return true;
  }

  int Fail(int error) {
    Free();
    return error;
  }

  void Free() {
    if (Mapped_ != 0)
      munmap(Data_, Mapped_);
    else
      std::free(Data_);
    Data_ = nullptr;
    Size_ = 0;
    Mapped_ = 0;
  }

  void Swap(FileBytes& other) {
    std::swap(Data_, other.Data_);
    std::swap(Size_, other.Size_);
    std::swap(Mapped_, other.Mapped_);
  }

  char* Data_ = nullptr;
  std::size_t Size_ = 0;
  std::size_t Mapped_ = 0;  // the length of its own pages; 0 for heap memory
};

}  // namespace

struct TIniFile::Impl {
  std::string Name;  // the converted file name, as shown to the operator

  bool Loaded = false;
  bool LoadRefused = false;  // the file exists but could not be read: never overwrite it
  std::string LoadFailure;   // why not, for the read error
  bool WriteAsked = false;   // a write was asked for since the last UpdateFile
  bool Changed = false;      // the content differs from the file
  LineEnd NewLineEnd = LineEnd::LF;

  FileBytes File;
  Buffer<char> Written;       // the text of the pieces
  std::size_t DeadBytes = 0;  // text in Written that no piece holds any more
  std::vector<Piece> Pieces;
  std::vector<Section> Sections;
  std::vector<Slot> SectionSlots;  // section name -> number in Sections
  std::size_t IndexedSections = 0;
  std::string LastSectionName;  // the section found last, by the name asked for
  std::uint32_t LastSection = kNone;
  Buffer<Slot> KeySlots;  // one region per section: key name -> line reference

  void Load();
  void Refuse(std::string cause);
  void LoadToRead();
  std::size_t BodyStart() const;
  void Parse();
  void IndexKeys(std::uint32_t section, const std::vector<Slot>& keys);

  FileLine LineAt(std::size_t offset) const;
  std::string_view Text(std::uint32_t ref) const;
  std::uint32_t FindSection(std::string_view name);
  std::uint32_t LookupSection(const std::string& name);
  void IndexSection(std::uint32_t hash, std::uint32_t section);
  Slot* FindKey(std::uint32_t section, std::string_view key, std::uint32_t hash);
  void IndexKey(std::uint32_t section, std::uint32_t hash, std::uint32_t ref);
  Slot* Find(const std::string& section, const std::string& key);

  void Write(const std::string& section, const std::string& key, const std::string& value);
  void Replace(Slot& slot, std::string_view value);
  std::uint32_t AddSection(std::string_view name);
  void MakeRoom(std::size_t bytes) const;
  std::uint32_t NewPiece(LineEnd end);
  void EndPiece(std::uint32_t id);
  void CompactIfWasteful();

  std::vector<std::uint64_t> Splices() const;
  void Emit(Sink& out, const std::vector<std::uint64_t>& splices) const;
  void Save();
  bool SaveByRename(const std::string& target, const std::string& folder, bool exists,
                    const struct stat& st);
  void SaveInPlace(const std::string& target, const struct stat& st);
};

// --- loading -----------------------------------------------------------------

void TIniFile::Impl::Load() {
  if (Loaded) return;
  Loaded = true;

  // Non-blocking open: a named pipe in the file's place must not hang the
  // start-up; it is refused below like any file that is not a regular one.
  const int fd = open(Name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    // A missing file reads as an empty one; any other failure is kept.
    if (errno != ENOENT && errno != ENOTDIR) Refuse(std::strerror(errno));
    return;
  }
  const ScopeExit closeFile([&] { close(fd); });
  struct stat st {};
  if (fstat(fd, &st) != 0) return Refuse(std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return Refuse("it is not a regular file");
  const auto tooLarge = [&] { Refuse("it is larger than any configuration file (512 MiB)"); };
  if (static_cast<std::uintmax_t>(st.st_size) > kMaxFileSize) return tooLarge();
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  const int error = File.Read(fd, static_cast<std::size_t>(st.st_size), kMaxFileSize);
  if (error == EFBIG) return tooLarge();
  if (error != 0) return Refuse(std::strerror(error));
  Parse();
}

void TIniFile::Impl::Refuse(std::string cause) {
  LoadRefused = true;
  LoadFailure = std::move(cause);
}

// Reading a file that is there but could not be read would give defaults
// that are none of its values: a reader is told instead.
void TIniFile::Impl::LoadToRead() {
  Load();
  if (LoadRefused) throw EFileReadError(Name, LoadFailure);
}

FileLine TIniFile::Impl::LineAt(std::size_t offset) const {
  const char* begin = File.data() + offset;
  const std::size_t rest = File.size() - offset;
  const auto* nl = static_cast<const char*>(std::memchr(begin, '\n', rest));
  if (nl == nullptr) return {{begin, rest}, File.size(), LineEnd::None};
  const std::size_t length = static_cast<std::size_t>(nl - begin);
  if (length > 0 && begin[length - 1] == '\r')
    return {{begin, length - 1}, offset + length + 1, LineEnd::CRLF};
  return {{begin, length}, offset + length + 1, LineEnd::LF};
}

// Where the first line begins: after a byte order mark.
std::size_t TIniFile::Impl::BodyStart() const {
  return std::string_view(File).starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
}

// Finds the sections, where each one's added lines will go, the line end
// the file uses most, and indexes the keys; the first of two equal keys wins.
void TIniFile::Impl::Parse() {
  std::size_t crlf = 0;
  std::size_t lf = 0;
  std::uint32_t current = kNone;  // the section the lines belong to (first occurrences only)
  std::vector<Slot> pending;      // key lines of the current section not yet indexed
  const auto indexPending = [&] {
    if (current != kNone) IndexKeys(current, pending);
    pending.clear();
  };
  for (std::size_t pos = BodyStart(); pos < File.size();) {
    const FileLine line = LineAt(pos);
    crlf += line.End == LineEnd::CRLF;
    lf += line.End == LineEnd::LF;
    const auto here = static_cast<std::uint32_t>(pos);
    const auto next = static_cast<std::uint32_t>(line.Next);
    std::string_view name;
    if (ParseHeader(line.Text, name)) {
      indexPending();
      current = kNone;
      if (FindSection(name) == kNone) {
        current = static_cast<std::uint32_t>(Sections.size());
        Sections.push_back(Section{here, next});
        Sections.back().Slots = static_cast<std::uint32_t>(KeySlots.size());
        IndexSection(NameHash(name), current);
      }
    } else if (current != kNone && !Trim(line.Text).empty()) {
      Sections[current].InsertAt = next;
      if (ParseKey(line.Text, name)) {
        pending.push_back(Slot{NameHash(name), here});
        if (pending.size() == kPresizedKeys) indexPending();
      }
    }
    pos = line.Next;
  }
  indexPending();
  NewLineEnd = crlf > lf ? LineEnd::CRLF : LineEnd::LF;
}

// Indexes key lines of a section being read, which has the last region of
// the index: its first ones make the region, sized for them.
void TIniFile::Impl::IndexKeys(std::uint32_t section, const std::vector<Slot>& keys) {
  Section& s = Sections[section];
  if (s.SlotCount == 0) {
    s.SlotCount = SlotsFor(static_cast<std::uint32_t>(keys.size()));
    KeySlots.Resize(s.Slots + std::size_t{s.SlotCount}, kFreeSlot);
  }
  const auto keyOf = [this](std::uint32_t ref) {
    std::string_view key;
    ParseKey(LineAt(ref).Text, key);
    return key;
  };
  for (const Slot& line : keys) {
    const Slot* held =
        Probe(KeySlots.data() + s.Slots, s.SlotCount, line.Hash,
              [&](std::uint32_t ref) { return EqualNoCase(keyOf(ref), keyOf(line.Ref)); });
    if (held == nullptr) IndexKey(section, line.Hash, line.Ref);
  }
}

// --- finding -----------------------------------------------------------------

std::string_view TIniFile::Impl::Text(std::uint32_t ref) const {
  if ((ref & kPieceBit) == 0) return LineAt(ref).Text;
  const Piece& piece = Pieces[ref & ~kPieceBit];
  return {Written.data() + piece.Offset, piece.Length};
}

std::uint32_t TIniFile::Impl::FindSection(std::string_view name) {
  const Slot* slot =
      Probe(SectionSlots.data(), SectionSlots.size(), NameHash(name), [&](std::uint32_t s) {
        std::string_view found;
        return ParseHeader(Text(Sections[s].Header), found) && EqualNoCase(found, name);
      });
  return slot == nullptr ? kNone : slot->Ref;
}

// Readers and writers go through a section key by key: the section found
// last is looked up once. A name, once found, always finds the same section.
std::uint32_t TIniFile::Impl::LookupSection(const std::string& name) {
  if (LastSection != kNone && name == LastSectionName) return LastSection;
  const std::uint32_t s = FindSection(name);
  if (s != kNone) {
    LastSectionName = name;
    LastSection = s;
  }
  return s;
}

// The caller has made sure the name is not indexed yet.
void TIniFile::Impl::IndexSection(std::uint32_t hash, std::uint32_t section) {
  if ((IndexedSections + 1) * 4 > SectionSlots.size() * 3) {
    std::vector<Slot> old(std::max<std::size_t>(16, SectionSlots.size() * 2), kFreeSlot);
    old.swap(SectionSlots);
    for (const Slot& slot : old)
      if (slot.Ref != kNone) Place(SectionSlots.data(), SectionSlots.size(), slot.Hash, slot.Ref);
  }
  Place(SectionSlots.data(), SectionSlots.size(), hash, section);
  ++IndexedSections;
}

Slot* TIniFile::Impl::FindKey(std::uint32_t section, std::string_view key, std::uint32_t hash) {
  const Section& s = Sections[section];
  return Probe(KeySlots.data() + s.Slots, s.SlotCount, hash, [&](std::uint32_t ref) {
    std::string_view found;
    return ParseKey(Text(ref), found) && EqualNoCase(found, key);
  });
}

// The caller has made sure the key is not indexed yet. A full region grows
// to twice its size: where it is when it is the last one (a section being
// written key by key), else at the end of the index, leaving its slots
// unused. Each region being twice the one before, those stay fewer than the
// slots in use.
void TIniFile::Impl::IndexKey(std::uint32_t section, std::uint32_t hash, std::uint32_t ref) {
  Section& s = Sections[section];
  if ((s.Keys + 1) * std::size_t{4} > s.SlotCount * std::size_t{3}) {
    const std::uint32_t count = std::max<std::uint32_t>(4, s.SlotCount * 2);
    const std::vector<Slot> old(KeySlots.data() + s.Slots, KeySlots.data() + s.Slots + s.SlotCount);
    if (s.Slots + s.SlotCount == KeySlots.size())
      KeySlots.Resize(s.Slots, kFreeSlot);
    else
      s.Slots = static_cast<std::uint32_t>(KeySlots.size());
    KeySlots.Resize(s.Slots + std::size_t{count}, kFreeSlot);
    s.SlotCount = count;
    for (const Slot& slot : old)
      if (slot.Ref != kNone) Place(&KeySlots[s.Slots], count, slot.Hash, slot.Ref);
  }
  Place(&KeySlots[s.Slots], s.SlotCount, hash, ref);
  ++s.Keys;
}

Slot* TIniFile::Impl::Find(const std::string& section, const std::string& key) {
  LoadToRead();
  const std::uint32_t s = LookupSection(section);
  return s == kNone ? nullptr : FindKey(s, key, NameHash(key));
}

// --- writing -----------------------------------------------------------------

// Pieces hold 32-bit offsets and 30-bit lengths. Writing lines that would
// not fit (a gigabyte) is refused like a write the file system refuses,
// before anything changes.
void TIniFile::Impl::MakeRoom(std::size_t bytes) const {
  if (bytes > kMaxPieceLength || Written.size() + bytes > UINT32_MAX) throw EFileWriteError(Name);
}

// A new piece whose text the caller appends to Written, then ends with EndPiece.
std::uint32_t TIniFile::Impl::NewPiece(LineEnd end) {
  Pieces.push_back(Piece{static_cast<std::uint32_t>(Written.size()), 0,
                         static_cast<std::uint32_t>(end), kNone, kNone});
  return static_cast<std::uint32_t>(Pieces.size() - 1);
}

void TIniFile::Impl::EndPiece(std::uint32_t id) {
  Pieces[id].Length = static_cast<std::uint32_t>(Written.size() - Pieces[id].Offset);
}

void TIniFile::Impl::Write(const std::string& section, const std::string& key,
                           const std::string& value) {
  Load();
  WriteAsked = true;
  MakeRoom(section.size() + key.size() + value.size() + 3);

  std::uint32_t s = LookupSection(section);
  if (s != kNone) {
    if (Slot* slot = FindKey(s, key, NameHash(key))) {
      Replace(*slot, value);
      return;
    }
  }

  Changed = true;
  if (s == kNone) s = AddSection(section);
  const std::uint32_t id = NewPiece(NewLineEnd);
  AppendOneLine(Written, key);
  Append(Written, "=");
  AppendOneLine(Written, value);
  EndPiece(id);

  Section& sec = Sections[s];
  if (sec.Last == kNone)
    sec.First = id;
  else
    Pieces[sec.Last].Next = id;
  sec.Last = id;

  // Index the name as a later read of the file will see it.
  std::string_view name;
  if (ParseKey(Text(kPieceBit | id), name)) {
    const std::uint32_t hash = NameHash(name);
    if (FindKey(s, name, hash) == nullptr) IndexKey(s, hash, kPieceBit | id);
  }
}

// The key keeps its spelling; only the text after the first "=" changes.
void TIniFile::Impl::Replace(Slot& slot, std::string_view value) {
  const std::string_view text = Text(slot.Ref);
  const std::size_t prefix = text.find('=') + 1;
  if (EqualOneLine(text.substr(prefix), value)) return;
  const std::size_t length = prefix + value.size();
  MakeRoom(length);
  Changed = true;

  if ((slot.Ref & kPieceBit) != 0) {
    Piece& piece = Pieces[slot.Ref & ~kPieceBit];
    if (length <= piece.Length) {  // fits where it is
      std::transform(value.begin(), value.end(), Written.data() + piece.Offset + prefix, OneLine);
      DeadBytes += piece.Length - length;
      piece.Length = static_cast<std::uint32_t>(length);
    } else {
      const std::string head(text.substr(0, prefix));
      DeadBytes += piece.Length;
      piece.Offset = static_cast<std::uint32_t>(Written.size());
      Append(Written, head);
      AppendOneLine(Written, value);
      EndPiece(static_cast<std::uint32_t>(&piece - Pieces.data()));
    }
    CompactIfWasteful();
    return;
  }

  const std::uint32_t offset = slot.Ref;
  const FileLine line = LineAt(offset);
  const std::uint32_t id = NewPiece(line.End);
  Append(Written, line.Text.substr(0, prefix));
  AppendOneLine(Written, value);
  EndPiece(id);
  Pieces[id].Replaces = offset;
  slot.Ref = kPieceBit | id;
}

std::uint32_t TIniFile::Impl::AddSection(std::string_view name) {
  const auto s = static_cast<std::uint32_t>(Sections.size());
  const std::uint32_t header = NewPiece(NewLineEnd);
  Append(Written, "[");
  AppendOneLine(Written, name);
  Append(Written, "]");
  EndPiece(header);
  const auto end = static_cast<std::uint32_t>(File.size());
  Sections.push_back(Section{kPieceBit | header, end, header, header});
  // Index the name as a later read of the file will see it.
  std::string_view parsed;
  if (ParseHeader(Text(kPieceBit | header), parsed) && FindSection(parsed) == kNone)
    IndexSection(NameHash(parsed), s);
  return s;
}

// Values written again and again leave their old text behind; once that is
// more than what is held, the held text is packed anew. Each byte copied was
// paid for by a byte left behind, so writing stays linear.
void TIniFile::Impl::CompactIfWasteful() {
  if (DeadBytes < (std::size_t{1} << 20) || DeadBytes <= Written.size() / 2) return;
  Buffer<char> packed;
  packed.Reserve(Written.size() - DeadBytes);
  for (Piece& piece : Pieces) {
    const auto offset = static_cast<std::uint32_t>(packed.size());
    packed.Append(Written.data() + piece.Offset, piece.Length);
    piece.Offset = offset;
  }
  Written.Swap(packed);
  DeadBytes = 0;
}

// --- saving ------------------------------------------------------------------

// Where the file's bytes give way to pieces, in file order: (offset << 33) |
// (1 << 32 for a replaced line, 0 for a section's added lines) | number.
std::vector<std::uint64_t> TIniFile::Impl::Splices() const {
  std::vector<std::uint64_t> splices;
  for (std::uint32_t i = 0; i < Pieces.size(); ++i)
    if (Pieces[i].Replaces != kNone)
      splices.push_back(std::uint64_t{Pieces[i].Replaces} << 33 | std::uint64_t{1} << 32 | i);
  for (std::uint32_t s = 0; s < Sections.size(); ++s)
    if (Sections[s].First != kNone)
      splices.push_back(std::uint64_t{Sections[s].InsertAt} << 33 | s);
  // Sections that share a place (the file's end) keep the order they were made in.
  std::sort(splices.begin(), splices.end());
  return splices;
}

void TIniFile::Impl::Emit(Sink& out, const std::vector<std::uint64_t>& splices) const {
  LineWriter writer(out, NewLineEnd);
  const std::string_view file = File;
  std::size_t pos = BodyStart();
  if (pos > 0) out.Put(file.substr(0, pos));  // no line: a section added to it follows at once
  const auto pieceText = [this](const Piece& p) {
    return std::string_view(Written.data() + p.Offset, p.Length);
  };
  for (const std::uint64_t splice : splices) {
    const std::size_t offset = splice >> 33;
    const auto number = static_cast<std::uint32_t>(splice);
    writer.Raw(file.substr(pos, offset - pos));
    pos = offset;
    if ((splice >> 32 & 1) != 0) {
      const Piece& piece = Pieces[number];
      writer.Line(pieceText(piece), static_cast<LineEnd>(piece.End));
      pos = LineAt(offset).Next;
    } else {
      for (std::uint32_t p = Sections[number].First; p != kNone; p = Pieces[p].Next)
        writer.Line(pieceText(Pieces[p]), static_cast<LineEnd>(Pieces[p].End));
    }
  }
  writer.Raw(file.substr(pos));
}

// Saves through a new file beside the old one, renamed over it once written
// and synced, so an interruption leaves the old file or the new one. False,
// with nothing changed, when that new file cannot be made or cannot take the
// old one's owner, group, mode and extended attributes.
bool TIniFile::Impl::SaveByRename(const std::string& target, const std::string& folder, bool exists,
                                  const struct stat& st) {
  const EFileWriteError refused(Name);
  std::string temp;
  const int fd = MakeLockedTemporary(folder, temp);
  if (fd < 0) return false;
  // Closed only after the rename or the removal: until then its lock tells
  // other saves that it is in use.
  const ScopeExit closeTemp([&] { close(fd); });
  ScopeExit removeTemp([&] { unlink(temp.c_str()); });
  RemoveLeftovers(folder, temp);

  if (exists) {
    // Each part on its own: a user may give a file to one of their groups
    // but never to another owner.
    struct stat ts {};
    if (fstat(fd, &ts) == 0 && ts.st_uid != st.st_uid) (void)!fchown(fd, st.st_uid, -1);
    if (fstat(fd, &ts) == 0 && ts.st_gid != st.st_gid) (void)!fchown(fd, -1, st.st_gid);
    const mode_t mode = st.st_mode & 07777;
    // The ACL copied after the mode sets the group bits to its mask, which
    // the old mode holds already.
    if (fchmod(fd, mode) != 0 || !CopyAttributes(target, fd) || fstat(fd, &ts) != 0 ||
        ts.st_uid != st.st_uid || ts.st_gid != st.st_gid || (ts.st_mode & 07777) != mode)
      return false;
  } else if (fchmod(fd, NewFileMode()) != 0) {
    throw refused;
  }

  Sink out(fd);
  Emit(out, Splices());
  if (!out.Flush() || fsync(fd) != 0 || rename(temp.c_str(), target.c_str()) != 0) throw refused;
  removeTemp.Dismiss();
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);  // make the rename itself durable
    close(dir);
  }
  return true;
}

// Writes the file where it is: the new content over the old, cut to its
// length, synced. Not proof against an interruption, so only for a file
// that cannot be replaced as a whole.
void TIniFile::Impl::SaveInPlace(const std::string& target, const struct stat& st) {
  const EFileWriteError refused(Name);
  const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) throw refused;
  struct stat now {};
  if (fstat(fd, &now) != 0 || now.st_dev != st.st_dev || now.st_ino != st.st_ino) {
    close(fd);
    throw refused;  // not the file checked a moment ago
  }
  const std::vector<std::uint64_t> splices = Splices();
  Sink counter(-1);
  Emit(counter, splices);
  const auto size = static_cast<off_t>(counter.Size());
  // Claim the room a longer content needs before the first byte changes, so
  // a full disk refuses the save instead of leaving it half written.
  if (size > now.st_size && fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
      (errno == ENOSPC || errno == EDQUOT)) {
    close(fd);
    throw refused;
  }
  Sink out(fd);
  Emit(out, splices);
  const bool ok = out.Flush() && ftruncate(fd, size) == 0 && fsync(fd) == 0;
  if (close(fd) != 0 || !ok) throw refused;
}

void TIniFile::Impl::Save() {
  const EFileWriteError refused(Name);
  if (LoadRefused) throw refused;

  // Write beside the real file when the name is a symbolic link, so the link stays.
  const std::string target = FollowLinks(Name);
  if (target.empty()) throw refused;

  struct stat st {};
  const bool exists = stat(target.c_str(), &st) == 0;
  if (exists && (!S_ISREG(st.st_mode) || !IsWritable(target, st))) throw refused;
  const std::string folder = FolderOf(target);
  struct stat folderStat {};
  if (stat(folder.c_str(), &folderStat) != 0 || !S_ISDIR(folderStat.st_mode)) throw refused;
  const bool folderWritable = IsWritable(folder, folderStat);
  if (!exists && !folderWritable) throw refused;
  if (!Changed) return;

  // A file with other names (hard links) is written where it is, so they all see it.
  const bool replaceable = folderWritable && (!exists || st.st_nlink <= 1);
  if (!replaceable || !SaveByRename(target, folder, exists, st)) {
    if (!exists) throw refused;
    SaveInPlace(target, st);
  }
  Changed = false;
}

// --- the store ---------------------------------------------------------------

TIniFile::TIniFile(const std::string& fileName) : Impl_(std::make_unique<Impl>()) {
  Impl_->Name = ToLocalPath(fileName);
}

TIniFile::~TIniFile() = default;

const std::string& TIniFile::FileName() const { return Impl_->Name; }

bool TIniFile::SectionExists(const std::string& section) {
  Impl_->LoadToRead();
  return Impl_->LookupSection(section) != kNone;
}

std::int32_t TIniFile::LastNumberedKey(const std::string& section, const std::string& stem,
                                       std::int32_t limit) {
  Impl_->LoadToRead();
  const std::uint32_t s = Impl_->LookupSection(section);
  if (s == kNone || limit <= 0) return -1;
  // A list the program wrote holds its last entry: no need to look further.
  const std::string lastKey = stem + std::to_string(limit - 1);
  if (Impl_->FindKey(s, lastKey, NameHash(lastKey)) != nullptr) return limit - 1;
  const Section& sec = Impl_->Sections[s];
  std::int32_t last = -1;
  for (std::uint32_t i = 0; i < sec.SlotCount; ++i) {
    const std::uint32_t ref = Impl_->KeySlots[sec.Slots + i].Ref;
    std::string_view key;
    if (ref != kNone && ParseKey(Impl_->Text(ref), key))
      last = std::max(last, NumberAfter(key, stem, limit));
  }
  return last;
}

std::int32_t TIniFile::LastNumberedSection(const std::string& stem, std::int32_t limit) {
  Impl_->LoadToRead();
  if (limit <= 0) return -1;
  if (Impl_->FindSection(stem + std::to_string(limit - 1)) != kNone) return limit - 1;
  std::int32_t last = -1;
  for (const Section& sec : Impl_->Sections) {
    std::string_view name;
    if (ParseHeader(Impl_->Text(sec.Header), name))
      last = std::max(last, NumberAfter(name, stem, limit));
  }
  return last;
}

bool TIniFile::KeyExists(const std::string& section, const std::string& key) {
  return Impl_->Find(section, key) != nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) {
  if (const Slot* slot = Impl_->Find(section, key)) return ValueOf(Impl_->Text(slot->Ref));
  std::string_view value = defaultValue;
  value = value.substr(0, value.find_last_not_of(kBlanks) + 1);
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
