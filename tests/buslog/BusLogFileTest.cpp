// The file log: rotation at the size limit, the files kept, and failures
// that say what went wrong.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "base/Exception.h"
#include "buslog/BusLogFile.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> LinesOf(const fs::path& file) {
  std::vector<std::string> lines;
  std::istringstream in(ReadRaw(file.string()));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(RotatingLogFile, MovesFullFilesAsideKeepingTheNewestFew) {
  TempFolder dir;
  const fs::path file = fs::path(dir.Path()) / "data" / "buslog.csv";  // folder made on use
  // Heading 2 bytes with its line end; each line 10: three lines per file.
  RotatingLogFile log(file, 32, 2, "H");
  for (int i = 0; i < 10; ++i) log.Append("line " + std::to_string(i) + "...");
  log.Flush();

  EXPECT_EQ(log.OlderFile(1), fs::path(dir.Path()) / "data" / "buslog.1.csv");
  EXPECT_EQ(LinesOf(file), (std::vector<std::string>{"H", "line 9..."}));
  EXPECT_EQ(LinesOf(log.OlderFile(1)),
            (std::vector<std::string>{"H", "line 6...", "line 7...", "line 8..."}));
  EXPECT_EQ(LinesOf(log.OlderFile(2)),
            (std::vector<std::string>{"H", "line 3...", "line 4...", "line 5..."}));
  EXPECT_FALSE(fs::exists(log.OlderFile(3)));  // lines 0..2 are gone with the oldest file
  for (const fs::path& each : {file, log.OlderFile(1), log.OlderFile(2)})
    EXPECT_LE(fs::file_size(each), 32u) << each;
}

TEST(RotatingLogFile, GoesOnAfterWhatAnEarlierRunWroteAndTakesAnOverlongLineWhole) {
  TempFolder dir;
  const fs::path file = fs::path(dir.Path()) / "buslog.csv";
  WriteRaw(file.string(), "H\nearlier\n");
  {
    RotatingLogFile log(file, 20, 0, "H");
    log.Append("now");
    log.Append(std::string(40, 'x'));  // longer than a file may be
    log.Flush();
  }
  EXPECT_EQ(LinesOf(file), (std::vector<std::string>{"H", std::string(40, 'x')}));
  EXPECT_FALSE(fs::exists(fs::path(dir.Path()) / "buslog.1.csv"));  // none kept
}

TEST(RotatingLogFile, AFolderInTheFilesPlaceIsAClearError) {
  TempFolder dir;
  const fs::path file = fs::path(dir.Path()) / "buslog.csv";
  fs::create_directory(file);
  RotatingLogFile log(file, 1000, 1, "H");
  try {
    log.Append("line");
    FAIL() << "no error";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Bus log: not a regular file: " + file.string() +
                                   "; the file log is off until the next start");
  }
}

TEST(UserDataFolder, FollowsXdgDataHomeOrTheHomeFolder) {
  std::optional<std::string> saved;
  if (const char* value = std::getenv("XDG_DATA_HOME")) saved = value;
  setenv("XDG_DATA_HOME", "/srv/data", 1);
  EXPECT_EQ(UserDataFolder(), fs::path("/srv/data/quorvane"));
  setenv("XDG_DATA_HOME", "relative/data", 1);  // not absolute: ignored
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') {
    EXPECT_EQ(UserDataFolder(), fs::path(home) / ".local/share/quorvane");
  }
  if (saved)
    setenv("XDG_DATA_HOME", saved->c_str(), 1);
  else
    unsetenv("XDG_DATA_HOME");
}

}  // namespace
