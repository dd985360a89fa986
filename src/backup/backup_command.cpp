// The backup command: the table closed so its files are complete on disk and held still while
// they are read, the component at level 9 with 1 300 000-byte volumes, and the archive written
// beside its place and renamed into it only once complete.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "backup/archive_format.h"
#include "backup/archive_writer.h"
#include "backup/backup_commands.h"
#include "backup/durable_file.h"
#include "backup/file_list.h"
#include "backup/reopen_guard.h"

namespace vekrano::backup {
namespace fs = std::filesystem;
namespace {

constexpr std::int32_t kVolumeSize = 1'300'000;

// Whether `archive` names one of the table's own files, which the backup would destroy.
bool isTableFile(const std::string& programDirectory, const std::string& archive) {
  std::error_code ignored;
  const fs::path target = fs::weakly_canonical(fs::absolute(archive, ignored), ignored);
  for (const char* name : {"article.dbf", "article.mdx", "article.dbt"}) {
    const fs::path file = fs::weakly_canonical(fs::absolute(fs::path(programDirectory) / name, ignored), ignored);
    if (target == file || fs::equivalent(target, file, ignored)) return true;
  }
  return false;
}

// The volumes a run wrote under `first`, the first one first.
std::vector<std::string> writtenVolumes(const std::string& first) {
  std::vector<std::string> volumes;
  std::error_code ignored;
  for (int volume = kFirstVolume; volume <= kLastVolume; ++volume) {
    const std::string path = volume == kFirstVolume ? first : volumePath(first, volume);
    if (!fs::exists(path, ignored)) break;
    volumes.push_back(path);
  }
  return volumes;
}

// Syncs every volume, then renames them into place from the last to the first, so that the
// archive's own name is taken only when all its volumes are there. Empty or the failure.
std::string publishVolumes(const std::vector<std::string>& written, const std::string& archive,
                           std::vector<std::string>& published) {
  for (const std::string& path : written) {
    if (!syncPath(path, false)) return "Cannot write to archive";
  }
  for (std::size_t k = written.size(); k-- > 0;) {
    const std::string target = k == 0 ? archive : volumePath(archive, static_cast<int>(k + 1));
    std::error_code error;
    fs::rename(written[k], target, error);
    if (error) return target + ": " + error.message();
    published.insert(published.begin(), target);
  }
  syncPath(fs::absolute(archive).parent_path(), true);
  return {};
}

// Keeps the table still from the first file read to the last.
class HoldStill {
 public:
  explicit HoldStill(const TableAccess& table) : table_(table) {
    if (table_.holdStill) table_.holdStill();
  }
  ~HoldStill() {
    if (table_.letGo) table_.letGo();
  }
  HoldStill(const HoldStill&) = delete;
  HoldStill& operator=(const HoldStill&) = delete;

 private:
  const TableAccess& table_;
};

}  // namespace

std::vector<std::string> backupPatterns(const std::string& programDirectory) {
  std::string folder = programDirectory;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return {folder + "*.dbf", folder + "*.mdx", folder + "*.dbt"};
}

void prepareForBackup(TBackupFile& component) {
  component.CompressionLevel = TCompressionLevel::clMax;
  component.MaxSize = kVolumeSize;
}

CommandResult runBackup(TBackupFile& component, const std::string& programDirectory, const std::string& archive,
                        const TableAccess& table) {
  CommandResult result;
  if (isTableFile(programDirectory, archive)) {
    result.failure = CommandFailure::TargetIsTable;
    return result;
  }
  const std::vector<std::string> patterns = backupPatterns(programDirectory);
  for (const SourceFile& file : findSourceFiles(patterns, archive)) result.files.push_back(file.name);
  removeFilesLeftBeside(archive);
  const std::string partial = createFileBeside(archive);
  if (partial.empty()) {
    result.failure = CommandFailure::ComponentError;
    result.error = std::string("Cannot write to archive (") + std::strerror(errno) + ")";
    result.files.clear();
    return result;
  }
  prepareForBackup(component);
  component.ReplacedArchive = archive;
  component.OnError = [&result](TBackupFile&, int, const std::string& text) {
    result.failure = CommandFailure::ComponentError;
    result.error = text;
  };
  bool completed = false;
  try {
    ReopenGuard reopen(table);
    HoldStill still(table);
    completed = component.Backup(patterns, partial);
  } catch (const std::exception& error) {
    result.failure = CommandFailure::TableBusy;
    result.error = error.what();
  }
  component.OnError = nullptr;
  if (component.systemError() != 0) result.error += std::string(" (") + std::strerror(component.systemError()) + ")";
  const std::vector<std::string> written = writtenVolumes(partial);
  if (completed && result.done()) {
    const std::string failure = publishVolumes(written, archive, result.volumes);
    if (failure.empty()) return result;
    result.failure = CommandFailure::ComponentError;
    result.error = failure;
  }
  if (result.done()) result.failure = CommandFailure::Stopped;
  std::error_code ignored;
  for (const std::string& path : written) fs::remove(path, ignored);
  result.volumes.clear();
  return result;
}

}  // namespace vekrano::backup
