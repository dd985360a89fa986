// The --help and --version answers of the programs.
#pragma once

#include <optional>

namespace vekrano::app {

// "NAME VERSION" and a line, on standard output.
void printVersion(const char* programName);

// vekrano's own options, looked at before the toolkit starts so that no display is needed:
// --help or -h prints the usage, --version the version; the exit status is returned. Nothing
// for any other arguments, which the toolkit takes.
std::optional<int> answerInfoOption(int argc, char** argv);

// After the toolkit took its own options: an argument left over is reported on standard error
// and gives exit status 2.
std::optional<int> rejectLeftArguments(int argc, char** argv);

}  // namespace vekrano::app
