// A fresh temporary folder per test, removed with everything in it at the end.
#pragma once

#include <filesystem>
#include <string>

namespace vekrano::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The folder's path followed by "/" and `name`.
  std::string file(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// Whole content of a file as bytes; empty when it cannot be read.
std::string readFileBytes(const std::filesystem::path& path);
// Writes `bytes` as the whole content of the file.
void writeFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace vekrano::testing
