// The failure the index layer throws inside itself: an engine error code with its detail text, and
// whether the failure is raised to the caller or only recorded as the current error.
#pragma once

#include <cstdint>
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

// Every failure of the index layer, its text beside its code. `file` is an index file's name,
// `place` an index file and tag as "<file> [tag: <tag>]", `call` the operation in brackets.
inline constexpr char kIndexWriteFailed[] = "Error writing index file: ";
inline constexpr char kIndexReadFailed[] = "Error reading index file: ";
inline constexpr char kIndexCorrupted[] = "Index file corrupted. ";
inline constexpr MdxFailure::Report kRaise = MdxFailure::Report::Raise;

inline MdxFailure indexNotOpen(const std::string& where) {
  return {kErrorIndexNotOpen, "Index not open." + where, kRaise};
}
inline MdxFailure indexFileMissing(const std::string& file) { return {kErrorFileNotFound, "SetIndexTo(" + file + ")"}; }
inline MdxFailure indexUnopenable(int code, const std::string& file, MdxFailure::Report report) {
  return {code, "Unable to open index: " + file, report};
}
inline MdxFailure indexKeyUnreadable(const std::string& file) {
  return {kErrorCorruptedIndex, "Invalid dBASE key expression or corrupted index file " + file, kRaise};
}
// `where`: " <file>" when opening, " [AddIndexTag()]" when building.
inline MdxFailure keyLengthOutOfRange(const std::string& where, MdxFailure::Report report) {
  return {kErrorInvalidSize, "Incorrect key length: Must be 1 to 100." + where, report};
}
inline MdxFailure anchorLockRefused(const std::string& place) {
  return {kErrorSemaphore, "Could not lock index for writing anchor node " + place, kRaise};
}
inline MdxFailure anchorWriteFailed(int code, const std::string& place) {
  return {code, kIndexWriteFailed + (" " + place + " [WriteAnchor]"), kRaise};
}
inline MdxFailure anchorsUnreadable(const std::string& file) {
  return {kErrorDiskRead, kIndexReadFailed + (" " + file + " [ReadAnchorNodes]")};
}
// `call` e.g. "Set_Order_To(3)", `where` " (DBF=<table>)".
inline MdxFailure invalidOrder(const std::string& call, const std::string& where) {
  return {kErrorInvalidParameter, "Invalid Index Order Specified: SET_ORDER_TO. [" + call + "]" + where, kRaise};
}
inline MdxFailure findInRecordOrder() {
  return {kErrorInternal, "Cannot use Find() with index order 0 (natural order) [Find]"};
}
inline MdxFailure nodeNumberZero(int area, int order) {
  return {kErrorInternal, "Invalid Node Number (0) in DBF Area " + std::to_string(area) + ", Order " +
                              std::to_string(order) + " [GetNode]"};
}
inline std::string tagPlace(const std::string& file, const std::string& tag) { return file + " [tag: " + tag + "]"; }

inline MdxFailure nodeCorrupted(const std::string& place) {
  return {kErrorCorruptedIndex, kIndexCorrupted + place + " [GetNode]"};
}
inline MdxFailure keyRemovalFailed(const std::string& place) {
  return {kErrorInternal, kIndexCorrupted + place + " [AppendNewKey]"};
}
inline MdxFailure recordNumberNotInIndex(std::uint32_t record, const std::string& place) {
  return {kErrorInternal,
          "Record number " + std::to_string(record) + " not found in index. " + place + " [CompareKeys]"};
}
inline MdxFailure nodeReadFailed(const std::string& place) {
  return {kErrorDiskRead, kIndexReadFailed + place + " [SeekAndRead]"};
}
inline MdxFailure nodeWriteFailed(const std::string& place) {
  return {kErrorDiskWrite, kIndexWriteFailed + place + " [SeekAndWrite]"};
}
// A record's key not found under a tag; `call` "SyncIndex-2", "SoftSyncIndex", ...
inline MdxFailure keyNotInIndex(const std::string& key, const std::string& place, std::uint32_t record) {
  return {kErrorRequestBeyondRange,
          "Key: \"" + key + "\" not in index: " + place + ". [SyncIndex-1] Record: " + std::to_string(record)};
}
inline MdxFailure recordNotInIndex(const std::string& key, const std::string& place, const std::string& call) {
  return {kErrorRequestBeyondRange, "Record with key: \"" + key + "\" not in index: " + place + ". [" + call + "]"};
}

// Building. `file` the index being made.
inline MdxFailure buildFailed(int code, const std::string& file) { return {code, "MakeIndex(" + file + ")"}; }
inline MdxFailure buildNeedsExclusiveUse(const std::string& table, const std::string& file) {
  return {kErrorExclusiveRequired, table + " MakeIndex(" + file + ")"};
}
// `call` " [CreateMdxHeader]", " [MakeIndex]", " [AddIndexTag()]".
inline MdxFailure buildWriteFailed(int code, const std::string& file, const char* call) {
  return {code, kIndexWriteFailed + file + call};
}
inline MdxFailure treeWriteFailed(int code) { return {code, "Error writing index file [MakeIndex]"}; }
inline MdxFailure workFileUnnamed(int code) { return {code, "Error requesting unique file name [UniqueFilename]"}; }
inline MdxFailure workFileWriteFailed() { return {kErrorDiskWrite, "Error writing work file [MakeIndex]"}; }
inline MdxFailure workFileReadFailed() { return {kErrorDiskRead, "Error reading work file [MakeIndex]"}; }
inline MdxFailure diskSpaceShort(std::uint64_t availableBytes, std::uint64_t neededBytes) {
  return {kErrorInsufficientDisk, "Available disk space: " + std::to_string(availableBytes / 1024) +
                                      " KBytes; needed: " + std::to_string(neededBytes / 1024) + " KBytes [MakeIndex]"};
}
inline MdxFailure conditionInvalid(int code, const std::string& tag) {
  return {code, "Invalid FOR expression for " + tag + " [AddIndexTag()]"};
}
inline MdxFailure expressionTooLong() {
  return {kErrorExpressionTooLong, "Expression length exceeds 100 bytes [AddIndexTag()]"};
}
inline MdxFailure keyTypeWrong() { return {kErrorInternal, "Wrong parser return type [AddIndexTag()]"}; }

}  // namespace vekrano::dbase
