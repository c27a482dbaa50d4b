// The files crate.conf names (the trace, the vendors' libraries) when
// something other than a regular file stands in their place: refused at
// once, never a hang, and a link never written through.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "UserSettings.h"
#include "base/Exception.h"
#include "crate/SelectAdapter.h"

namespace {

TEST(SelectAdapter, FilesNamedInTheSettingsMustBeRegularFiles) {
  UserSettings user;
  const std::string fifo = user.Folder().File("fifo");
  const std::string link = user.Folder().File("link");
  const std::string target = user.Folder().File("someone-elses.log");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
  WriteRaw(target, "");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);

  struct Case {
    std::string Settings;
    std::string Refusal;
  };
  const Case cases[] = {
      {"trace = " + fifo, "trace file \"" + fifo + "\" cannot be opened for writing: it is a FIFO"},
      {"trace = " + link,
       "trace file \"" + link + "\" cannot be opened for writing: it is a symbolic link"},
      {"adapter = sbs\nsbs.library = " + fifo,
       "\"" + fifo + "\" cannot be loaded (it is a FIFO, not a regular file)"},
      {"adapter = caen\nbridge = V2718\ncaen.library = " + fifo,
       "\"" + fifo + "\" cannot be loaded (it is a FIFO, not a regular file)"},
  };
  for (const Case& c : cases) {
    user.Write(c.Settings + "\n");
    std::string refused;
    try {
      crate::SelectAdapter("");
    } catch (const Exception& e) {
      refused = e.Message();
    }
    EXPECT_NE(refused.find(c.Refusal), std::string::npos) << c.Settings << "\n" << refused;
  }
  EXPECT_EQ(ReadRaw(target), "");
}

}  // namespace
