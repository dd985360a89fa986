// The files a backup saves: the caller's patterns expanded, and the file ID list that may be
// saved with them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vekrano::backup {

// One file to save.
struct SourceFile {
  std::string path;  // where the file is read
  std::string name;  // the name stored in the archive
};

// Expands `patterns`: each is a path whose last component may hold "*" and "?"; a trailing
// " /s" applies it in every subfolder too, recursively. Files are taken in the order the
// folders list them, hidden ones included, folders left out, each path once, and never the
// file `archivePath` (empty: none). Names are the full paths, lower-cased and trimmed.
std::vector<SourceFile> findSourceFiles(const std::vector<std::string>& patterns, const std::string& archivePath);

// A file's size in bytes, or nothing when it does not exist.
std::optional<std::int64_t> existingFileSize(const std::string& path);

// The text of the file ID list: per file, its name, a tab, its DOS date as a decimal integer,
// "=" and its size, then CR LF. Files that no longer exist are left out.
std::string fileIdList(const std::vector<SourceFile>& files);

// A temporary file in the system's temporary folder, removed when the object goes.
class TemporaryFile {
 public:
  // Writes `text` into a new file named with `prefix`; check created().
  TemporaryFile(const std::string& prefix, const std::string& text);
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool created() const { return !path_.empty(); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace vekrano::backup
