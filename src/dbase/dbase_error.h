// The table engine's error routine: the process-wide current error code with its detail text,
// the texts of the codes, the automatic reporting switch and the exception EDorevError.
#pragma once

#include <functional>
#include <string>

#include "common/exception.h"

namespace vekrano::dbase {

// Codes the engine sets itself; operating-system errors use the low numbers (2, 5, 32, ...).
inline constexpr int kErrorDiskRead = 100;
inline constexpr int kErrorNotDbaseFile = 210;
inline constexpr int kErrorInvalidFieldType = 211;
inline constexpr int kErrorRequestBeyondRange = 212;
inline constexpr int kErrorUnexpectedEof = 213;
inline constexpr int kErrorInsufficientMemory = 217;
inline constexpr int kErrorInvalidParameter = 220;
inline constexpr int kErrorCorruptedIndex = 222;
inline constexpr int kErrorExpression = 351;
inline constexpr int kErrorWorkingPool = 354;
inline constexpr int kErrorUnknownDataType = 356;
inline constexpr int kErrorDivideByZero = 358;

// The text of a code, e.g. 210 "Not a dBASE data file"; "Undefined error" for unknown codes.
std::string ErrorCodeText(int code);

// "Error # <code> (<text of the code>)", "\r\n", then `detail`.
std::string ComposeErrorMessage(int code, const std::string& detail);

// The current error code (0: no error) and the detail text of the last failure.
int DbfErrorCode();
const std::string& DbfErrorText();

// Clears the current error code and detail text; every engine operation starts with it.
void ClearDbfError();

// The one reporting routine: stores `code` and `detail` as the current error. When automatic
// reporting is on, it also shows the composed message in a box captioned "Program halted."
// (prompts interface, stop icon) and then calls the process-end handler with `code`.
void DbfError(int code, const std::string& detail);

// Automatic reporting is on when the process starts; the application switches it off.
bool AutoErrorReporting();
void SetAutoErrorReporting(bool on);

// Switches automatic reporting off for its lifetime and restores the previous setting.
class SuspendAutoErrorReporting {
 public:
  SuspendAutoErrorReporting();
  ~SuspendAutoErrorReporting();
  SuspendAutoErrorReporting(const SuspendAutoErrorReporting&) = delete;
  SuspendAutoErrorReporting& operator=(const SuspendAutoErrorReporting&) = delete;

 private:
  bool saved_;
};

// Called by automatic reporting to end the process (default: std::exit(code)). Tests install
// one that records the code (and may throw to leave the failing operation). Returns the
// previous handler; an empty function restores the default.
using ProcessEndHandler = std::function<void(int exitCode)>;
ProcessEndHandler SetProcessEndHandler(ProcessEndHandler handler);

// The engine's exception; its message is ComposeErrorMessage(code, detail).
class EDorevError : public common::Exception {
 public:
  EDorevError(int code, const std::string& detail);
  int code() const { return code_; }

 private:
  int code_;
};

}  // namespace vekrano::dbase
