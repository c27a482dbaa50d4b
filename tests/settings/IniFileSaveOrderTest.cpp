// The order in which a save reaches the disk: the new content written and
// synced before the rename puts it in the old file's place, and the folder
// synced after it, so that a power cut leaves the old file or the whole new
// one. The calls are seen by standing in for them in this test program:
// the stand-ins note each call while a test listens and pass it on.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "settings/IniFile.h"
#include "support/TempFolder.h"

namespace {

struct Call {
  std::string Name;
  int Fd;  // -1 for rename
};

bool listening = false;
std::vector<Call> calls;

void Note(const char* name, int fd) {
  if (listening) calls.push_back({name, fd});
}

template <class Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size) {
  Note("write", fd);
  static const auto next = Next<ssize_t (*)(int, const void*, size_t)>("write");
  return next(fd, data, size);
}

extern "C" int fsync(int fd) {
  Note("fsync", fd);
  static const auto next = Next<int (*)(int)>("fsync");
  return next(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
  Note("rename", -1);
  static const auto next = Next<int (*)(const char*, const char*)>("rename");
  return next(from, to);
}

namespace {

// The position of the first call after `from` that `match` accepts, or -1.
template <class Match>
int Find(int from, Match match) {
  for (int i = from + 1; i < static_cast<int>(calls.size()); ++i)
    if (match(calls[static_cast<std::size_t>(i)])) return i;
  return -1;
}

TEST(IniSaveOrder, WritesThenSyncsTheFileThenRenamesThenSyncsTheFolder) {
  const TempFolder dir;
  WriteRaw(dir.File("quorvane.ini"), "[S]\nk=old\n");
  TIniFile file(dir.File("quorvane.ini"));
  file.WriteString("S", "k", "new");
  calls.clear();
  listening = true;
  file.UpdateFile();
  listening = false;
  ASSERT_EQ(ReadRaw(dir.File("quorvane.ini")), "[S]\nk=new\n");

  const int firstWrite = Find(-1, [](const Call& c) { return c.Name == "write"; });
  ASSERT_GE(firstWrite, 0) << "the content was never written";
  const int fd = calls[static_cast<std::size_t>(firstWrite)].Fd;
  const int fileSync =
      Find(firstWrite, [&](const Call& c) { return c.Name == "fsync" && c.Fd == fd; });
  const int renamed = Find(-1, [](const Call& c) { return c.Name == "rename"; });
  const int folderSync =
      Find(renamed, [&](const Call& c) { return c.Name == "fsync" && c.Fd != fd; });
  EXPECT_EQ(Find(fileSync, [&](const Call& c) { return c.Name == "write" && c.Fd == fd; }), -1)
      << "written after its sync";
  EXPECT_GT(fileSync, firstWrite) << "the new file was not synced";
  EXPECT_GT(renamed, fileSync) << "renamed before the new file was synced";
  EXPECT_GT(folderSync, renamed) << "the folder was not synced after the rename";
}

}  // namespace
