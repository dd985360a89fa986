// The error codes a backup or restore reports, their texts, and the exception for the two faults
// that are raised to the caller instead.
#pragma once

#include <string>

#include "common/exception.h"

namespace vekrano::backup {

enum class ErrorCode {
  None = 0,
  CannotReadFile = 1,
  OverwritingFailed = 2,
  CannotReadArchive = 3,
  CannotWriteArchive = 4,
  InvalidArchiveType = 5,
  CompressionError = 6,
  CannotCreateIdFile = 7,
};

// The English text of a code; empty for ErrorCode::None.
std::string errorText(ErrorCode code);

// Raised when an archive cannot be opened or its header read ("Cannot read archive"), and when
// a data section being skipped lacks its marker ("Invalid archive type").
class EBackupError : public common::Exception {
 public:
  explicit EBackupError(ErrorCode code) : common::Exception(errorText(code)), code_(code) {}
  ErrorCode code() const { return code_; }

 private:
  ErrorCode code_;
};

}  // namespace vekrano::backup
