// The component's settings, run state, events and messages; the operations themselves are in
// backup_run.cpp and restore_run.cpp.
#include "backup/backup_file.h"

#include <algorithm>

#include "common/process_events.h"
#include "common/prompts.h"

namespace vekrano::backup {
namespace {

constexpr std::string_view kDiskQuestion = "Please insert disk %s and click OK to continue.";

std::string diskQuestion(int volume) {
  std::string text(kDiskQuestion);
  return text.replace(text.find("%s"), 2, std::to_string(volume));
}

}  // namespace

void TBackupFile::setBackupMode(TBackupMode mode) {
  backupMode_ = mode;
  if (mode == TBackupMode::bmIncremental) SetArchiveFlag = true;
}

void TBackupFile::startRun() {
  continue_ = true;
  error_ = ErrorCode::None;
  systemError_ = 0;
  totalSize_ = 0;
  bytesDone_ = 0;
  filesProcessed_ = 0;
  currentFile_.clear();
}

void TBackupFile::fail(ErrorCode code, int systemError) {
  error_ = code;
  if (systemError != 0) systemError_ = systemError;
  continue_ = false;
}

// With nothing to do, the operation counts as done.
int TBackupFile::percentDone() const {
  if (totalSize_ <= 0) return 100;
  return static_cast<int>(std::clamp<std::int64_t>(bytesDone_ * 100 / totalSize_, 0, 100));
}

void TBackupFile::blockDone(std::int64_t bytes) {
  bytesDone_ += bytes;
  common::processEvents();
  reportProgress(currentFile_, percentDone());
}

void TBackupFile::reportProgress(const std::string& filename, int percent) {
  if (!OnProgress) return;
  bool goOn = true;
  OnProgress(*this, filename, percent, goOn);
  if (!goOn) continue_ = false;
}

bool TBackupFile::askForDisk(int volume) {
  bool goOn = true;
  if (OnNeedDisk) {
    OnNeedDisk(*this, static_cast<std::uint16_t>(volume), goOn);
  } else {
    goOn = common::askOkCancel(diskQuestion(volume));
  }
  if (!goOn) continue_ = false;
  return goOn;
}

void TBackupFile::reportError() {
  if (error_ == ErrorCode::None) return;
  if (OnError) {
    OnError(*this, static_cast<int>(error_), errorText(error_));
  } else {
    common::showMessage(errorText(error_), {}, common::PromptKind::Error);
  }
}

}  // namespace vekrano::backup
