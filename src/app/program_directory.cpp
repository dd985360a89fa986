#include "app/program_directory.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace vekrano::app {

namespace {

std::string withSeparator(std::string text) {
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

// Write permission as the directory's mode grants it: a directory with every write bit off is
// read-only even for root, so an installation made read-only is never written into.
bool isWritableDirectory(const std::string& directory) {
  struct stat info {};
  if (::stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  return (info.st_mode & 0222) != 0 && ::access(directory.c_str(), W_OK) == 0;
}

// A bin/ directory holds installed programs (/usr/bin, ~/.local/bin), never their records.
bool isInstalledProgramDirectory(const std::string& directory) {
  return std::filesystem::path(directory).parent_path().filename() == "bin";
}

}  // namespace

std::string executableDirectory() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  std::filesystem::path dir = error ? std::filesystem::current_path(error) : exe.parent_path();
  return withSeparator(dir.string());
}

std::string dataDirectory(const char* xdgDataHome, const char* home) {
  if (xdgDataHome != nullptr && xdgDataHome[0] == '/') {
    return withSeparator(xdgDataHome) + "vekrano/";
  }
  std::string homeText = home != nullptr ? home : "";
  if (homeText.empty()) {
    if (const passwd* user = ::getpwuid(::getuid())) homeText = user->pw_dir;
  }
  return withSeparator(homeText) + ".local/share/vekrano/";
}

ProgramDirectoryChoice chooseProgramDirectory(const std::string& executableDirectory,
                                              const std::string& dataDirectory) {
  const bool installed = isInstalledProgramDirectory(executableDirectory);
  if (!installed && isWritableDirectory(executableDirectory)) return {executableDirectory, true};
  std::error_code error;
  std::filesystem::create_directories(dataDirectory, error);
  if (isWritableDirectory(dataDirectory)) return {dataDirectory, true};
  return {installed ? dataDirectory : executableDirectory, false};
}

std::string dataDirectoryOfProcess() { return dataDirectory(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")); }

const ProgramDirectoryChoice& programDirectoryOfProcess() {
  static const ProgramDirectoryChoice choice = chooseProgramDirectory(executableDirectory(), dataDirectoryOfProcess());
  return choice;
}

std::string ProgramDirectory() { return programDirectoryOfProcess().directory; }

std::string findProgramFile(const std::string& programDirectory, const std::string& executableDirectory,
                            const std::string& name) {
  std::error_code error;
  const std::string preferred = programDirectory + name;
  if (std::filesystem::exists(preferred, error)) return preferred;
  const std::string beside = executableDirectory + name;
  if (std::filesystem::exists(beside, error)) return beside;
  return preferred;
}

std::string findProgramFile(const std::string& programDirectory, const std::string& name) {
  return findProgramFile(programDirectory, executableDirectory(), name);
}

}  // namespace vekrano::app
