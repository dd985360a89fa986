// TBackupFile: packs files into a compressed archive, optionally split over volume files, and
// unpacks such an archive into a folder. The byte layout is drawn in archive_format.h.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "backup/backup_error.h"
#include "backup/file_stream.h"
#include "backup/run_state.h"

namespace vekrano::backup {

enum class TBackupMode { bmAll, bmIncremental };
// zlib levels 1, 0, the library's default and 9.
enum class TCompressionLevel { clFastest, clNone, clDefault, clMax };
enum class TRestoreMode { rmAll, rmNoOverwrite, rmNewer, rmExisting, rmExistingNewer };

class TBackupFile {
 public:
  TBackupFile() = default;
  // The run state reports with the component as its sender: a component is never copied.
  TBackupFile(const TBackupFile&) = delete;
  TBackupFile& operator=(const TBackupFile&) = delete;

  // Percent: 0 to 100. Setting Continue to false stops the operation.
  using TProgressEvent =
      std::function<void(TBackupFile& Sender, const std::string& Filename, int Percent, bool& Continue)>;
  // Volume DiskID is needed; Continue false refuses it and stops the operation.
  using TNeedDiskEvent = std::function<void(TBackupFile& Sender, std::uint16_t DiskID, bool& Continue)>;
  // Before a file is restored: may change the target path or the decision. FA: archived date.
  using TRestoreFileEvent = std::function<void(TBackupFile& Sender, std::string& Filename, int FA, bool& DoRestore)>;
  // After a restored file's data is written, before it is closed.
  using TFileRestoredEvent = std::function<void(TBackupFile& Sender, std::string& Filename, FileStream& Stream)>;
  // Reports an error instead of the error box.
  using TErrorEvent = std::function<void(TBackupFile& Sender, int Error, const std::string& ErrString)>;

  // Always "5.00"; not written into archives.
  std::string Version() const { return "5.00"; }

  TBackupMode BackupMode() const { return backupMode_; }
  // Switching to bmIncremental also sets SetArchiveFlag.
  void setBackupMode(TBackupMode mode);

  // Written at the start of every archive.
  std::string BackupTitle;
  TCompressionLevel CompressionLevel = TCompressionLevel::clFastest;
  TRestoreMode RestoreMode = TRestoreMode::rmAll;
  // Size limit of each volume in bytes; 0: one archive file of any size.
  std::int32_t MaxSize = 0;
  // Clear each saved file's archive attribute (Linux keeps none: nothing to clear).
  bool SetArchiveFlag = false;
  // Restore below the destination folder with the saved path instead of the file name alone.
  bool RestoreFullPath = false;
  // Also save the list of the saved files with their dates and sizes, as "FILE:LIST".
  bool SaveFileID = false;

  TProgressEvent OnProgress;
  TNeedDiskEvent OnNeedDisk;
  TRestoreFileEvent OnRestoreFile;
  TFileRestoredEvent OnFileRestored;
  TErrorEvent OnError;
  // The archive a backup written under another name is to replace: never saved, like the
  // archive itself. Empty: none.
  std::string ReplacedArchive;

  // Saves the files matching `patterns` into `archiveName` (":STREAM": the in-memory archive,
  // never split into volumes). True when the archive was completed with its end integer.
  bool Backup(const std::vector<std::string>& patterns, const std::string& archiveName);

  // Restores the files of `archiveName` (":STREAM": the in-memory archive) into `destination`
  // (empty: each file at its saved path). True when the archive was read to its end without
  // an error and without being stopped; false at once, silently, when the archive file does
  // not exist. A name that would leave the destination folder is refused with error 1 and the
  // rest of the archive goes on.
  // Throws EBackupError "Cannot read archive" when the archive cannot be opened or its header
  // read, and "Invalid archive type" when a skipped file's data section lacks its marker.
  bool Restore(const std::string& archiveName, const std::string& destination);

  // The in-memory archive ":STREAM" writes to and reads from.
  std::string& Stream() { return stream_; }

  // Run state of the current or last operation.
  // Clears the continue flag: the operation stops after its current step.
  void Stop() { state_.stop(); }
  bool continuing() const { return state_.continuing(); }
  ErrorCode lastError() const { return state_.error(); }
  // The system's error number behind lastError() when a file failed (ENOSPC...); 0 otherwise.
  int systemError() const { return state_.systemError(); }
  std::int64_t totalSize() const { return state_.totalSize(); }
  std::int64_t bytesDone() const { return state_.bytesDone(); }
  int filesProcessed() const { return state_.filesProcessed(); }
  const std::string& currentFile() const { return state_.currentFile(); }

 private:
  TBackupMode backupMode_ = TBackupMode::bmAll;
  std::string stream_;
  RunState state_{*this};
};

}  // namespace vekrano::backup
