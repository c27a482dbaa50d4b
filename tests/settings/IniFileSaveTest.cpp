// How a save reaches the disk: through a new file renamed over the old one,
// in place when the folder or the file's owner and group do not allow that,
// or refused; and what an interrupted save leaves behind.

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/Exception.h"
#include "settings/IniFile.h"
#include "support/TempFolder.h"

namespace {

// Ids no account of the machine uses: the user of the child processes, its
// primary group, a second group of its own, and a group it is not in.
constexpr uid_t kUser = 54321;
constexpr gid_t kGroup = 54322;
constexpr gid_t kOtherOwnGroup = 54323;
constexpr gid_t kForeignGroup = 54324;

enum Outcome { kSaved = 0, kRefused = 1, kFailed = 2 };

// Runs `body` in a child process and gives its exit code; `asUser` drops the
// child to kUser (groups kGroup and kOtherOwnGroup) first.
int InChild(bool asUser, const std::function<Outcome()>& body) {
  const pid_t pid = fork();
  if (pid == 0) {
    int code = kFailed;
    const gid_t extra[] = {kOtherOwnGroup};
    if (!asUser || (setgroups(1, extra) == 0 && setgid(kGroup) == 0 && setuid(kUser) == 0)) {
      try {
        code = body();
      } catch (const EFileWriteError&) {
        code = kRefused;
      } catch (...) {
        code = kFailed;
      }
    }
    _exit(code);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Whether files can be given to the ids above and a child can take them on:
// root with the usual capabilities. Elsewhere the tests that need it skip.
bool MayActAsOtherUsers() {
  static const bool may = [] {
    if (geteuid() != 0) return false;
    char probe[] = "/tmp/quorvane-chown-XXXXXX";
    const int fd = mkstemp(probe);
    if (fd < 0) return false;
    const bool given = fchown(fd, kUser, kForeignGroup) == 0;
    close(fd);
    unlink(probe);
    return given && InChild(true, [] { return kSaved; }) == kSaved;
  }();
  return may;
}

struct FileState {
  std::string Content;
  uid_t Owner = 0;
  gid_t Group = 0;
  mode_t Mode = 0;
  ino_t Inode = 0;
};

FileState StateOf(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return {};
  return {ReadRaw(path), st.st_uid, st.st_gid, static_cast<mode_t>(st.st_mode & 07777), st.st_ino};
}

const std::string kOld = "[S]\nk=" + std::string(500, 'o') + "\n";
const std::string kNew = "[S]\nk=new\n";  // shorter: an in-place save must cut the file

Outcome SaveNewValue(const std::string& path) {
  TIniFile file(path);
  file.WriteString("S", "k", "new");
  file.UpdateFile();
  return kSaved;
}

class IniSaveTest : public ::testing::Test {
 protected:
  std::string Ini() const { return Dir.File("quorvane.ini"); }
  TempFolder Dir;
};

// --- as root (the tests' own user) ---------------------------------------------

TEST_F(IniSaveTest, ReplacedFileKeepsItsOwnerGroupAndMode) {
  if (!MayActAsOtherUsers()) GTEST_SKIP() << "giving a file to another owner needs root";
  WriteRaw(Ini(), kOld);
  ASSERT_EQ(chown(Ini().c_str(), kUser, kForeignGroup), 0);
  ASSERT_EQ(chmod(Ini().c_str(), 0640), 0);
  const FileState before = StateOf(Ini());
  SaveNewValue(Ini());
  const FileState after = StateOf(Ini());
  EXPECT_EQ(after.Content, kNew);
  EXPECT_EQ(after.Owner, kUser);
  EXPECT_EQ(after.Group, kForeignGroup);
  EXPECT_EQ(after.Mode, 0640u);
  EXPECT_NE(after.Inode, before.Inode) << "expected a new file renamed over the old";
  EXPECT_EQ(Dir.Names(), std::vector<std::string>{"quorvane.ini"});
}

TEST_F(IniSaveTest, FileInAFolderWithoutWriteBitsIsWrittenInPlace) {
  const std::string folder = Dir.File("shared");
  const std::string path = folder + "/quorvane.ini";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  WriteRaw(path, kOld);
  ASSERT_EQ(chmod(path.c_str(), 0664), 0);
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  const FileState before = StateOf(path);
  SaveNewValue(path);
  const FileState after = StateOf(path);
  EXPECT_EQ(after.Content, kNew);  // no old bytes left past the new end
  EXPECT_EQ(after.Inode, before.Inode);
  EXPECT_EQ(after.Mode, 0664u);
  ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
  EXPECT_EQ(TempFolder::NamesIn(folder), std::vector<std::string>{"quorvane.ini"});
}

TEST_F(IniSaveTest, InPlaceSaveOfALongerContentKeepsEveryByte) {
  const std::string folder = Dir.File("shared");
  const std::string path = folder + "/quorvane.ini";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  WriteRaw(path, "[S]\r\nk=1\r\n");
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  {
    TIniFile file(path);
    file.WriteString("S", "k", std::string(100000, 'x'));
    file.WriteString("T", "j", "2");
    file.UpdateFile();
  }
  EXPECT_EQ(ReadRaw(path), "[S]\r\nk=" + std::string(100000, 'x') + "\r\n[T]\r\nj=2\r\n");
}

TEST_F(IniSaveTest, HardLinkedFileIsWrittenInPlaceSoEveryNameSeesIt) {
  WriteRaw(Ini(), kOld);
  ASSERT_EQ(link(Ini().c_str(), Dir.File("other-name.ini").c_str()), 0);
  SaveNewValue(Ini());
  EXPECT_EQ(ReadRaw(Dir.File("other-name.ini")), kNew);
  EXPECT_EQ(StateOf(Ini()).Inode, StateOf(Dir.File("other-name.ini")).Inode);
}

struct RefusedCase {
  const char* Name;
  bool FileExists;
  mode_t FileMode;
  mode_t FolderMode;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.Name; }

class IniRefusedSaveTest : public IniSaveTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(IniRefusedSaveTest, IsRefusedAndChangesNothing) {
  const RefusedCase& c = GetParam();
  const std::string folder = Dir.File("f");
  const std::string path = folder + "/quorvane.ini";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  if (c.FileExists) {
    WriteRaw(path, kOld);
    ASSERT_EQ(chmod(path.c_str(), c.FileMode), 0);
  }
  ASSERT_EQ(chmod(folder.c_str(), c.FolderMode), 0);
  try {
    SaveNewValue(path);
    ADD_FAILURE() << "saved";
  } catch (const EFileWriteError& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + path);
  }
  ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
  if (c.FileExists) {
    EXPECT_EQ(StateOf(path).Content, kOld);
    EXPECT_EQ(StateOf(path).Mode, c.FileMode);
  }
  EXPECT_EQ(TempFolder::NamesIn(folder).size(), c.FileExists ? 1u : 0u);
}

const RefusedCase kRefusedCases[] = {
    {"NewFileInAFolderWithoutWriteBits", false, 0, 0555},
    {"ReadOnlyFile", true, 0444, 0755},
    {"ReadOnlyFileInAFolderWithoutWriteBits", true, 0444, 0555},
};
INSTANTIATE_TEST_SUITE_P(Cases, IniRefusedSaveTest, ::testing::ValuesIn(kRefusedCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// --- as another user -------------------------------------------------------------

struct UserCase {
  const char* Name;
  bool FileExists;
  uid_t FileOwner;
  gid_t FileGroup;
  mode_t FileMode;
  uid_t FolderOwner;
  Outcome Expected;
  bool Renamed;  // a new file took the old one's place
};

void PrintTo(const UserCase& c, std::ostream* os) { *os << c.Name; }

class IniSaveAsUserTest : public IniSaveTest, public ::testing::WithParamInterface<UserCase> {};

TEST_P(IniSaveAsUserTest, KeepsOwnerGroupAndModeOrRefuses) {
  if (!MayActAsOtherUsers()) GTEST_SKIP() << "taking on another user needs root";
  const UserCase& c = GetParam();
  ASSERT_EQ(chmod(Dir.Path().c_str(), 0755), 0);
  const std::string folder = Dir.File("f");
  const std::string path = folder + "/quorvane.ini";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  ASSERT_EQ(chown(folder.c_str(), c.FolderOwner, c.FolderOwner == 0 ? 0 : kGroup), 0);
  if (c.FileExists) {
    WriteRaw(path, kOld);
    ASSERT_EQ(chown(path.c_str(), c.FileOwner, c.FileGroup), 0);
    ASSERT_EQ(chmod(path.c_str(), c.FileMode), 0);
  }
  const FileState before = StateOf(path);

  EXPECT_EQ(InChild(true, [&] { return SaveNewValue(path); }), c.Expected);

  const FileState after = StateOf(path);
  if (c.Expected == kRefused) {
    EXPECT_EQ(after.Content, before.Content);
  } else {
    EXPECT_EQ(after.Content, kNew);
    if (c.FileExists) {
      EXPECT_EQ(after.Inode != before.Inode, c.Renamed);
    }
  }
  if (c.FileExists) {
    EXPECT_EQ(after.Owner, c.FileOwner);
    EXPECT_EQ(after.Group, c.FileGroup);
    EXPECT_EQ(after.Mode, c.FileMode);
  }
  EXPECT_EQ(TempFolder::NamesIn(folder).size(), after.Content.empty() ? 0u : 1u);
}

const UserCase kUserCases[] = {
    {"OwnFile", true, kUser, kGroup, 0644, kUser, kSaved, true},
    {"OwnFileOfAnotherOwnGroup", true, kUser, kOtherOwnGroup, 0660, kUser, kSaved, true},
    {"OwnFileOfAGroupTheUserIsNotIn", true, kUser, kForeignGroup, 0644, kUser, kSaved, false},
    {"GroupSharedFileOfAnotherOwner", true, 0, kOtherOwnGroup, 0664, kUser, kSaved, false},
    {"OwnFileInAFolderOfAnotherOwner", true, kUser, kGroup, 0600, 0, kSaved, false},
    {"FileOnlyItsOwnerMayWrite", true, 0, 0, 0644, kUser, kRefused, false},
    {"OwnReadOnlyFile", true, kUser, kGroup, 0444, kUser, kRefused, false},
    {"NewFileInOwnFolder", false, 0, 0, 0, kUser, kSaved, true},
    {"NewFileInAFolderOfAnotherOwner", false, 0, 0, 0, 0, kRefused, false},
};
INSTANTIATE_TEST_SUITE_P(Cases, IniSaveAsUserTest, ::testing::ValuesIn(kUserCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(IniSaveTest, NewFileBelongsToTheUserWithTheUsualMode) {
  if (!MayActAsOtherUsers()) GTEST_SKIP() << "taking on another user needs root";
  ASSERT_EQ(chmod(Dir.Path().c_str(), 0777), 0);
  EXPECT_EQ(InChild(true, [&] { return SaveNewValue(Ini()); }), kSaved);
  const mode_t mask = umask(0);
  umask(mask);
  const FileState state = StateOf(Ini());
  EXPECT_EQ(state.Content, "[S]\nk=new\n");
  EXPECT_EQ(state.Owner, kUser);
  EXPECT_EQ(state.Group, kGroup);
  EXPECT_EQ(state.Mode, 0666 & ~mask);
}

// --- interrupted saves ---------------------------------------------------------

TEST_F(IniSaveTest, SaveThatRunsOutOfRoomLeavesTheOldFile) {
  // A file size limit stands in for a full disk: writes beyond it fail.
  WriteRaw(Ini(), kOld);
  const int code = InChild(false, [&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    TIniFile file(Ini());
    file.WriteString("S", "k", std::string(10000, 'n'));
    file.UpdateFile();
    return kSaved;
  });
  EXPECT_EQ(code, kRefused);
  EXPECT_EQ(ReadRaw(Ini()), kOld);
  EXPECT_EQ(Dir.Names(), std::vector<std::string>{"quorvane.ini"});
}

TEST_F(IniSaveTest, SaveKilledAtAnyMomentLeavesTheOldFileOrTheNewOne) {
  // A configuration of some megabytes, so that a save takes a while.
  std::string old = "[Seq]\n";
  for (int i = 0; i < 60000; ++i)
    old += "vector" + std::to_string(i) + "=" + std::string(32, '0') + "\n";
  std::string fresh = old;
  for (std::size_t at = fresh.find('='); at != std::string::npos; at = fresh.find('=', at + 1))
    fresh[at + 1] = '1';

  // A child writes every key, tells through a pipe that the save begins,
  // and saves; the parent kills it at a chosen time after that, or lets it
  // finish. Gives the time from the start of the save to its end or kill.
  const auto save = [&](std::chrono::nanoseconds killAfter) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return std::chrono::nanoseconds::max();
    const pid_t pid = fork();
    if (pid == 0) {
      close(pipeFds[0]);
      TIniFile file(Ini());
      for (int i = 0; i < 60000; ++i)
        file.WriteString("Seq", "vector" + std::to_string(i), "1" + std::string(31, '0'));
      if (write(pipeFds[1], "s", 1) != 1) _exit(kFailed);
      file.UpdateFile();
      _exit(kSaved);
    }
    close(pipeFds[1]);
    char mark = 0;
    const bool started = read(pipeFds[0], &mark, 1) == 1;
    close(pipeFds[0]);
    const auto start = std::chrono::steady_clock::now();
    if (started && killAfter != std::chrono::nanoseconds::max()) {
      std::this_thread::sleep_for(killAfter);
      kill(pid, SIGKILL);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return std::chrono::steady_clock::now() - start;
  };

  WriteRaw(Ini(), old);
  const auto whole = save(std::chrono::nanoseconds::max());
  ASSERT_EQ(ReadRaw(Ini()), fresh);

  constexpr int kKills = 24;
  for (int k = 0; k < kKills; ++k) {
    WriteRaw(Ini(), old);
    save(whole * k / kKills);
    const std::string now = ReadRaw(Ini());
    EXPECT_TRUE(now == old || now == fresh)
        << "killed at " << k << "/" << kKills << ": a file of " << now.size() << " bytes";
    for (const std::string& name : Dir.Names())
      if (name != "quorvane.ini") unlink(Dir.File(name).c_str());  // a temporary file left
  }
}

}  // namespace
