// What a save keeps besides the content: the file's extended attributes
// and ACL, the symbolic link the operator made, and a folder free of the
// temporary files of saves that were killed.

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/IniFile.h"
#include "support/TempFolder.h"

namespace {

class IniKeepTest : public ::testing::Test {
 protected:
  std::string Ini() const { return Dir.File("quorvane.ini"); }
  TempFolder Dir;
};

void SaveValue(const std::string& path, const std::string& value) {
  TIniFile file(path);
  file.WriteString("S", "k", value);
  file.UpdateFile();
}

ino_t InodeOf(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// An access ACL in the kernel's xattr form: owner rw, user 54321 rw, group
// r, mask rw, others r. The named user's write access lives only here.
std::string AclGivingAUserWriteAccess() {
  std::string acl;
  const auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) acl += static_cast<char>(v >> (8 * i) & 0xFF);
  };
  put(2, 4);  // version
  const std::uint32_t entries[][3] = {
      {0x01, 6, 0xFFFFFFFF}, {0x02, 6, 54321},      {0x04, 4, 0xFFFFFFFF},
      {0x10, 6, 0xFFFFFFFF}, {0x20, 4, 0xFFFFFFFF},
  };
  for (const auto& e : entries) {
    put(e[0], 2);
    put(e[1], 2);
    put(e[2], 4);
  }
  return acl;
}

std::string AttributeOf(const std::string& path, const char* name) {
  std::string value(4096, '\0');
  const ssize_t n = getxattr(path.c_str(), name, value.data(), value.size());
  value.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
  return value;
}

TEST_F(IniKeepTest, ReplacedFileKeepsItsExtendedAttributesAndAcl) {
  struct Case {
    const char* Name;
    std::string Value;
  };
  const Case cases[] = {{"user.quorvane.origin", "control room"},
                        {"system.posix_acl_access", AclGivingAUserWriteAccess()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteRaw(Ini(), "[S]\nk=old\n");
    ASSERT_EQ(chmod(Ini().c_str(), 0664), 0);
    if (setxattr(Ini().c_str(), c.Name, c.Value.data(), c.Value.size(), 0) != 0) {
      GTEST_SKIP() << "the file system takes no " << c.Name << ": errno " << errno;
    }
    const ino_t before = InodeOf(Ini());
    SaveValue(Ini(), "new");
    EXPECT_EQ(ReadRaw(Ini()), "[S]\nk=new\n");
    EXPECT_NE(InodeOf(Ini()), before) << "expected a new file renamed over the old";
    EXPECT_EQ(AttributeOf(Ini(), c.Name), c.Value);
    EXPECT_EQ(ModeOf(Ini()), 0664u);
    unlink(Ini().c_str());
  }
}

TEST_F(IniKeepTest, SaveThroughALinkWritesItsTargetAndKeepsTheLink) {
  struct Case {
    const char* Name;
    bool TargetExists;
    bool Absolute;
  };
  const Case cases[] = {{"DanglingRelative", false, false},
                        {"DanglingAbsolute", false, true},
                        {"ExistingRelative", true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const TempFolder dir;
    ASSERT_EQ(mkdir(dir.File("run").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(dir.File("data").c_str(), 0755), 0);
    const std::string target = dir.File("data/real.ini");
    const std::string link = dir.File("run/quorvane.ini");
    const std::string linkText = c.Absolute ? target : "../data/real.ini";
    if (c.TargetExists) WriteRaw(target, "[S]\nk=old\n");
    ASSERT_EQ(symlink(linkText.c_str(), link.c_str()), 0);

    SaveValue(link, "new");

    EXPECT_EQ(ReadRaw(target), "[S]\nk=new\n");
    std::string text(256, '\0');
    text.resize(static_cast<std::size_t>(
        std::max<ssize_t>(0, readlink(link.c_str(), text.data(), text.size()))));
    EXPECT_EQ(text, linkText) << "the link was replaced";
    EXPECT_EQ(TempFolder::NamesIn(dir.File("run")), std::vector<std::string>{"quorvane.ini"});
    EXPECT_EQ(TempFolder::NamesIn(dir.File("data")), std::vector<std::string>{"real.ini"});
  }
}

TEST_F(IniKeepTest, SaveRemovesTheTemporaryFilesOfKilledSavesOnly) {
  WriteRaw(Ini(), "[S]\nk=old\n");
  const std::string killed = Dir.File(".quorvane-ini-Kq3x9Z");
  const std::string running = Dir.File(".quorvane-ini-R7wP2m");
  const std::string other = Dir.File(".quorvane-ini-notours.bak");
  for (const std::string& name : {killed, running, other}) WriteRaw(name, "[S]\nk=half");
  // A save still running holds the lock on its temporary file.
  const int held = open(running.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX), 0);

  SaveValue(Ini(), "new");
  close(held);

  EXPECT_EQ(ReadRaw(Ini()), "[S]\nk=new\n");
  EXPECT_FALSE(Exists(killed));
  EXPECT_TRUE(Exists(running));
  EXPECT_TRUE(Exists(other));
}

}  // namespace
