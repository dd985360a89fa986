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

// The beginnings of detail texts that several index operations share.
inline constexpr char kIndexWriteFailed[] = "Error writing index file: ";
inline constexpr char kIndexReadFailed[] = "Error reading index file: ";
inline constexpr char kIndexCorrupted[] = "Index file corrupted. ";
inline constexpr char kUniqueNameFailed[] = "Error requesting unique file name [UniqueFilename]";

}  // namespace vekrano::dbase
