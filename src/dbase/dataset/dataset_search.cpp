// The generic dataset's bookmarks and its searching by field values.
#include <cassert>
#include <optional>

#include "common/code_page.h"
#include "dbase/dataset/database_error.h"
#include "dbase/dataset/dataset.h"
#include "dbase/dataset/field_convert.h"

namespace vekrano::dbase {
namespace {

bool IsTextType(TFieldType type) {
  return type == TFieldType::ftString || type == TFieldType::ftMemo || type == TFieldType::ftBlob ||
         type == TFieldType::ftBytes;
}

std::string variantText(const Variant& value) {
  if (const auto* text = std::get_if<std::string>(&value)) {
    return *text;
  }
  if (const auto* number = std::get_if<std::int64_t>(&value)) {
    return intToStr(*number);
  }
  if (const auto* real = std::get_if<double>(&value)) {
    return floatToStr(*real);
  }
  if (const auto* flag = std::get_if<bool>(&value)) {
    return *flag ? "True" : "False";
  }
  return {};
}

std::optional<double> variantNumber(const Variant& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value)) {
    return static_cast<double>(*number);
  }
  if (const auto* real = std::get_if<double>(&value)) {
    return *real;
  }
  if (const auto* flag = std::get_if<bool>(&value)) {
    return *flag ? 1.0 : 0.0;
  }
  if (const auto* text = std::get_if<std::string>(&value)) {
    return TextToFloat(*text);
  }
  return std::nullopt;
}

bool textMatches(std::string record, std::string key, TLocateOptions options) {
  if (options.Contains(TLocateOption::loPartialKey) && record.size() > key.size()) {
    record.resize(key.size());
  }
  if (options.Contains(TLocateOption::loCaseInsensitive)) {
    record = common::ansiUpper(record);
    key = common::ansiUpper(key);
  }
  return record == key;
}

bool fieldMatches(const TField& field, const Variant& key, TLocateOptions options) {
  if (isNullVariant(key) || field.IsNull()) {
    return isNullVariant(key) && field.IsNull();
  }
  if (IsTextType(field.DataType())) {
    return textMatches(field.AsString(), variantText(key), options);
  }
  if (field.DataType() == TFieldType::ftBoolean) {
    const auto* flag = std::get_if<bool>(&key);
    return flag != nullptr && *flag == field.AsBoolean();
  }
  const auto number = variantNumber(key);
  return number && *number == field.AsFloat();
}

// Restores the active buffer when a scan ends, however it ends.
class ActiveBufferGuard {
 public:
  ActiveBufferGuard(char*& active, char* replacement) : active_(active), saved_(active) { active_ = replacement; }
  ~ActiveBufferGuard() { active_ = saved_; }
  ActiveBufferGuard(const ActiveBufferGuard&) = delete;
  ActiveBufferGuard& operator=(const ActiveBufferGuard&) = delete;

 private:
  char*& active_;
  char* saved_;
};

// Keeps controls quiet for a scope.
class ControlsDisabledScope {
 public:
  explicit ControlsDisabledScope(TDataSet& dataSet) : dataSet_(dataSet) { dataSet_.DisableControls(); }
  ~ControlsDisabledScope() { dataSet_.EnableControls(); }
  ControlsDisabledScope(const ControlsDisabledScope&) = delete;
  ControlsDisabledScope& operator=(const ControlsDisabledScope&) = delete;

 private:
  TDataSet& dataSet_;
};

}  // namespace

// --- Bookmarks

bool TDataSet::hasCurrentBookmark() const {
  return Active() && activeBuffer_ != nullptr && (activeBuffer_ != currentBuffer_ || hasRecord_) &&
         GetBookmarkFlag(activeBuffer_) == TBookmarkFlag::bfCurrent;
}

TBookmark TDataSet::GetBookmark() const {
  if (!hasCurrentBookmark()) return {};
  TBookmark bookmark(bookmarkSize());
  GetBookmarkData(activeBuffer_, bookmark.data());
  return bookmark;
}

bool TDataSet::copyBookmark(char* data, std::size_t size) const {
  if (!hasCurrentBookmark() || static_cast<std::size_t>(bookmarkSize()) != size) return false;
  GetBookmarkData(activeBuffer_, data);
  return true;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
  checkBrowseMode();
  if (bookmark.empty()) {
    return;
  }
  assert(static_cast<int>(bookmark.size()) == bookmarkSize());
  doBeforeScroll();
  InternalGotoBookmark(bookmark.data());
  resync();
  doAfterScroll();
}

void TDataSet::FreeBookmark(TBookmark& bookmark) const { TBookmark().swap(bookmark); }

bool TDataSet::BookmarkValid(const TBookmark& bookmark) {
  return Active() && static_cast<int>(bookmark.size()) == bookmarkSize() && internalBookmarkValid(bookmark.data());
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) const {
  if (a.empty() || b.empty()) {
    return a.empty() == b.empty() ? 0 : (a.empty() ? -1 : 1);
  }
  return compareBookmarkData(a.data(), b.data());
}

// --- Searching

std::vector<TField*> TDataSet::FieldList(const std::string& names) const {
  std::vector<TField*> fields;
  std::size_t start = 0;
  while (start <= names.size()) {
    std::size_t end = names.find(';', start);
    if (end == std::string::npos) {
      end = names.size();
    }
    std::string name = names.substr(start, end - start);
    const std::size_t first = name.find_first_not_of(' ');
    const std::size_t last = name.find_last_not_of(' ');
    if (first != std::string::npos) {
      fields.push_back(&FieldByName(name.substr(first, last - first + 1)));
    }
    start = end + 1;
  }
  return fields;
}

bool TDataSet::Locate(const std::string& keyFields, const std::vector<Variant>& keyValues, TLocateOptions options) {
  checkBrowseMode();
  const std::vector<TField*> fields = FieldList(keyFields);
  assert(fields.size() == keyValues.size());
  doBeforeScroll();
  bool found = false;
  {
    // The records are read into the scratch buffer, so the current record stays in place when
    // nothing matches.
    ActiveBufferGuard scan(activeBuffer_, scratchBuffer_);
    InternalFirst();
    while (!found && GetRecord(scratchBuffer_, TGetMode::gmNext, true) == TGetResult::grOK) {
      found = true;
      for (std::size_t i = 0; i < fields.size() && found; ++i) {
        found = fieldMatches(*fields[i], keyValues[i], options);
      }
    }
  }
  if (found) {
    std::swap(currentBuffer_, scratchBuffer_);
    activeBuffer_ = currentBuffer_;
    hasRecord_ = true;
    bof_ = false;
    eof_ = false;
    doOnCalcFields();
    dataEvent(TDataEvent::deDataSetChange);
    doAfterScroll();
  }
  return found;
}

std::vector<Variant> TDataSet::Lookup(const std::string& keyFields, const std::vector<Variant>& keyValues,
                                      const std::string& resultFields) {
  checkBrowseMode();
  const std::vector<TField*> results = FieldList(resultFields);
  const TBookmark start = GetBookmark();
  std::vector<Variant> values;
  ControlsDisabledScope quiet(*this);
  TScrollEventsOff noScrolls(*this);
  if (Locate(keyFields, keyValues, {})) {
    for (const TField* field : results) {
      values.push_back(field->Value());
    }
    GotoBookmark(start);
  }
  return values;
}

}  // namespace vekrano::dbase
