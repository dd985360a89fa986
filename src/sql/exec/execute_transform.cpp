// TRANSFORM aggregate SELECT ... PIVOT expression: the SELECT is run grouped by its own columns
// and the pivot value, and its rows are then turned into one row per group with one column per
// pivot value.
#include <algorithm>
#include <map>

#include "sql/exec/statement_run.h"

namespace vekrano::sql {
namespace {

// The bytes of a column in a row, presence word included: equal bytes are equal values.
std::string columnBytes(const TSqlField& column, const char* row) {
  return std::string(row + column.Offset(), kPresenceSize + column.storageSize());
}

bool pivotBefore(const TSqlField& pivot, const char* a, const char* b) {
  if (pivot.IsNull(a) || pivot.IsNull(b)) return pivot.IsNull(a) && !pivot.IsNull(b);
  if (pivot.Type() == ttString) return pivot.AsString(a) < pivot.AsString(b);
  return pivot.AsFloat(a) < pivot.AsFloat(b);
}

}  // namespace

void copyColumnValue(const TSqlField& from, const char* source, const TSqlField& into, char* row) {
  if (from.IsNull(source)) return;
  switch (into.Type()) {
    case ttString: into.setAsString(row, from.AsString(source)); break;
    case ttFloat: into.setAsFloat(row, from.AsFloat(source)); break;
    case ttInteger: into.setAsInteger(row, from.AsInteger(source)); break;
    case ttBoolean: into.setAsBoolean(row, from.AsBoolean(source)); break;
  }
}

void TStatementRun::addTransformColumns() {
  TColumnItem pivot;
  pivot.expression = analizer_.pivotText;
  analizer_.columns.push_back(std::move(pivot));
  analizer_.groupBy.push_back(TOrderByItem{static_cast<int>(analizer_.columns.size()), {}, false});
  analizer_.columns.push_back(std::move(*analizer_.transformColumn));
  analizer_.transformColumn.reset();
}

std::unique_ptr<TResultSet> TStatementRun::crossTab(const TResultSet& grouped) const {
  const std::vector<const TSqlField*> fields = grouped.visibleFields();
  const std::size_t groupCount = fields.size() - 2;
  const TSqlField& pivot = *fields[groupCount];
  const TSqlField& value = *fields[groupCount + 1];

  // One column per pivot value, in ascending order of the values.
  std::vector<const char*> pivotRows;
  for (int r = 0; r < grouped.RecordCount(); ++r) {
    const char* row = grouped.Row(r);
    const bool known = std::any_of(pivotRows.begin(), pivotRows.end(), [&](const char* other) {
      return columnBytes(pivot, other) == columnBytes(pivot, row);
    });
    if (!known) pivotRows.push_back(row);
  }
  std::stable_sort(pivotRows.begin(), pivotRows.end(),
                   [&](const char* a, const char* b) { return pivotBefore(pivot, a, b); });

  auto result = makeResultSet(environment_.storage);
  for (std::size_t c = 0; c < groupCount; ++c) {
    TSqlField& field = result->AddField(
        makeSqlField(fields[c]->Name(), fields[c]->Expression(), fields[c]->Type(), fields[c]->Width()));
    field.setSourceField(fields[c]->sourceField());
    field.setCast(fields[c]->Cast());
  }
  std::map<std::string, int> columnOfPivot;
  for (const char* row : pivotRows) {
    columnOfPivot[columnBytes(pivot, row)] = result->Fields().Count();
    const std::string name = pivot.IsNull(row) ? std::string() : pivot.AsString(row);
    result->AddField(makeSqlField(name, value.Expression(), value.Type(), value.Width()));
  }

  // One row per group, in the order in which the groups first appear.
  std::map<std::string, int> rowOfGroup;
  for (int r = 0; r < grouped.RecordCount(); ++r) {
    const char* source = grouped.Row(r);
    std::string group;
    for (std::size_t c = 0; c < groupCount; ++c) group += columnBytes(*fields[c], source);
    auto [at, isNew] = rowOfGroup.try_emplace(group, result->RecordCount());
    if (isNew) {
      result->Insert();
      for (std::size_t c = 0; c < groupCount; ++c) {
        copyColumnValue(*fields[c], source, result->Fields()[static_cast<int>(c)], result->currentRow());
      }
    }
    const int column = columnOfPivot.at(columnBytes(pivot, source));
    copyColumnValue(value, source, result->Fields()[column], result->Row(at->second));
  }
  return result;
}

}  // namespace vekrano::sql
