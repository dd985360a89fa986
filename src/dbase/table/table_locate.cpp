// Locate and Lookup of the table dataset: through the controlling index when one is active, else a
// scan in physical record order comparing the fields as text.
#include <cmath>

#include "common/code_page.h"
#include "common/scope_exit.h"
#include "dbase/dbase_error.h"
#include "dbase/dbf_number.h"
#include "dbase/dataset/field_convert.h"
#include "dbase/table/table_dataset.h"
#include "dbase/table/table_work_areas.h"

namespace vekrano::dbase {
namespace {

constexpr std::size_t kMaxSearchLength = 100;

std::string ValueText(const Variant& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* number = std::get_if<std::int64_t>(&value)) return intToStr(*number);
  if (const auto* real = std::get_if<double>(&value)) return floatToStr(*real);
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "T" : "F";
  return {};
}

double valueNumber(const Variant& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value)) return static_cast<double>(*number);
  if (const auto* real = std::get_if<double>(&value)) return *real;
  if (const auto* text = std::get_if<std::string>(&value)) return TextToFloat(*text).value_or(0);
  return 0;
}

// One key field of a scan: the search text, and the record's text formed the same way.
struct ScanKey {
  int field;
  std::string search;
};

std::string paddedTo(std::string text, std::size_t length) {
  if (text.size() < length) text.resize(length, ' ');
  return text;
}

std::string numberText(double value, const DbfTable& table, int field) {
  return formatNumber(value, table.FieldLen(field), table.FieldDec(field));
}

std::string RecordText(const DbfTable& table, int field) {
  switch (table.FieldType(field)) {
    case 'C': return paddedTo(table.getString(field), static_cast<std::size_t>(table.FieldLen(field)));
    case 'N':
    case 'F':
      return numberText(table.FieldDec(field) > 0 ? table.getDouble(field) : table.getInteger(field), table, field);
    case 'L': return table.getLogical(field) ? "T" : "F";
    case 'D': return table.getDate(field);
    default: return {};
  }
}

std::string SearchText(const Variant& value, const DbfTable& table, int field, bool partial) {
  switch (table.FieldType(field)) {
    case 'C':
      return partial ? ValueText(value) : paddedTo(ValueText(value), static_cast<std::size_t>(table.FieldLen(field)));
    case 'N':
    case 'F': return numberText(valueNumber(value), table, field);
    case 'D': {
      const auto* date = std::get_if<double>(&value);
      return date != nullptr ? dateTimeToStr(*date, false) : ValueText(value);
    }
    default: return ValueText(value);
  }
}

bool matches(std::string record, std::string search, TLocateOptions options) {
  if (options.Contains(TLocateOption::loPartialKey)) {
    search.erase(search.find_last_not_of(' ') + 1);
    if (record.size() > search.size()) record.resize(search.size());
  }
  if (options.Contains(TLocateOption::loCaseInsensitive)) {
    record = common::ansiUpper(record);
    search = common::ansiUpper(search);
  }
  return record == search;
}

}  // namespace

bool TTzDbf::Locate(const std::string& keyFields, const std::vector<Variant>& keyValues, TLocateOptions options) {
  checkBrowseMode();
  WorkArea& area = Area("Locate");
  doBeforeScroll();
  if (!indexActive()) return locateScan(keyFields, keyValues, options);
  std::string text;
  for (const Variant& value : keyValues) text += ValueText(value);
  text = text.substr(0, kMaxSearchLength);
  clearDbfError();
  const bool found =
      options.Contains(TLocateOption::loPartialKey) ? area.index->Find(text) : area.index->FindExact(text);
  if (!found && dbfErrorCode() != 0) tzCheck(dbfErrorCode());
  if (found) {
    onRecord_ = true;
    atBeginning_ = atEnd_ = false;
  } else {
    goToEnd();
  }
  resync();
  // Not found also moves: to the end of the table.
  doAfterScroll();
  return found;
}

bool TTzDbf::locateScan(const std::string& keyFields, const std::vector<Variant>& keyValues, TLocateOptions options) {
  WorkArea& area = getWorkArea(area_);
  std::vector<ScanKey> keys;
  std::size_t start = 0;
  for (const Variant& value : keyValues) {
    std::size_t end = keyFields.find(';', start);
    if (end == std::string::npos) end = keyFields.size();
    const std::string name = keyFields.substr(start, end - start);
    const int field = area.table.FieldNo(name);
    if (field == 0) FieldByName(name);  // raises the platform's "field not found"
    keys.push_back({field, SearchText(value, area.table, field, options.Contains(TLocateOption::loPartialKey))});
    start = end + 1;
  }
  const std::int32_t count = CountRecords();
  for (std::int32_t n = 1; n <= count; ++n) {
    if (!readRecord(n) || !Visible()) continue;
    bool match = true;
    for (const ScanKey& key : keys) match = match && matches(RecordText(area.table, key.field), key.search, options);
    if (match) {
      onRecord_ = false;  // force the index to follow the record found
      if (!goToRecord(n)) return false;
      resync();
      doAfterScroll();
      return true;
    }
  }
  return false;
}

std::vector<Variant> TTzDbf::Lookup(const std::string& keyFields, const std::vector<Variant>& keyValues,
                                    const std::string& resultFields) {
  checkBrowseMode();
  const TBookmark start = GetBookmark();
  std::vector<Variant> values;
  TScrollEventsOff noScrolls(*this);
  DisableControls();
  const common::ScopeExit enabled([&] { EnableControls(); });
  if (Locate(keyFields, keyValues, {})) {
    std::size_t from = 0;
    while (from <= resultFields.size()) {
      std::size_t end = resultFields.find(';', from);
      if (end == std::string::npos) end = resultFields.size();
      values.push_back(FieldByName(resultFields.substr(from, end - from)).Value());
      from = end + 1;
    }
  }
  if (start.empty()) {
    First();
  } else {
    GotoBookmark(start);
  }
  return values;
}

}  // namespace vekrano::dbase
