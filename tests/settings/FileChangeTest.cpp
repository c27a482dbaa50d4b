// Whether the configuration file changed under the panel, and the new file
// the settings go to when it did and nobody can be asked.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "base/Exception.h"
#include "settings/FileChange.h"
#include "support/TempFolder.h"

namespace {

TEST(FileChange, OnlyAnotherContentOrANewFileCountsAsAChange) {
  // nullopt: no file; "/": a folder in the file's place.
  struct Case {
    const char* name;
    std::optional<std::string> atStart;
    std::optional<std::string> atClose;
    bool changed;
  };
  const Case cases[] = {
      {"written back unchanged", "a=1\n", "a=1\n", false},
      {"same size, other bytes", "a=1\n", "a=2\n", true},
      {"one byte more", "a=1\n", "a=1\n\n", true},
      {"emptied", "a=1\n", "", true},
      {"made since start", std::nullopt, "a=1\n", true},
      {"made empty since start", std::nullopt, "", true},
      {"removed since start", "a=1\n", std::nullopt, false},
      {"never there", std::nullopt, std::nullopt, false},
      {"no longer readable", "a=1\n", "/", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TempFolder folder;
    const std::string path = folder.File("quorvane.ini");
    if (c.atStart) WriteRaw(path, *c.atStart);
    const FileFingerprint start = FileFingerprint::Take(path);
    unlink(path.c_str());  // a new file, as a save by rename makes it
    if (c.atClose == "/")
      mkdir(path.c_str(), 0700);
    else if (c.atClose)
      WriteRaw(path, *c.atClose);
    EXPECT_EQ(start.ChangedOnDisk(path), c.changed);
  }
}

TEST(FileChange, FileBesideIsNewEachTimeAndNeverReplacesAnother) {
  const TempFolder folder;
  const std::string path = folder.File("quorvane.ini");
  WriteRaw(path, "kept");
  const std::string first = MakeFileBeside(path);
  WriteRaw(first, "first");
  const std::string second = MakeFileBeside(path);
  EXPECT_NE(first, second);
  EXPECT_EQ(first.rfind(path + "." + std::to_string(getpid()) + "-", 0), 0u) << first;
  EXPECT_TRUE(first.ends_with(".ini")) << first;
  EXPECT_EQ(ReadRaw(first), "first");
  EXPECT_EQ(ReadRaw(second), "");
  EXPECT_EQ(ReadRaw(path), "kept");

  EXPECT_THROW(MakeFileBeside(folder.File("missing/quorvane.ini")), EFileWriteError);
}

}  // namespace
