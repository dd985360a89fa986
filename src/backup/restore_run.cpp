// TBackupFile::Restore: reads the entries of an archive, restores or skips each one by the
// restore mode, and follows "NEXT:DISK" entries into the further volumes.
#include <sys/stat.h>

#include <array>
#include <cstdlib>
#include <filesystem>

#include "backup/archive_format.h"
#include "backup/archive_reader.h"
#include "backup/archive_writer.h"
#include "backup/backup_file.h"
#include "backup/dos_date.h"
#include "backup/restore_target.h"
#include "backup/zlib_block.h"

namespace vekrano::backup {
namespace {

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::uint32_t> existingFileDate(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return std::nullopt;
  return dosDateFromTime(info.st_mtime);
}

// DOS dates compare as unsigned numbers: year, month, day, hour, minute, second.
bool shouldRestore(TRestoreMode mode, const std::string& target, std::int32_t archivedDate) {
  const std::optional<std::uint32_t> existing = existingFileDate(target);
  const bool older = existing && *existing < static_cast<std::uint32_t>(archivedDate);
  switch (mode) {
    case TRestoreMode::rmAll: return true;
    case TRestoreMode::rmNoOverwrite: return !existing;
    case TRestoreMode::rmNewer: return !existing || older;
    case TRestoreMode::rmExisting: return existing.has_value();
    case TRestoreMode::rmExistingNewer: return older;
  }
  return false;
}

// The folder of `target` exists afterwards, made with its missing parents when needed.
bool makeFolderOf(const std::string& target) {
  const std::filesystem::path folder = std::filesystem::path(target).parent_path();
  if (folder.empty()) return true;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error);
}

void setDate(FileStream& file, std::int32_t date) {
  if (const auto t = timeFromDosDate(static_cast<std::uint32_t>(date))) file.setModificationTime(*t);
}

// The volume a "NEXT:DISK" entry names, or nothing when its three digits are not a volume.
std::optional<int> nextDiskVolume(const std::string& name) {
  if (name.size() != kNextDiskNameLength) return std::nullopt;
  int volume = 0;
  for (std::size_t i = kNextDiskPrefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return std::nullopt;
    volume = volume * 10 + (name[i] - '0');
  }
  if (volume <= kFirstVolume) return std::nullopt;
  return volume;
}

}  // namespace

class RestoreRun {
 public:
  RestoreRun(TBackupFile& owner, RunState& state, const std::string& archiveName, const std::string& destination)
      : owner_(owner),
        state_(state),
        archiveName_(archiveName),
        destination_(destination),
        inMemory_(archiveName == kStreamArchiveName) {
    if (!destination_.empty() && destination_.back() != '/') destination_ += '/';
  }

  bool run() {
    if (!inMemory_ && !isRegularFile(archiveName_)) return false;
    state_.start();
    openArchive();
    if (!inflater_.ready()) state_.fail(ErrorCode::CompressionError);
    bool completed = false;
    while (state_.continuing() && !completed) completed = readEntry();
    reader_.closeVolume();
    state_.reportProgress({}, 100);
    state_.reportError();
    return completed && state_.error() == ErrorCode::None && state_.continuing();
  }

 private:
  // The interrupted file a further volume goes on with.
  struct OpenEntry {
    std::string target;
    bool restoring = false;
    std::int32_t date = 0;
  };

  void openArchive() {
    if (inMemory_) {
      reader_.startMemory(owner_.Stream());
    } else if (!reader_.openVolume(archiveName_)) {
      throw EBackupError(ErrorCode::CannotReadArchive);
    }
    ArchiveHeader header;
    if (!reader_.readHeader(header)) throw EBackupError(ErrorCode::CannotReadArchive);
    state_.setTotal(header.totalSize);
  }

  // Reads and handles one entry. True at the end of the archive.
  bool readEntry() {
    std::int32_t length = 0;
    std::string name;
    if (!reader_.readInteger(length)) {
      state_.fail(ErrorCode::CannotReadFile);
      return false;
    }
    if (length == 0) return true;
    if (length > kMaxNameLength || !reader_.readText(length, name)) {
      state_.fail(ErrorCode::CannotReadFile);
      return false;
    }
    if (name.starts_with(kNextDiskPrefix)) {
      goOnInNextVolume(name);
    } else {
      restoreEntry(name);
    }
    return false;
  }

  void restoreEntry(const std::string& name) {
    if (!reader_.readInteger(openEntry_.date)) return state_.fail(ErrorCode::CannotReadFile);
    openEntry_.restoring = false;
    openEntry_.target.clear();
    state_.setCurrentFile(name);
    if (name == kFileListName) {
      readSection(nullptr);
      return;
    }
    const std::optional<std::string> target = restoreTarget(name, destination_, owner_.RestoreFullPath);
    if (!target) {
      state_.noteError(ErrorCode::CannotReadFile);
      readSection(nullptr);
      return;
    }
    openEntry_.target = *target;
    bool restore = shouldRestore(owner_.RestoreMode, openEntry_.target, openEntry_.date);
    if (owner_.OnRestoreFile) owner_.OnRestoreFile(owner_, openEntry_.target, openEntry_.date, restore);
    if (!restore || !makeFolderOf(openEntry_.target)) {
      readSection(nullptr);
      return;
    }
    FileStream file;
    if (!file.open(openEntry_.target, FileStream::Access::CreateExclusive)) {
      return state_.fail(ErrorCode::CannotReadFile, file.lastErrno());
    }
    openEntry_.restoring = true;
    state_.setCurrentFile(openEntry_.target);
    if (!readSection(&file)) return;
    if (owner_.OnFileRestored) owner_.OnFileRestored(owner_, openEntry_.target, file);
    setDate(file, openEntry_.date);
    state_.fileDone();
  }

  void goOnInNextVolume(const std::string& name) {
    const std::optional<int> volume = nextDiskVolume(name);
    // The in-memory archive is never split, so it cannot name a further volume.
    if (!volume || inMemory_) return state_.fail(ErrorCode::CannotReadFile);
    reader_.closeVolume();
    const std::string path = volumePath(archiveName_, *volume);
    do {
      if (!state_.askForDisk(*volume)) return;
    } while (!isRegularFile(path));
    if (!reader_.openVolume(path)) return state_.fail(ErrorCode::CannotReadFile);
    if (!openEntry_.restoring) {
      readSection(nullptr);
      return;
    }
    FileStream file;
    if (!file.open(openEntry_.target, FileStream::Access::AppendExclusive)) {
      return state_.fail(ErrorCode::CannotReadFile);
    }
    if (readSection(&file)) setDate(file, openEntry_.date);
  }

  // Reads one data section, writing its data into `target`, or skipping it when `target` is
  // null. True when the section was read to its end.
  bool readSection(FileStream* target) {
    bool marked = false;
    if (!reader_.readMarker(marked)) return failed(ErrorCode::CannotReadFile);
    if (!marked && !target) throw EBackupError(ErrorCode::InvalidArchiveType);
    if (!marked) return failed(ErrorCode::CannotReadFile);
    while (state_.continuing()) {
      std::int32_t length = 0;
      if (!reader_.readInteger(length)) return failed(ErrorCode::CannotReadFile);
      if (length == 0) return true;
      if (length > kBlockSize || length < -kBlockSize) return failed(ErrorCode::CannotReadFile);
      const int size = std::abs(length);
      if (!target) {
        if (!reader_.skip(size)) return failed(ErrorCode::CannotReadFile);
        state_.blockDone(0);
      } else if (!copyBlock(*target, length > 0, size)) {
        return false;
      }
    }
    return false;
  }

  bool copyBlock(FileStream& target, bool compressed, int size) {
    if (!reader_.readBytes(input_.data(), static_cast<std::size_t>(size))) {
      return failed(ErrorCode::CannotReadFile);
    }
    const unsigned char* data = input_.data();
    if (compressed) {
      size = inflater_.inflate(input_.data(), size, output_.data(), kBlockSize);
      if (size < 0) return failed(ErrorCode::CompressionError);
      data = output_.data();
    }
    if (!target.write(data, static_cast<std::size_t>(size))) {
      state_.fail(ErrorCode::CannotReadFile, target.lastErrno());
      return false;
    }
    state_.blockDone(size);
    return true;
  }

  bool failed(ErrorCode code) {
    state_.fail(code);
    return false;
  }

  TBackupFile& owner_;  // the settings and the events of each file
  RunState& state_;
  const std::string archiveName_;
  std::string destination_;
  const bool inMemory_;
  ArchiveReader reader_;
  BlockInflater inflater_;
  // The two buffers every block passes through.
  std::array<unsigned char, kBlockSize> input_{};
  std::array<unsigned char, kBlockSize> output_{};
  OpenEntry openEntry_;
};

bool TBackupFile::Restore(const std::string& archiveName, const std::string& destination) {
  return RestoreRun(*this, state_, archiveName, destination).run();
}

}  // namespace vekrano::backup
