// What a save keeps besides the content (extended attributes and ACL, the
// operator's symbolic link, a folder free of killed saves' temporary files)
// and the order in which it reaches the disk. That order is seen by
// standing in for write, fsync and rename in this test program: the
// stand-ins note each call while a test listens and pass it on.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "settings/IniFile.h"
#include "support/TempFolder.h"

namespace {

bool listening = false;
std::vector<std::pair<std::string, int>> calls;  // name, file descriptor (rename: -1)

template <class Function>
Function Next(const char* name, int fd) {
  if (listening) calls.emplace_back(name, fd);
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size) {
  return Next<ssize_t (*)(int, const void*, size_t)>("write", fd)(fd, data, size);
}
extern "C" int fsync(int fd) { return Next<int (*)(int)>("fsync", fd)(fd); }
extern "C" int rename(const char* from, const char* to) noexcept {
  return Next<int (*)(const char*, const char*)>("rename", -1)(from, to);
}

namespace {

class IniKeepTest : public ::testing::Test {
 protected:
  std::string Ini() const { return Dir.File("quorvane.ini"); }
  TempFolder Dir;
};

void SaveNewValue(const std::string& path) {
  TIniFile file(path);
  file.WriteString("S", "k", "new");
  file.UpdateFile();
}

ino_t InodeOf(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST_F(IniKeepTest, SyncsTheNewFileBeforeTheRenameAndTheFolderAfterIt) {
  WriteRaw(Ini(), "[S]\nk=old\n");
  calls.clear();
  listening = true;
  SaveNewValue(Ini());
  listening = false;
  ASSERT_EQ(ReadRaw(Ini()), "[S]\nk=new\n");
  std::vector<std::string> seen;  // repeated writes as one
  const int file = calls.empty() ? -1 : calls.front().second;
  for (const auto& [name, fd] : calls) {
    const std::string call = name + (fd < 0 ? "" : fd == file ? " new file" : " folder");
    if (seen.empty() || seen.back() != call) seen.push_back(call);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"write new file", "fsync new file", "rename",
                                            "fsync folder"}));
}

TEST_F(IniKeepTest, ReplacedFileKeepsItsExtendedAttributesAndAcl) {
  // owner rw, user 54321 rw, group r, mask rw, others r: the user's write access is only here.
  const char acl[] =
      "\x02\0\0\0"
      "\x01\0\x06\0\xFF\xFF\xFF\xFF\x02\0\x06\0\x31\xD4\0\0\x04\0\x04\0\xFF\xFF\xFF\xFF"
      "\x10\0\x06\0\xFF\xFF\xFF\xFF\x20\0\x04\0\xFF\xFF\xFF\xFF";
  const std::pair<const char*, std::string> attributes[] = {
      {"user.quorvane.origin", "control room"},
      {"system.posix_acl_access", std::string(acl, sizeof acl - 1)}};
  for (const auto& [name, value] : attributes) {
    SCOPED_TRACE(name);
    WriteRaw(Ini(), "[S]\nk=old\n");
    ASSERT_EQ(chmod(Ini().c_str(), 0664), 0);
    if (setxattr(Ini().c_str(), name, value.data(), value.size(), 0) != 0)
      GTEST_SKIP() << "the file system takes no " << name << ": errno " << errno;
    const ino_t before = InodeOf(Ini());
    SaveNewValue(Ini());
    EXPECT_NE(InodeOf(Ini()), before) << "expected a new file renamed over the old";
    std::string kept(4096, '\0');
    kept.resize(std::max<ssize_t>(0, getxattr(Ini().c_str(), name, kept.data(), kept.size())));
    EXPECT_EQ(kept, value);
    EXPECT_EQ(ModeOf(Ini()), 0664u);
    unlink(Ini().c_str());
  }
}

TEST_F(IniKeepTest, SaveThroughALinkWritesItsTargetAndKeepsTheLink) {
  const std::string target = Dir.File("data/real.ini");
  const std::string link = Dir.File("run/quorvane.ini");
  ASSERT_EQ(mkdir(Dir.File("run").c_str(), 0755), 0);
  ASSERT_EQ(mkdir(Dir.File("data").c_str(), 0755), 0);
  const std::pair<std::string, bool> cases[] = {// the link's text, whether its target exists
                                                {"../data/real.ini", false},
                                                {target, false},
                                                {"../data/real.ini", true}};
  for (const auto& [linkText, targetExists] : cases) {
    SCOPED_TRACE(linkText + (targetExists ? " (exists)" : ""));
    unlink(target.c_str());
    if (targetExists) WriteRaw(target, "[S]\nk=old\n");
    ASSERT_EQ(symlink(linkText.c_str(), link.c_str()), 0);
    SaveNewValue(link);
    EXPECT_EQ(ReadRaw(target), "[S]\nk=new\n");
    std::string text(256, '\0');
    text.resize(std::max<ssize_t>(0, readlink(link.c_str(), text.data(), text.size())));
    EXPECT_EQ(text, linkText) << "the link was replaced";
    EXPECT_EQ(TempFolder::NamesIn(Dir.File("run")), std::vector<std::string>{"quorvane.ini"});
    unlink(link.c_str());
  }
}

TEST_F(IniKeepTest, SaveRemovesTheTemporaryFilesOfKilledSavesOnly) {
  const std::string killed = Dir.File(".quorvane-ini-Kq3x9Z");
  const std::string running = Dir.File(".quorvane-ini-R7wP2m");  // its save holds the lock
  const std::string other = Dir.File(".quorvane-ini-notours.bak");
  for (const std::string& name : {killed, running, other}) WriteRaw(name, "[S]\nk=half");
  const int held = open(running.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  SaveNewValue(Ini());
  close(held);
  EXPECT_FALSE(Exists(killed));
  EXPECT_TRUE(Exists(running));
  EXPECT_TRUE(Exists(other));
}

}  // namespace
