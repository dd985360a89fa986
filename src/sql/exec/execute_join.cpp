// SELECT over several tables: nested loops over the FROM tables, joined by JOIN ... ON
// conditions or by equalities between their fields in WHERE. Each table is read once into a
// snapshot of its own, so that a table named twice (a self-join) has two cursors, and every
// snapshot ends with one row whose fields are all null: the row an outer join stands on where
// the table has no matching record.
#include <algorithm>
#include <optional>
#include <regex>
#include <unordered_map>

#include "common/code_page.h"
#include "sql/exec/statement_run.h"
#include "sql/errors.h"
#include "sql/query/query.h"
#include "sql/query_messages.h"

namespace vekrano::sql {
namespace {

// The rows of one joined table that a leading equality of the WHERE can pair with the current
// rows of the tables before it: by the value of its field, the rows holding it, in row order.
struct EqualityProbe {
  const TExpression* earlier = nullptr;  // the field of an earlier table
  TExprType type = ttString;
  std::unordered_map<std::string, std::vector<int>> rows;
};

// The value of a field node as the equality compares it; nothing when null, which equals nothing.
std::optional<std::string> equalityKey(const TExpression& field, TExprType type) {
  if (type == ttString) return field.stringOrNull();
  if (field.IsNull()) return std::nullopt;
  const std::int32_t value = field.AsInteger();
  return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// For each FROM table after the first that only the WHERE joins (inner joins without ON): the
// rows of its snapshot by the value of a field that a leading equality of the WHERE ties to a
// field of an earlier table. Nothing for the tables to walk.
std::vector<std::optional<EqualityProbe>> equalityProbes(const std::vector<TBoundTable>& tables,
                                                         const std::vector<int>& snapshotRows, const TExpression* where,
                                                         const std::vector<TExprPtr>& conditions,
                                                         const std::vector<TJoinKind>& kinds) {
  std::vector<std::optional<EqualityProbe>> probes(tables.size());
  std::vector<TExpression::FieldEquality> equalities;
  // Outer joins and ON conditions look at rows that meet no equality: those tables are walked.
  if (!where || std::any_of(kinds.begin(), kinds.end(), [](TJoinKind kind) { return kind != TJoinKind::Inner; })) {
    return probes;
  }
  where->leadingFieldEqualities(equalities);
  const auto tableOf = [&](const dbase::TField* field) {
    for (std::size_t t = 0; t < tables.size(); ++t) {
      if (&field->DataSet() == tables[t].dataSet) return t;
    }
    return tables.size();
  };
  for (const TExpression::FieldEquality& equality : equalities) {
    std::size_t left = tableOf(equality.leftField);
    std::size_t right = tableOf(equality.rightField);
    const TExpression* own = equality.left;
    const TExpression* earlier = equality.right;
    if (left < right) {
      std::swap(left, right);
      std::swap(own, earlier);
    }
    if (left >= tables.size() || left == right || probes[left] || conditions[left]) continue;
    EqualityProbe probe;
    probe.earlier = earlier;
    probe.type = equality.type;
    dbase::TDataSet& dataSet = *tables[left].dataSet;
    dataSet.First();
    for (int r = 0; r < snapshotRows[left]; ++r, dataSet.Next()) {
      if (const std::optional<std::string> key = equalityKey(*own, equality.type)) probe.rows[*key].push_back(r);
    }
    probes[left] = std::move(probe);
  }
  return probes;
}

// The qualifier of a rewritten field reference name ("table.field"), brackets removed.
std::string qualifierOf(const std::string& reference) {
  std::string qualifier = reference.substr(0, reference.find('.'));
  if (qualifier.size() >= 2 && qualifier.front() == '[') qualifier = qualifier.substr(1, qualifier.size() - 2);
  return common::ansiUpper(qualifier);
}

}  // namespace

std::unique_ptr<TSqlQuery> TStatementRun::takeSnapshot(dbase::TDataSet& source) const {
  auto snapshot = std::make_unique<TSqlQuery>();
  snapshot->AutoDisableControls = false;
  snapshot->ShowWaitCursor = false;
  snapshot->ResultsInMemory = environment_.storage.inMemory;
  snapshot->TempFileCapacity = environment_.storage.fileCapacity;
  snapshot->DataSets().Add("source", &source);
  // Every field, hidden ones too, so that a statement may name them as it may on the table
  // itself; they stay hidden from "*".
  std::string columns;
  for (int i = 0; i < source.FieldCount(); ++i) {
    columns += (i == 0 ? "[" : ", [") + source.Fields(i).FieldName() + "]";
  }
  snapshot->SQL().Add("select " + columns + " from source");
  snapshot->Open();
  for (int i = 0; i < source.FieldCount(); ++i) {
    snapshot->Fields(i).setVisible(source.Fields(i).Visible());
  }
  return snapshot;
}

void TStatementRun::takeSnapshots() {
  for (TBoundTable& table : tables_) {
    std::unique_ptr<TSqlQuery> snapshot = takeSnapshot(*table.dataSet);
    snapshotRows_.push_back(snapshot->RecordCount());
    snapshot->CurrentResultSet()->Insert();
    table.dataSet = snapshot.get();
    snapshots_.push_back(std::move(snapshot));
  }
}

void TStatementRun::checkJoinDefined() const {
  if (!analizer_.joins.empty()) return;
  // An equality between fields of two different tables joins them.
  static const std::regex equality("\x0C\"([^\"]*)\" = \x0C\"([^\"]*)\"");
  const std::string& where = analizer_.whereText;
  for (auto it = std::sregex_iterator(where.begin(), where.end(), equality); it != std::sregex_iterator(); ++it) {
    if (qualifierOf((*it)[1].str()) != qualifierOf((*it)[2].str())) return;
  }
  throw ESqlQueryError(messages::kNoJoin);
}

void TStatementRun::scanJoined(TResultSet& resultSet) {
  checkJoinDefined();
  const std::size_t count = tables_.size();
  std::vector<TExprPtr> conditions(count);
  std::vector<TJoinKind> kinds(count, TJoinKind::Inner);
  for (const TJoinOnItem& join : analizer_.joins) {
    if (join.tableIndex >= count || join.tableIndex == 0) throw ESqlQueryError(messages::kJoinNames);
    conditions[join.tableIndex] = Parse(join.condition);
    if (conditions[join.tableIndex]->exprType() != ttBoolean) {
      throw ESqlQueryError(messages::kWhereNotBoolean);
    }
    kinds[join.tableIndex] = join.kind;
  }
  const auto keepsUnmatched = [&](std::size_t t, bool right) {
    return kinds[t] == TJoinKind::FullOuter || kinds[t] == (right ? TJoinKind::RightOuter : TJoinKind::LeftOuter);
  };
  const std::vector<std::optional<EqualityProbe>> probes =
      equalityProbes(tables_, snapshotRows_, where_.get(), conditions, kinds);
  // Rows of each table that met their ON condition at least once.
  std::vector<std::vector<bool>> matchedRows(count);
  for (std::size_t t = 0; t < count; ++t) matchedRows[t].assign(static_cast<std::size_t>(snapshotRows_[t]), false);

  std::function<void(std::size_t)> loop = [&](std::size_t t) {
    if (t == count) {
      if (!where_ || where_->AsBoolean()) fillRow(resultSet);
      return;
    }
    dbase::TDataSet& dataSet = *tables_[t].dataSet;
    if (probes[t]) {
      // Only the rows the equality can pair, in the order the walk below would reach them.
      const std::optional<std::string> key = equalityKey(*probes[t]->earlier, probes[t]->type);
      const auto found = key ? probes[t]->rows.find(*key) : probes[t]->rows.end();
      if (found == probes[t]->rows.end()) return;
      for (int r : found->second) {
        if (canceled_) return;
        dataSet.SetRecNo(r + 1);
        loop(t + 1);
      }
      return;
    }
    bool matched = false;
    dataSet.First();
    for (int r = 0; r < snapshotRows_[t] && !canceled_; ++r, dataSet.Next()) {
      if (conditions[t] && !conditions[t]->AsBoolean()) continue;
      matched = true;
      matchedRows[t][static_cast<std::size_t>(r)] = true;
      loop(t + 1);
      if (t == 0 && environment_.OnCancelQuery) environment_.OnCancelQuery(canceled_);
    }
    if (!matched && keepsUnmatched(t, false)) {
      dataSet.Last();
      loop(t + 1);
    }
  };
  loop(0);

  // RIGHT and FULL joins: a record of the joined table that met no row of the tables before it
  // gives rows of its own, with those tables null.
  for (std::size_t t = 1; t < count && !canceled_; ++t) {
    if (!keepsUnmatched(t, true)) continue;
    dbase::TDataSet& dataSet = *tables_[t].dataSet;
    for (int r = 0; r < snapshotRows_[t]; ++r) {
      if (matchedRows[t][static_cast<std::size_t>(r)]) continue;
      for (std::size_t before = 0; before < t; ++before) tables_[before].dataSet->Last();
      dataSet.SetRecNo(r + 1);
      loop(t + 1);
    }
  }
}

}  // namespace vekrano::sql
