#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "settings/FileChange.h"
#include "support/TempFolder.h"

namespace {

TEST(FileChange, OnlyAnotherContentOrANewFileCountsAsAChange) {
  struct Case {
    std::optional<std::string> atStart, atClose;  // none: no file; "/": a folder
    bool changed;
  };
  const Case cases[] = {{"a=1\n", "a=1\n", false},
                        {"a=1\n", "a=2\n", true},
                        {"a=1\n", "a=1\n\n", true},
                        {std::nullopt, "", true},
                        {"a=1\n", std::nullopt, false},
                        {std::nullopt, std::nullopt, false},
                        {"a=1\n", "/", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.atStart.value_or("none") + " -> " + c.atClose.value_or("none"));
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

}  // namespace
