// The failure the index layer throws inside itself: an engine error code with its detail text, and
// whether the failure is raised to the caller or only recorded as the current error.
#pragma once

#include <string>

#include "dbase/dbase_error.h"

namespace vekrano::dbase {

class MdxFailure : public EDorevError {
 public:
  enum class Report { Raise, Record };
  MdxFailure(int code, const std::string& detail, Report report = Report::Record)
      : EDorevError(code, detail), detail_(detail), report_(report) {}
  const std::string& detail() const { return detail_; }
  bool raises() const { return report_ == Report::Raise; }

 private:
  std::string detail_;
  Report report_;
};

// Error codes of the index layer that the error routine does not name.
inline constexpr int kErrorFileNotFound = 2;
inline constexpr int kErrorDiskWrite = 101;
inline constexpr int kErrorIndexNotOpen = 221;
inline constexpr int kErrorExclusiveRequired = 225;
inline constexpr int kErrorInsufficientDisk = 227;
inline constexpr int kErrorInternal = 254;
inline constexpr int kErrorInvalidSize = 266;
inline constexpr int kErrorExpressionTooLong = 300;
inline constexpr int kErrorSemaphore = 1202;

}  // namespace vekrano::dbase
