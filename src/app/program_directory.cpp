#include "app/program_directory.h"

#include <filesystem>

namespace vekrano::app {

std::string ProgramDirectory() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  std::filesystem::path dir = error ? std::filesystem::current_path(error) : exe.parent_path();
  std::string text = dir.string();
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

}  // namespace vekrano::app
