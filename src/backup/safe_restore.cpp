// The restore command: the archive is read into a fresh folder beside the table, and only a
// complete archive holding an "article.dbf" that opens replaces the table files, each by a
// rename, while no other program has the table open.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "backup/backup_commands.h"
#include "backup/durable_file.h"
#include "backup/reopen_guard.h"
#include "common/code_page.h"
#include "common/share_mode_lock.h"

namespace vekrano::backup {
namespace fs = std::filesystem;
namespace {

constexpr const char* kTableName = "article.dbf";
constexpr const char* kIndexName = "article.mdx";
constexpr const char* kFolderPrefix = ".vekrano-restore-";
constexpr const char* kFolderPattern = ".vekrano-restore-XXXXXX";
// How long a restore waits for other programs to close the table, in steps of kWaitStep.
constexpr int kWaitSteps = 100;
constexpr std::chrono::milliseconds kWaitStep{100};

// The files a backup saves, and so the only ones a restore puts beside the program.
bool isTableFile(const std::string& name) {
  const std::string extension = common::ansiLower(fs::path(name).extension().string());
  return extension == ".dbf" || extension == ".mdx" || extension == ".dbt";
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
std::string replaceFiles(const fs::path& folder, const fs::path& directory, const std::vector<std::string>& names) {
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

// A folder that a restore in progress holds locked; the kernel drops the lock when the
// restore's process dies, which tells a left-over folder from one in use.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(const fs::path& directory) {
    std::string pattern = (directory / kFolderPattern).string();
    if (::mkdtemp(pattern.data()) == nullptr) return;
    path_ = pattern;
    fd_ = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ >= 0) ::flock(fd_, LOCK_EX);
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
    if (fd_ >= 0) ::close(fd_);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
  int fd_ = -1;
};

// Removes the folders of restores whose process died before it could.
void removeDeadRestores(const fs::path& directory) {
  std::error_code error;
  for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
    std::error_code ignored;
    if (!it->is_directory(ignored) || it->is_symlink(ignored) ||
        !it->path().filename().string().starts_with(kFolderPrefix)) {
      continue;
    }
    const int fd = ::open(it->path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) fs::remove_all(it->path(), ignored);
    ::close(fd);
  }
}

// The table file held for this process alone while it is replaced, so that no other program
// opens it meanwhile; waits a few seconds for those that have it open.
class ExclusiveHold {
 public:
  explicit ExclusiveHold(const fs::path& table) {
    fd_ = ::open(table.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) {
      granted_ = errno == ENOENT;
      return;
    }
    for (int step = 0; step < kWaitSteps; ++step) {
      if (common::takeShareModeLock(fd_, true) == 0) {
        granted_ = true;
        return;
      }
      std::this_thread::sleep_for(kWaitStep);
    }
  }
  ~ExclusiveHold() {
    if (fd_ >= 0) ::close(fd_);
  }
  ExclusiveHold(const ExclusiveHold&) = delete;
  ExclusiveHold& operator=(const ExclusiveHold&) = delete;
  bool granted() const { return granted_; }

 private:
  int fd_ = -1;
  bool granted_ = false;
};

}  // namespace

CommandResult runSafeRestore(TBackupFile& component, const std::string& programDirectory, const std::string& archive,
                             const TableAccess& table) {
  CommandResult result;
  std::error_code ignored;
  if (!fs::is_regular_file(archive, ignored)) {
    result.failure = CommandFailure::ArchiveMissing;
    return result;
  }
  const fs::path directory = fs::absolute(programDirectory, ignored);
  removeDeadRestores(directory);
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
  if (component.systemError() != 0) result.error += std::string(" (") + std::strerror(component.systemError()) + ")";
  if (!read && result.failure == CommandFailure::None) result.failure = CommandFailure::Stopped;
  if (!result.done()) return result;
  if (!fs::is_regular_file(folder.path() / kTableName, ignored)) {
    result.failure = CommandFailure::NoTable;
    return result;
  }
  try {
    if (table.check) table.check(folder.path().string());
  } catch (const std::exception& error) {
    result.failure = CommandFailure::NotATable;
    result.error = error.what();
    return result;
  }
  // The check may have built the index the archive lacked: it goes in with the table.
  const std::vector<std::string> names = restoredFiles(folder.path());
  ReopenGuard reopen(table);
  const ExclusiveHold alone(directory / kTableName);
  if (!alone.granted()) {
    result.failure = CommandFailure::TableInUse;
    return result;
  }
  result.error = replaceFiles(folder.path(), directory, names);
  if (!result.error.empty()) {
    result.failure = CommandFailure::ReplaceFailed;
    return result;
  }
  result.files = names;
  return result;
}

}  // namespace vekrano::backup
