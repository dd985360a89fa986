// SELECT over several tables: nested loops over the FROM tables, joined by JOIN ... ON
// conditions or by equalities between their fields in WHERE.
#include <regex>

#include "common/code_page.h"
#include "sql/analyzer_run.h"
#include "sql/errors.h"
#include "sql/query_messages.h"

namespace vekrano::sql {
namespace {

// The qualifier of a rewritten field reference name ("table.field"), brackets removed.
std::string qualifierOf(const std::string& reference) {
  std::string qualifier = reference.substr(0, reference.find('.'));
  if (qualifier.size() >= 2 && qualifier.front() == '[') qualifier = qualifier.substr(1, qualifier.size() - 2);
  return common::ansiUpper(qualifier);
}

}  // namespace

bool TStatementRun::TextNamesTable(const std::string& text, std::size_t table) const {
  const std::string qualifier = common::ansiUpper(tables_[table].qualifier);
  for (std::size_t at = 0; (at = text.find(kFieldMarker, at)) != std::string::npos; ++at) {
    const std::size_t close = text.find('"', at + 2);
    if (close == std::string::npos) break;
    if (qualifierOf(text.substr(at + 2, close - at - 2)) == qualifier) return true;
  }
  return false;
}

void TStatementRun::CheckJoinDefined() const {
  if (!analizer_.joins.empty()) return;
  // An equality between fields of two different tables joins them.
  static const std::regex equality("\x0C\"([^\"]*)\" = \x0C\"([^\"]*)\"");
  const std::string& where = analizer_.whereText;
  for (auto it = std::sregex_iterator(where.begin(), where.end(), equality);
       it != std::sregex_iterator(); ++it) {
    if (qualifierOf((*it)[1].str()) != qualifierOf((*it)[2].str())) return;
  }
  throw ESqlQueryError(messages::kNoJoin);
}

void TStatementRun::ScanJoined(TResultSet& resultSet) {
  CheckJoinDefined();
  const std::size_t count = tables_.size();
  std::vector<TExprPtr> conditions(count);
  std::vector<bool> outer(count, false);
  for (const TJoinOnItem& join : analizer_.joins) {
    if (join.tableIndex >= count) throw ESqlQueryError(messages::kJoinNames);
    conditions[join.tableIndex] = Parse(join.condition);
    if (conditions[join.tableIndex]->ExprType() != ttBoolean) {
      throw ESqlQueryError(messages::kWhereNotBoolean);
    }
    outer[join.tableIndex] = join.kind != TJoinKind::Inner;
  }
  std::vector<int> nullTables;
  // Tables are looped in FROM order; an outer-joined table without a matching record gives one
  // row whose columns from it stay null. Such a row is kept only when WHERE does not read it.
  std::function<void(std::size_t)> loop = [&](std::size_t t) {
    if (t == count) {
      bool keep = !where_;
      if (where_) {
        bool readsNull = false;
        for (int n : nullTables) readsNull = readsNull || TextNamesTable(analizer_.whereText, n);
        keep = !readsNull && where_->AsBoolean();
      }
      if (keep) FillRow(resultSet, nullTables);
      return;
    }
    dbase::TDataSet& dataSet = *tables_[t].dataSet;
    bool matched = false;
    for (dataSet.First(); !dataSet.Eof() && !canceled_; dataSet.Next()) {
      if (conditions[t] && !conditions[t]->AsBoolean()) continue;
      matched = true;
      loop(t + 1);
      if (t == 0 && environment_.OnCancelQuery) environment_.OnCancelQuery(canceled_);
    }
    if (!matched && outer[t]) {
      nullTables.push_back(static_cast<int>(t));
      loop(t + 1);
      nullTables.pop_back();
    }
  };
  loop(0);
}

}  // namespace vekrano::sql
