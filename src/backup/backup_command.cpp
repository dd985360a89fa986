// The backup command: the table closed so its files are complete on disk, the component at
// level 9 with 1 300 000-byte volumes, and no incomplete archive left behind.
#include <filesystem>
#include <system_error>

#include "backup/archive_writer.h"
#include "backup/backup_commands.h"
#include "backup/file_list.h"
#include "backup/reopen_guard.h"

namespace vekrano::backup {
namespace {

constexpr std::int32_t kVolumeSize = 1'300'000;

}  // namespace

std::vector<std::string> BackupPatterns(const std::string& programDirectory) {
  std::string folder = programDirectory;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return {folder + "*.dbf", folder + "*.mdx", folder + "*.dbt"};
}

void PrepareForBackup(TBackupFile& component) {
  component.CompressionLevel = TCompressionLevel::clMax;
  component.MaxSize = kVolumeSize;
}

CommandResult RunBackup(TBackupFile& component, const std::string& programDirectory,
                        const std::string& archive, const TableAccess& table) {
  CommandResult result;
  PrepareForBackup(component);
  const std::vector<std::string> patterns = BackupPatterns(programDirectory);
  component.OnError = [&result](TBackupFile&, int, const std::string& text) {
    result.failure = CommandFailure::ComponentError;
    result.error = text;
  };
  bool completed = false;
  {
    ReopenGuard reopen(table);
    for (const SourceFile& file : findSourceFiles(patterns, archive)) result.files.push_back(file.name);
    completed = component.Backup(patterns, archive);
  }
  component.OnError = nullptr;
  // Volumes follow one another from .002 on; every one this run made is named in the archive.
  std::error_code ignored;
  for (int volume = 1;; ++volume) {
    const std::string path = volume == 1 ? archive : volumePath(archive, volume);
    if (volume > 1 && !std::filesystem::exists(path, ignored)) break;
    if (volume > 1 && std::filesystem::last_write_time(path, ignored) <
                          std::filesystem::last_write_time(archive, ignored)) {
      break;  // left from an older, larger archive of the same name
    }
    result.volumes.push_back(path);
    if (volume == 999) break;
  }
  if (completed) return result;
  if (result.failure == CommandFailure::None) result.failure = CommandFailure::Stopped;
  for (const std::string& path : result.volumes) std::filesystem::remove(path, ignored);
  result.volumes.clear();
  return result;
}

}  // namespace vekrano::backup
