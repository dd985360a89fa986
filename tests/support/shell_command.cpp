// Running a command through popen and reading all it writes.
#include "support/shell_command.h"

#include <sys/wait.h>

#include <cstdio>

namespace vekrano::testing {

Outcome runShell(const std::string& command) {
  Outcome outcome;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return outcome;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) outcome.out.append(buffer, n);
  const int raw = pclose(pipe);
  outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return outcome;
}

}  // namespace vekrano::testing
