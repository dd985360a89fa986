// The error texts, written once.
#include "backup/backup_error.h"

namespace vekrano::backup {

std::string errorText(ErrorCode code) {
  switch (code) {
    case ErrorCode::None: return {};
    case ErrorCode::CannotReadFile: return "Cannot read file";
    case ErrorCode::OverwritingFailed: return "Overwriting file failed";
    case ErrorCode::CannotReadArchive: return "Cannot read archive";
    case ErrorCode::CannotWriteArchive: return "Cannot write to archive";
    case ErrorCode::InvalidArchiveType: return "Invalid archive type";
    case ErrorCode::CompressionError: return "Compression error";
    case ErrorCode::CannotCreateIdFile: return "Cannot create temporary file to save the file IDs";
  }
  return {};
}

}  // namespace vekrano::backup
