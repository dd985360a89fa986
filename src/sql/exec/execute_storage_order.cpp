// A SELECT over one table may read the source more cheaply than by walking its index order: only
// the records the index finds for a fixed start the WHERE condition requires, or every record in
// the order they are stored (sequential reads instead of one jump per record). The result must
// not show it: stored-order rows are put back into the walk's order unless what follows the scan
// would give the same result from any order.
#include <algorithm>
#include <exception>

#include "sql/exec/statement_run.h"
#include "sql/program/field_references.h"
#include "sql/results/result_set_order.h"

namespace vekrano::sql {
namespace {

bool orderFreeKinds(const TAggregateList& aggregates) {
  return std::all_of(aggregates.begin(), aggregates.end(), [](const TAggregateItem& aggregate) {
    return aggregate.kind == TAggregateKind::Min || aggregate.kind == TAggregateKind::Max ||
           aggregate.kind == TAggregateKind::Count;
  });
}

bool readsFields(const std::string& text) { return text.find(kFieldMarker) != std::string::npos; }

}  // namespace

bool TStatementRun::storageOrderAllowed() const {
  // Handlers see records one by one, and a subquery may walk the same source.
  if (tables_.size() != 1 || environment_.OnProgress || environment_.OnCancelQuery || environment_.OnUDFSolve ||
      !analizer_.whereSubqueries.empty()) {
    return false;
  }
  return std::none_of(analizer_.columns.begin(), analizer_.columns.end(),
                      [](const TColumnItem& column) { return !column.subqueries.empty(); });
}

bool TStatementRun::orderFreeAggregates() const {
  // A plain column or a field read beside the aggregates takes the first matching record's value.
  for (const TColumnItem& column : analizer_.columns) {
    if (column.aggregates.empty() || readsFields(column.expression) || !orderFreeKinds(column.aggregates)) {
      return false;
    }
  }
  return !readsFields(analizer_.havingText) && orderFreeKinds(analizer_.havingAggregates);
}

bool TStatementRun::visitSource(TResultSet& resultSet, const std::function<void()>& handleRecord,
                                bool mayUseStorageOrder) {
  if (!storageOrderAllowed()) return false;
  try {
    if (visitFieldPrefix(handleRecord)) return true;
    if (!mayUseStorageOrder) return false;
    const std::optional<std::vector<const dbase::TField*>> fieldsRead = sourceFieldsRead();
    storageOrdered_ = tables_.front().dataSet->visitInStorageOrder(handleRecord, fieldsRead ? &*fieldsRead : nullptr);
    return storageOrdered_;
  } catch (const std::exception&) {
    // Walked in its own order the source meets first the failure the user is to see.
    storageOrdered_ = false;
    resultSet.Truncate(0);
    return false;
  }
}

std::optional<std::vector<const dbase::TField*>> TStatementRun::sourceFieldsRead() const {
  const dbase::TDataSet& source = *tables_.front().dataSet;
  std::vector<const dbase::TField*> fields;
  bool known = true;
  const auto gather = [&](const std::string& text) {
    forEachReference(text, [&](const std::string& name) {
      const std::size_t dot = qualifierDot(name);
      const dbase::TField* field =
          source.FindField(withoutBrackets(dot == std::string::npos ? name : name.substr(dot + 1)));
      if (field == nullptr) known = false;
      if (field != nullptr && std::find(fields.begin(), fields.end(), field) == fields.end()) fields.push_back(field);
    });
  };
  for (const SelectColumn& column : columns_) gather(column.text);
  gather(analizer_.whereText);
  if (!known) return std::nullopt;
  return fields;
}

bool TStatementRun::visitFieldPrefix(const std::function<void()>& handleRecord) {
  const std::optional<TExpression::FieldPrefix> required = where_ ? where_->requiredFieldPrefix() : std::nullopt;
  dbase::TDataSet& source = *tables_.front().dataSet;
  const auto printable = [](char c) { return c >= ' ' && c <= '~'; };
  return required && &required->field->DataSet() == &source &&
         std::all_of(required->prefix.begin(), required->prefix.end(), printable) &&
         source.visitFieldPrefix(*required->field, required->prefix, handleRecord);
}

std::vector<int> TStatementRun::RowsInWalkOrder(const TResultSet& resultSet) const {
  const std::vector<std::int32_t> walk = tables_.front().dataSet->walkOrder();
  std::int32_t largest = 0;
  for (std::int32_t bookmark : walk) largest = std::max(largest, bookmark);
  std::vector<int> rankOf(static_cast<std::size_t>(largest) + 1, -1);
  for (std::size_t rank = 0; rank < walk.size(); ++rank) {
    if (walk[rank] >= 0) rankOf[static_cast<std::size_t>(walk[rank])] = static_cast<int>(rank);
  }
  // Each row goes to its record's place in the walk; a record the walk does not reach (appended
  // meanwhile) keeps its place after the others.
  std::vector<int> atRank(walk.size(), -1);
  std::vector<int> unreached;
  for (int row = 0; row < resultSet.RecordCount(); ++row) {
    const std::int32_t bookmark = resultSet.sourceBookmark(resultSet.Row(row));
    const int rank = bookmark >= 0 && bookmark <= largest ? rankOf[static_cast<std::size_t>(bookmark)] : -1;
    if (rank >= 0 && atRank[static_cast<std::size_t>(rank)] < 0) {
      atRank[static_cast<std::size_t>(rank)] = row;
    } else {
      unreached.push_back(row);
    }
  }
  std::vector<int> rows;
  rows.reserve(static_cast<std::size_t>(resultSet.RecordCount()));
  for (int row : atRank) {
    if (row >= 0) rows.push_back(row);
  }
  rows.insert(rows.end(), unreached.begin(), unreached.end());
  return rows;
}

void TStatementRun::restoreWalkOrder(TResultSet& resultSet) const {
  if (resultSet.RecordCount() < 2) return;
  std::vector<int> rowNumbers = RowsInWalkOrder(resultSet);
  for (int& row : rowNumbers) ++row;
  resultSet.reorder(rowNumbers);
}

}  // namespace vekrano::sql
