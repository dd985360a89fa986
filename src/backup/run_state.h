// What one backup or restore run has done and how it stands: the counts behind its progress,
// whether it goes on, its error; and the reports it makes through the component's events.
#pragma once

#include <cstdint>
#include <string>

#include "backup/backup_error.h"

namespace vekrano::backup {

class TBackupFile;

class RunState {
 public:
  // `component` gives the events and is the sender they name; it outlives the state.
  explicit RunState(TBackupFile& component) : component_(component) {}
  RunState(const RunState&) = delete;
  RunState& operator=(const RunState&) = delete;

  // Everything back to a run that has not begun.
  void start();
  // Clears the continue flag: the run stops after its current step.
  void stop() { continue_ = false; }
  // Sets the error code (and the system's error number behind it, when not 0) and stops the run.
  void fail(ErrorCode code, int systemError = 0);
  // Sets the error code; the run goes on.
  void noteError(ErrorCode code) { error_ = code; }

  void addToTotal(std::int64_t bytes) { totalSize_ += bytes; }
  void setTotal(std::int64_t bytes) { totalSize_ = bytes; }
  void setCurrentFile(const std::string& name) { currentFile_ = name; }
  void fileDone() { ++filesProcessed_; }
  // Counts `bytes` of file data done and reports progress for the current file.
  void blockDone(std::int64_t bytes);
  // OnProgress, when set; its refusal stops the run.
  void reportProgress(const std::string& filename, int percent);
  // Asks for volume `volume`, by OnNeedDisk or the question box. False: refused, stopped.
  bool askForDisk(int volume);
  // Reports the error code, if any, by OnError or the error box.
  void reportError();

  bool continuing() const { return continue_; }
  ErrorCode error() const { return error_; }
  int systemError() const { return systemError_; }
  std::int64_t totalSize() const { return totalSize_; }
  std::int64_t bytesDone() const { return bytesDone_; }
  int filesProcessed() const { return filesProcessed_; }
  const std::string& currentFile() const { return currentFile_; }

 private:
  // 0 to 100; with nothing to do, the run counts as done.
  int percentDone() const;

  TBackupFile& component_;
  bool continue_ = true;
  ErrorCode error_ = ErrorCode::None;
  int systemError_ = 0;
  std::int64_t totalSize_ = 0;
  std::int64_t bytesDone_ = 0;
  int filesProcessed_ = 0;
  std::string currentFile_;
};

}  // namespace vekrano::backup
