// A file the panel's start refuses stops quorvane-ctl the same way, touching no module.

#include <unistd.h>

#include "CtlTest.h"

namespace {

TEST_F(CtlTest, FileTheStartWouldRefuseStopsBeforeTheModule) {
  const std::string mem = Dir.File("mem.ini");
  const std::string base = Dir.File("base.ini");
  ASSERT_EQ(symlink("/proc/self/mem", mem.c_str()), 0);  // there, but every read fails
  WriteRaw(base, "[TTCvi_Address]\nTTCviAddress=0x1FF1000\n");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"status", "--config", mem}, "Unable to read " + mem + ": Input/output error"},
      {{"reset", "--config", base}, base + ", section [TTCvi_Address]: TTCviAddress=0x1FF1000"}};
  for (const auto& [arguments, message] : cases) {
    EXPECT_EQ(Run(arguments), 2) << message;
    EXPECT_NE(Err.str().find(message), std::string::npos) << Err.str();
  }
  EXPECT_TRUE(Crate().Cycles().empty());
}

}  // namespace
