// A command run through the shell as a user runs it, for the tests of the programs.
#pragma once

#include <string>

namespace vekrano::testing {

struct Outcome {
  std::string out;
  int status = -1;  // the exit status; -1 when the command did not exit normally
};

// Runs `command` through the shell and captures its standard output (standard error joins it
// when the command redirects it).
Outcome runShell(const std::string& command);

}  // namespace vekrano::testing
