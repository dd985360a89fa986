// The program directory: where the executable lies and every file of the application with it.
#pragma once

#include <string>

namespace vekrano::app {

// The directory of the running executable, ending with "/". The current directory followed by
// "/" when the executable's path cannot be read.
std::string ProgramDirectory();

}  // namespace vekrano::app
