// The table engine's error routine: the process-wide current error code with its detail text,
// the texts of the codes, the automatic reporting switch and the exception EDorevError.
//
// How each layer of the engine fails:
// - dbf/ and key_expr/: an operation returns false (or an empty result) and leaves the code and
//   the detail text as the current error through dbfError.
// - mdx/: the same at every public operation of the index. Inside, a failure unwinds as an
//   MdxFailure to that operation (MdxIndex::guarded), which records it as the current error and
//   returns false, or raises it as EDorevError where the index must stop its caller.
// - table/ and dataset/, and everything above them: exceptions. The table dataset turns a
//   current error into one with tzCheck; the dataset layer raises EDatabaseError; an operation
//   ended on purpose raises common::EAbort, which no error display shows.
// Every code is declared below, once; detail texts shared by several operations are declared
// once in their layer (mdx/mdx_failure.h).
#pragma once

#include <functional>
#include <string>

#include "common/exception.h"

namespace vekrano::dbase {

// Codes the engine sets itself; operating-system errors use the low numbers (2, 5, 32, ...).
inline constexpr int kErrorFileNotFound = 2;
inline constexpr int kErrorFileAccessDenied = 5;
inline constexpr int kErrorFormatInvalid = 11;
inline constexpr int kErrorWriteProtected = 19;
inline constexpr int kErrorDiskRead = 100;
inline constexpr int kErrorDiskWrite = 101;
inline constexpr int kErrorDiskWriteProtected = 150;
inline constexpr int kErrorNotDbaseFile = 210;
inline constexpr int kErrorInvalidFieldType = 211;
inline constexpr int kErrorRequestBeyondRange = 212;
inline constexpr int kErrorUnexpectedEof = 213;
inline constexpr int kErrorInsufficientMemory = 217;
inline constexpr int kErrorInvalidParameter = 220;
inline constexpr int kErrorIndexNotOpen = 221;
inline constexpr int kErrorCorruptedIndex = 222;
inline constexpr int kErrorIndexVersionMismatch = 223;
inline constexpr int kErrorExclusiveRequired = 225;
inline constexpr int kErrorInsufficientDisk = 227;
inline constexpr int kErrorInternal = 254;
inline constexpr int kErrorInvalidSize = 266;
inline constexpr int kErrorMemoDiskFull = 1004;
inline constexpr int kErrorExpressionTooLong = 300;
inline constexpr int kErrorExpression = 351;
inline constexpr int kErrorWorkingPool = 354;
inline constexpr int kErrorUnknownDataType = 356;
inline constexpr int kErrorDivideByZero = 358;
inline constexpr int kErrorInvalidOperation = 1103;
inline constexpr int kErrorRecordNotLocked = 1200;
inline constexpr int kErrorSemaphore = 1202;
// Codes of the table dataset's own failures (see tzCheck).
inline constexpr int kTzOpenFailed = 1401;
inline constexpr int kTzAtBeginning = 1402;
inline constexpr int kTzAtEnd = 1403;
inline constexpr int kTzMissingFileName = 1404;

// The text of a code, e.g. 210 "Not a dBASE data file"; "Undefined error" for unknown codes.
std::string errorCodeText(int code);

// "Error # <code> (<text of the code>)", "\r\n", then `detail`.
std::string composeErrorMessage(int code, const std::string& detail);

// The current error code (0: no error) and the detail text of the last failure.
int dbfErrorCode();
const std::string& dbfErrorText();

// Clears the current error code and detail text; every engine operation starts with it.
void clearDbfError();

// True for a write refused for a cause that trying again does not remove: a full disk, a file or
// disk that may not be written.
bool lastingWriteFailure(int code);

// The one reporting routine: stores `code` and `detail` as the current error. When automatic
// reporting is on, it also shows the composed message in a box captioned "Program halted."
// (prompts interface, stop icon) and then calls the process-end handler with `code`.
void dbfError(int code, const std::string& detail);

// Automatic reporting is on when the process starts; the application switches it off.
bool autoErrorReporting();
void setAutoErrorReporting(bool on);

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
ProcessEndHandler setProcessEndHandler(ProcessEndHandler handler);

// The engine's exception; its message is composeErrorMessage(code, detail).
class EDorevError : public common::Exception {
 public:
  EDorevError(int code, const std::string& detail);
  int code() const { return code_; }

 private:
  int code_;
};

}  // namespace vekrano::dbase
