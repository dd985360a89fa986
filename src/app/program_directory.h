// The program directory: where the application keeps its files. Beside the executable, as
// long as that is a place the user may write and not an installed bin/ directory; otherwise
// the user's data directory.
#pragma once

#include <string>

namespace vekrano::app {

// The directory of the running executable, ending with "/". The current directory followed by
// "/" when the executable's path cannot be read.
std::string executableDirectory();

// ${XDG_DATA_HOME}/vekrano/ when `xdgDataHome` is an absolute path, otherwise
// `home`/.local/share/vekrano/ (`home` empty or nullptr: the user's home from the password file).
std::string dataDirectory(const char* xdgDataHome, const char* home);

struct ProgramDirectoryChoice {
  std::string directory;  // ends with "/"
  bool writable = false;  // false: neither place can be written, nothing will be kept
};

// The executable's directory when it is writable and not named "bin"; otherwise the data
// directory, created when missing, when it is writable. When neither is, the place the files
// would be read from: the data directory for a program in bin/, else the executable's.
// Both arguments end with "/".
ProgramDirectoryChoice chooseProgramDirectory(const std::string& executableDirectory, const std::string& dataDirectory);

// dataDirectory() from this process's environment.
std::string dataDirectoryOfProcess();

// The choice for this process, from its executable and environment; made once.
const ProgramDirectoryChoice& programDirectoryOfProcess();

// The program directory of this process.
std::string ProgramDirectory();

// A file the application reads but never writes (the language file, the help file): the one in
// `programDirectory` when it exists, else the one in `executableDirectory` when that exists,
// else the one in `programDirectory`. `name` is appended as given.
std::string findProgramFile(const std::string& programDirectory, const std::string& executableDirectory,
                            const std::string& name);
std::string findProgramFile(const std::string& programDirectory, const std::string& name);

}  // namespace vekrano::app
