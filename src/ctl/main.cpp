// quorvane-ctl: the TTCvi from scripts and run control (Ctl.h).

#include <string>
#include <vector>

#include "ctl/Ctl.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return RunCtl(arguments, DefaultCtlEnvironment());
}
