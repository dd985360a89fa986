// The failure the index layer reports: an engine error code and the detail text of the step.
#pragma once

#include <string>

#include "common/exception.h"

namespace vekrano::dbase {

// Carries the composed message "Error # <code> (<text of the code>)\r\n<detail>".
class MdxFailure : public common::Exception {
 public:
  MdxFailure(int code, const std::string& detail);
  int code() const { return code_; }
  const std::string& detail() const { return detail_; }

 private:
  int code_;
  std::string detail_;
};

// Error codes the index layer reports.
namespace mdx_code {
inline constexpr int kFileNotFound = 2;
inline constexpr int kRequestBeyondRange = 212;
inline constexpr int kInsufficientMemory = 217;
inline constexpr int kInvalidParameter = 220;
inline constexpr int kIndexNotOpen = 221;
inline constexpr int kCorruptedIndex = 222;
inline constexpr int kExclusiveRequired = 225;
inline constexpr int kInsufficientDisk = 227;
inline constexpr int kInternal = 254;
inline constexpr int kInvalidSize = 266;
inline constexpr int kExpressionTooLong = 300;
inline constexpr int kSemaphore = 1202;
}  // namespace mdx_code

}  // namespace vekrano::dbase
