// TBackupFile::Backup: the file list, the header, each file's data sections block by block,
// and the change to a new volume whenever MaxSize is about to be reached.
#include <array>
#include <filesystem>
#include <utility>
#include <optional>

#include "backup/archive_format.h"
#include "backup/archive_writer.h"
#include "backup/backup_file.h"
#include "backup/dos_date.h"
#include "backup/file_list.h"
#include "backup/zlib_block.h"

namespace vekrano::backup {
namespace {

int zlibLevel(TCompressionLevel level) {
  switch (level) {
    case TCompressionLevel::clFastest: return 1;
    case TCompressionLevel::clNone: return 0;
    case TCompressionLevel::clDefault: return Z_DEFAULT_COMPRESSION;
    case TCompressionLevel::clMax: return 9;
  }
  return Z_DEFAULT_COMPRESSION;
}

}  // namespace

class BackupRun {
 public:
  BackupRun(TBackupFile& owner, RunState& state, const std::string& archiveName)
      : owner_(owner),
        state_(state),
        archiveName_(archiveName),
        inMemory_(archiveName == kStreamArchiveName),
        compressor_(zlibLevel(owner.CompressionLevel)) {}

  bool run(const std::vector<std::string>& patterns) {
    state_.start();
    std::vector<SourceFile> files = findSourceFiles(patterns, inMemory_ ? "" : archiveName_);
    if (!owner_.ReplacedArchive.empty()) {
      std::error_code ignored;
      const std::string replaced =
          std::filesystem::absolute(owner_.ReplacedArchive, ignored).lexically_normal().string();
      std::erase_if(files, [&](const SourceFile& file) { return file.path == replaced; });
    }
    const auto fileCount = static_cast<std::int32_t>(files.size());
    for (const SourceFile& file : files) state_.addToTotal(existingFileSize(file.path).value_or(0));
    std::optional<TemporaryFile> idList;
    if (owner_.SaveFileID) {
      const std::string text = fileIdList(files);
      idList.emplace("FID", text);
      if (!idList->created()) {
        state_.fail(ErrorCode::CannotCreateIdFile);
        return finish(false);
      }
      files.insert(files.begin(), {idList->path(), std::string(kFileListName)});
      state_.addToTotal(static_cast<std::int64_t>(text.size()));
    }
    state_.reportProgress({}, 0);
    if (state_.continuing() && !createArchive(fileCount)) return finish(false);
    if (!compressor_.ready()) state_.fail(ErrorCode::CompressionError);
    for (const SourceFile& file : files) {
      if (!state_.continuing()) break;
      if (existingFileSize(file.path)) saveFile(file);
    }
    const bool completed = state_.continuing() && writer_.writeInteger(0);
    if (state_.continuing() && !completed) state_.fail(ErrorCode::CannotWriteArchive, writer_.lastErrno());
    return finish(completed);
  }

 private:
  bool createArchive(std::int32_t fileCount) {
    if (inMemory_) {
      writer_.startMemory(owner_.Stream());
    } else if (!writer_.createVolume(archiveName_)) {
      state_.fail(ErrorCode::CannotWriteArchive, writer_.lastErrno());
      return false;
    }
    if (!writer_.writeHeader(owner_.BackupTitle, static_cast<std::int32_t>(state_.totalSize()), fileCount)) {
      state_.fail(ErrorCode::CannotWriteArchive, writer_.lastErrno());
      return false;
    }
    return true;
  }

  bool finish(bool completed) {
    writer_.closeVolume();
    state_.reportProgress({}, 100);
    state_.reportError();
    return completed;
  }

  void saveFile(const SourceFile& file) {
    state_.setCurrentFile(file.name);
    if (!writer_.writeText(file.name)) return state_.fail(ErrorCode::CannotWriteArchive, writer_.lastErrno());
    FileStream source;
    std::optional<std::time_t> modified;
    if (source.open(file.path, FileStream::Access::ReadShared)) modified = source.modificationTime();
    if (!modified) return state_.fail(ErrorCode::CannotReadFile);
    const auto date = static_cast<std::int32_t>(dosDateFromTime(*modified));
    if (!writer_.writeInteger(date)) return state_.fail(ErrorCode::CannotWriteArchive, writer_.lastErrno());
    pendingSize_ = 0;
    while (writeSection(source)) {
      if (!startNextVolume()) return;
    }
    // Linux keeps no archive attribute, so SetArchiveFlag has nothing to clear.
    if (state_.continuing()) state_.fileDone();
  }

  // Writes one data section of `source` into the current volume. Returns true when the volume
  // filled up with data left to save and the operation goes on.
  bool writeSection(FileStream& source) {
    if (!writer_.writeMarker()) {
      state_.fail(ErrorCode::CannotWriteArchive, writer_.lastErrno());
      return false;
    }
    bool volumeFull = false;
    while (state_.continuing()) {
      if (pendingSize_ == 0) {
        const std::int64_t n = source.read(input_.data(), input_.size());
        if (n < 0) state_.fail(ErrorCode::CannotReadFile, source.lastErrno());
        if (n <= 0) break;
        pendingSize_ = static_cast<int>(n);
      }
      volumeFull = isVolumeFull();
      if (volumeFull) break;
      writeBlock();
    }
    if (state_.error() != ErrorCode::CannotWriteArchive && !writer_.writeInteger(0)) {
      state_.fail(ErrorCode::CannotWriteArchive, writer_.lastErrno());
    }
    return volumeFull && state_.continuing();
  }

  // A volume that holds no block yet takes one whatever its size, so that a MaxSize smaller
  // than a block still moves on instead of opening empty volumes for ever.
  bool isVolumeFull() const {
    return !inMemory_ && owner_.MaxSize != 0 && blocksInVolume_ > 0 &&
           writer_.volumePosition() >= std::int64_t{owner_.MaxSize} - kVolumeReserve;
  }

  void writeBlock() {
    const BlockCompressor::Result result =
        compressor_.compress(input_.data(), pendingSize_, output_.data(), kBlockSize);
    bool written = false;
    switch (result.outcome) {
      case BlockCompressor::Outcome::Compressed:
        written = writer_.writeBlock(result.length, output_.data(), result.length);
        break;
      case BlockCompressor::Outcome::DoesNotFit:
        written = writer_.writeBlock(-pendingSize_, input_.data(), pendingSize_);
        break;
      case BlockCompressor::Outcome::Failed: return state_.fail(ErrorCode::CompressionError);
    }
    if (!written) return state_.fail(ErrorCode::CannotWriteArchive, writer_.lastErrno());
    ++blocksInVolume_;
    state_.blockDone(std::exchange(pendingSize_, 0));
  }

  bool startNextVolume() {
    if (volume_ == kLastVolume || !writer_.writeNextDisk(volume_ + 1)) {
      state_.fail(ErrorCode::CannotWriteArchive, writer_.lastErrno());
      return false;
    }
    ++volume_;
    writer_.closeVolume();
    if (!state_.askForDisk(volume_)) return false;
    if (!writer_.createVolume(volumePath(archiveName_, volume_))) {
      state_.fail(ErrorCode::CannotWriteArchive, writer_.lastErrno());
      return false;
    }
    blocksInVolume_ = 0;
    return true;
  }

  TBackupFile& owner_;  // the settings and the in-memory archive
  RunState& state_;
  const std::string archiveName_;
  const bool inMemory_;
  ArchiveWriter writer_;
  BlockCompressor compressor_;
  // The two buffers every block passes through.
  std::array<unsigned char, kBlockSize> input_{};
  std::array<unsigned char, kBlockSize> output_{};
  // Bytes read into input_ and not yet written.
  int pendingSize_ = 0;
  int volume_ = kFirstVolume;
  int blocksInVolume_ = 0;
};

bool TBackupFile::Backup(const std::vector<std::string>& patterns, const std::string& archiveName) {
  return BackupRun(*this, state_, archiveName).run(patterns);
}

}  // namespace vekrano::backup
