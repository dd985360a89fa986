// Debian's python3 with its dBase modules (dbf, dbfread): an independent reader and writer of the
// files the engine reads and writes.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vekrano::dbase::testing {

inline constexpr const char* kPython = "/usr/bin/python3";

// True when python3 can import `module` ("dbf", "dbfread").
inline bool pythonHas(const std::string& module) {
  return std::system((std::string(kPython) + " -c 'import " + module + "' 2>/dev/null").c_str()) == 0;
}

// Runs a python script file with its arguments and returns what it prints on standard output.
inline std::string runPython(const std::string& scriptAndArguments) {
  std::string output;
  FILE* pipe = popen((std::string(kPython) + " " + scriptAndArguments).c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  pclose(pipe);
  return output;
}

}  // namespace vekrano::dbase::testing
