// The restore command: the archive is read into a fresh folder beside the table, and only a
// complete archive holding "article.dbf" replaces the table files, each by a rename.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "backup/backup_commands.h"
#include "backup/reopen_guard.h"
#include "common/code_page.h"

namespace vekrano::backup {
namespace fs = std::filesystem;
namespace {

constexpr const char* kTableName = "article.dbf";
constexpr const char* kIndexName = "article.mdx";
constexpr const char* kFolderPattern = ".vekrano-restore-XXXXXX";

// The files a backup saves, and so the only ones a restore puts beside the program.
bool isTableFile(const std::string& name) {
  const std::string extension = common::ansiLower(fs::path(name).extension().string());
  return extension == ".dbf" || extension == ".mdx" || extension == ".dbt";
}

// Commits a file or folder to disk, so that a rename never publishes a file whose data a
// crash could still lose.
bool syncPath(const fs::path& path, bool folder) {
  const int fd = ::open(path.c_str(), folder ? O_RDONLY | O_DIRECTORY : O_RDONLY);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

// The restored file names, "article.dbf" first: its rename is the one that replaces the data.
std::vector<std::string> restoredFiles(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code ignored;
    if (it->is_regular_file(ignored) && isTableFile(it->path().filename().string())) {
      names.push_back(it->path().filename().string());
    }
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return (a == kTableName) != (b == kTableName) ? a == kTableName : a < b;
  });
  return names;
}

// Removes the old index first: from then on, whichever table file is in place opens and its
// index is built again when the new one has not arrived yet.
std::string replaceFiles(const fs::path& folder, const fs::path& directory,
                         const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (!syncPath(folder / name, false)) return "Cannot write " + name;
  }
  std::error_code error;
  fs::remove(directory / kIndexName, error);
  if (error) return error.message();
  for (const std::string& name : names) {
    fs::rename(folder / name, directory / name, error);
    if (error) return name + ": " + error.message();
  }
  syncPath(directory, true);
  return {};
}

class TemporaryFolder {
 public:
  explicit TemporaryFolder(const fs::path& directory) {
    std::string pattern = (directory / kFolderPattern).string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

}  // namespace

CommandResult RunSafeRestore(TBackupFile& component, const std::string& programDirectory,
                             const std::string& archive, const TableAccess& table) {
  CommandResult result;
  std::error_code ignored;
  if (!fs::is_regular_file(archive, ignored)) {
    result.failure = CommandFailure::ArchiveMissing;
    return result;
  }
  const fs::path directory = fs::absolute(programDirectory, ignored);
  TemporaryFolder folder(directory);
  if (folder.path().empty()) {
    result.failure = CommandFailure::ReplaceFailed;
    result.error = "Cannot create a folder in " + directory.string();
    return result;
  }
  component.OnError = [&result](TBackupFile&, int, const std::string& text) {
    result.failure = CommandFailure::ComponentError;
    result.error = text;
  };
  bool read = false;
  try {
    read = component.Restore(archive, folder.path().string());
  } catch (const EBackupError& error) {
    result.failure = CommandFailure::ComponentError;
    result.error = error.what();
  }
  component.OnError = nullptr;
  if (!read && result.failure == CommandFailure::None) result.failure = CommandFailure::Stopped;
  if (!result.done()) return result;
  const std::vector<std::string> names = restoredFiles(folder.path());
  if (std::find(names.begin(), names.end(), kTableName) == names.end()) {
    result.failure = CommandFailure::NoTable;
    return result;
  }
  ReopenGuard reopen(table);
  result.error = replaceFiles(folder.path(), directory, names);
  if (!result.error.empty()) {
    result.failure = CommandFailure::ReplaceFailed;
    return result;
  }
  result.files = names;
  return result;
}

}  // namespace vekrano::backup
