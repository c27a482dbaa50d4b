// quorvane-ctl: the TTCvi from scripts and run control (Ctl.h).

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ctl/Ctl.h"

int main(int argc, char** argv) {
  // A standard stream closed by the caller would be the number the next file
  // opened gets (the lock file, the bus log), and our text would go into it.
  const bool outClosed = fcntl(STDOUT_FILENO, F_GETFD) == -1;
  for (int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
    if (fcntl(stream, F_GETFD) == -1 && open("/dev/null", O_RDWR) != stream) return kCtlUsage;
  if (outClosed) {
    std::fputs("quorvane-ctl: standard output is closed; nothing was done\n", stderr);
    return kCtlOutputFailed;
  }
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return RunCtl(arguments, DefaultCtlEnvironment());
}
