// The run state's counts and its reports through the component's events or the prompts.
#include "backup/run_state.h"

#include <algorithm>

#include "backup/backup_file.h"
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

void RunState::start() {
  continue_ = true;
  error_ = ErrorCode::None;
  systemError_ = 0;
  totalSize_ = 0;
  bytesDone_ = 0;
  filesProcessed_ = 0;
  currentFile_.clear();
}

void RunState::fail(ErrorCode code, int systemError) {
  error_ = code;
  if (systemError != 0) systemError_ = systemError;
  continue_ = false;
}

int RunState::percentDone() const {
  if (totalSize_ <= 0) return 100;
  return static_cast<int>(std::clamp<std::int64_t>(bytesDone_ * 100 / totalSize_, 0, 100));
}

void RunState::blockDone(std::int64_t bytes) {
  bytesDone_ += bytes;
  common::processEvents();
  reportProgress(currentFile_, percentDone());
}

void RunState::reportProgress(const std::string& filename, int percent) {
  if (!component_.OnProgress) return;
  bool goOn = true;
  component_.OnProgress(component_, filename, percent, goOn);
  if (!goOn) continue_ = false;
}

bool RunState::askForDisk(int volume) {
  bool goOn = true;
  if (component_.OnNeedDisk) {
    component_.OnNeedDisk(component_, static_cast<std::uint16_t>(volume), goOn);
  } else {
    goOn = common::askOkCancel(diskQuestion(volume));
  }
  if (!goOn) continue_ = false;
  return goOn;
}

void RunState::reportError() {
  if (error_ == ErrorCode::None) return;
  if (component_.OnError) {
    component_.OnError(component_, static_cast<int>(error_), errorText(error_));
  } else {
    common::showMessage(errorText(error_), {}, common::PromptKind::Error);
  }
}

}  // namespace vekrano::backup
