// The engine's current error, the texts of its codes and the automatic reporting.
#include "dbase/dbase_error.h"

#include <cstdlib>
#include <map>

#include "common/prompts.h"

namespace vekrano::dbase {
namespace {

struct ErrorState {
  int code = 0;
  std::string detail;
  bool autoReport = true;
  ProcessEndHandler endProcess;
};

// Never destroyed: tables closed by static destructors at exit still report through it.
ErrorState& state() {
  static ErrorState* s = new ErrorState;
  return *s;
}

const std::map<int, const char*>& codeTexts() {
  static const std::map<int, const char*> texts = {
      {1, "Invalid DOS function code"},
      {2, "File not found"},
      {3, "Path not found"},
      {4, "Too many open files"},
      {5, "File access denied"},
      {6, "Invalid file handle"},
      {8, "Not enough memory"},
      {9, "Memory block address invalid"},
      {10, "Environment invalid"},
      {11, "Format invalid"},
      {12, "Invalid file access code"},
      {13, "Data invalid"},
      {14, "Unknown unit"},
      {15, "Invalid drive number"},
      {16, "Cannot remove current directory"},
      {17, "Cannot rename across drives"},
      {18, "Disk write-protected"},
      {19, "Disk write-protected"},
      {20, "Unknown unit"},
      {21, "Drive not ready"},
      {22, "Unknown command"},
      {23, "CRC error in data"},
      {24, "Bad drive request structure length"},
      {25, "Disk seek error"},
      {26, "Unknown media type"},
      {27, "Disk sector not found"},
      {28, "Printer out of paper"},
      {29, "Device write fault"},
      {30, "Device read fault"},
      {31, "General failure"},
      {32, "File sharing violation"},
      {33, "File lock violation"},
      {34, "Disk change invalid"},
      {35, "File Control Block unavailable"},
      {36, "File sharing buffer overflow"},
      {50, "Unsupported network request"},
      {51, "Remote machine not listening"},
      {52, "Duplicate name on network"},
      {53, "Network name not found"},
      {54, "Network busy"},
      {55, "Device no longer exists on network"},
      {56, "Net-Bios command limit exceeded"},
      {57, "Error in network adapter hardware"},
      {58, "Incorrect response from network"},
      {59, "Unexpected network error"},
      {60, "Remote adapter incompatible"},
      {100, "Disk read error"},
      {101, "Disk write error (probable cause: Disk Full)."},
      {102, "File not assigned"},
      {103, "File not open"},
      {104, "File not open for input"},
      {105, "File not open for output"},
      {106, "Invalid numeric format"},
      {150, "Disk write-protected"},
      {151, "Unknown unit"},
      {152, "Drive not ready"},
      {153, "Unknown command"},
      {154, "CRC error in data"},
      {155, "Bad drive request structure length"},
      {156, "Disk seek error"},
      {157, "Unknown media type"},
      {158, "Disk sector not found"},
      {159, "Printer out of paper"},
      {160, "Device write fault"},
      {161, "Device read fault"},
      {162, "File sharing violation"},
      {200, "Division by zero error"},
      {201, "Range check error"},
      {202, "Stack overflow error"},
      {203, "Heap overflow error"},
      {204, "Invalid pointer operation"},
      {205, "Floating point overflow"},
      {206, "Floating point underflow"},
      {207, "Invalid floating point operation"},
      {208, "Overlay-manager not installed"},
      {209, "Overlay file read error"},
      {210, "Not a dBASE data file"},
      {211, "Invalid database field type encountered"},
      {212, "Request beyond range"},
      {213, "End of file found unexpectedly"},
      {214, "File already in use"},
      {215, "No database in use"},
      {216, "GP Fault"},
      {217, "Insufficient memory"},
      {218, "Invalid pointer specified"},
      {219, "Cannot duplicate file handle"},
      {220, "Invalid parameter"},
      {221, "Index file not open"},
      {222, "Corrupted index file"},
      {223, "Index version mismatch"},
      {224, "Cyclical relationship detected"},
      {225, "Exclusive Use() required"},
      {226, "BROWSE not active"},
      {227, "Insufficient disk space "},
      {228, "Unbalanced Push/Pop operation "},
      {229, "dBASE IV memo files not supported"},
      {230, "No dBASE memory variables loaded"},
      {231, "Screen library not open"},
      {239, "Missing colon in time"},
      {240, "Non-numeric character in time"},
      {241, "Invalid time specified"},
      {242, "Negative time specified"},
      {243, "TimeDiff result negative"},
      {254, "Dorev internal error"},
      {266, "Invalid size"},
      {1003, "Invalid memo address"},
      {1004, "Disk full"},
      {1005, "Memo file write error"},
      {1007, "Memo file is already open"},
      {1012, "Insufficient disk space to pack memo file"},
      {1017, "Cannot lock memo file"},
      {1018, "Cannot unlock memo file"},
      {1019, "Invalid memo operation: database not open or no memo field in database"},
      {1100, "Not a valid operation on Linked List"},
      {1101, "Virtual File Manager Unit not Linked in"},
      {1102, "Virtual File Memory Management Error"},
      {1103, "Invalid Operation "},
      {1200, "Record not locked"},
      {1201, "File not locked"},
      {1202,
       "Semaphore file error. Possible solutions: log into network or load SHARE.EXE before "
       "running Windows"},
      {1300, "File format not supported"},
  };
  return texts;
}

constexpr int kFirstNetworkError = 1203;
constexpr int kLastNetworkError = 1299;

}  // namespace

std::string errorCodeText(int code) {
  if (code >= kFirstNetworkError && code <= kLastNetworkError) return "Network Error";
  const auto found = codeTexts().find(code);
  return found == codeTexts().end() ? "Undefined error" : found->second;
}

std::string composeErrorMessage(int code, const std::string& detail) {
  return "Error # " + std::to_string(code) + " (" + errorCodeText(code) + ")\r\n" + detail;
}

int dbfErrorCode() { return state().code; }
const std::string& dbfErrorText() { return state().detail; }

void clearDbfError() {
  state().code = 0;
  state().detail.clear();
}

bool lastingWriteFailure(int code) {
  return code == kErrorDiskWrite || code == kErrorFileAccessDenied || code == kErrorWriteProtected ||
         code == kErrorDiskWriteProtected || code == kErrorInsufficientDisk || code == kErrorMemoDiskFull;
}

void dbfError(int code, const std::string& detail) {
  ErrorState& s = state();
  s.code = code;
  s.detail = detail;
  if (!s.autoReport) return;
  common::prompts().show(common::Prompt{"Program halted.", composeErrorMessage(code, detail), common::PromptKind::Error,
                                        common::PromptButtons::Ok});
  if (s.endProcess) {
    s.endProcess(code);
  } else {
    std::exit(code);
  }
}

bool autoErrorReporting() { return state().autoReport; }
void setAutoErrorReporting(bool on) { state().autoReport = on; }

SuspendAutoErrorReporting::SuspendAutoErrorReporting() : saved_(state().autoReport) { state().autoReport = false; }

SuspendAutoErrorReporting::~SuspendAutoErrorReporting() { state().autoReport = saved_; }

ProcessEndHandler setProcessEndHandler(ProcessEndHandler handler) {
  ProcessEndHandler previous = std::move(state().endProcess);
  state().endProcess = std::move(handler);
  return previous;
}

EDorevError::EDorevError(int code, const std::string& detail)
    : common::Exception(composeErrorMessage(code, detail)), code_(code) {}

}  // namespace vekrano::dbase
