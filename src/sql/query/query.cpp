// The query component: its collections, its statement text, and the runs of Open and ExecSQL.
#include "sql/query/query.h"

#include "common/code_page.h"
#include "common/format_settings.h"
#include "common/scope_exit.h"
#include "common/wait_cursor.h"
#include "dbase/dataset/database_error.h"
#include "sql/errors.h"
#include "sql/query_messages.h"
#include "sql/parse/sql_parser.h"

namespace vekrano::sql {

// --- TSqlDataSets

void TSqlDataSets::purge() const {
  std::erase_if(items_,
                [](const auto& item) { return item->watch_.DataSet() == nullptr && item->dataSet_ != nullptr; });
}

int TSqlDataSets::Count() const {
  purge();
  return static_cast<int>(items_.size());
}

const TSqlDataSetItem& TSqlDataSets::items(int index) const {
  purge();
  return *items_[static_cast<std::size_t>(index)];
}

TSqlDataSetItem& TSqlDataSets::Add(const std::string& alias, dbase::TDataSet* dataSet) {
  purge();
  items_.push_back(std::make_unique<TSqlDataSetItem>());
  const common::OnUnwind dropped([&] { items_.pop_back(); });
  setAlias(static_cast<int>(items_.size()) - 1, alias);
  setDataSet(static_cast<int>(items_.size()) - 1, dataSet);
  return *items_.back();
}

void TSqlDataSets::setAlias(int index, const std::string& alias) {
  purge();
  const std::string upper = common::ansiUpper(alias);
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (static_cast<int>(i) != index && common::ansiUpper(items_[i]->alias_) == upper) {
      throw ESqlQueryError(messages::kAliasExists);
    }
  }
  items_[static_cast<std::size_t>(index)]->alias_ = alias;
}

void TSqlDataSets::setDataSet(int index, dbase::TDataSet* dataSet) {
  purge();
  if (dataSet == &owner_) throw common::Exception(messages::kCircularReference);
  TSqlDataSetItem& item = *items_[static_cast<std::size_t>(index)];
  item.dataSet_ = dataSet;
  item.watch_.setDataSet(dataSet);
}

void TSqlDataSets::Delete(int index) {
  purge();
  items_.erase(items_.begin() + index);
}

std::vector<TDataSetAlias> TSqlDataSets::aliases() const {
  purge();
  std::vector<TDataSetAlias> aliases;
  for (const auto& item : items_) aliases.push_back(TDataSetAlias{item->alias_, item->dataSet_});
  return aliases;
}

// --- TSqlStrings

void TSqlStrings::Changed() const {
  if (OnChange) OnChange();
}

void TSqlStrings::Clear() {
  lines_.clear();
  Changed();
}

void TSqlStrings::Add(const std::string& line) {
  lines_.push_back(line);
  Changed();
}

std::string TSqlStrings::Text() const {
  std::size_t size = 0;
  for (const std::string& line : lines_) size += line.size() + 1;
  std::string text;
  text.reserve(size);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) text += '\n';
    text += lines_[i];
  }
  return text;
}

// --- TSqlQuery

TSqlQuery::TSqlQuery() : dataSets_(*this) {
  sql_.OnChange = [this] { sqlChanged(); };
}

TSqlQuery::~TSqlQuery() {
  destroying();
  Close();
}

void TSqlQuery::sqlChanged() {
  Close();
  if (ParamCheck) params_.parseSQL(sql_.Text());
  dataEvent(dbase::TDataEvent::deLayoutChange);
}

void TSqlQuery::parseStatement(TSqlAnalizer& analizer) {
  const std::string text = sql_.Text();
  if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
    throw ESqlQueryError(messages::kEmptyStatement);
  }
  resultSet_.reset();
  const TSqlParser parser(DateFormat);
  if (heldInserts_.reuse(text, parser, analizer)) return;
  const std::optional<SqlSyntaxError> error = parser.Parse(text, analizer);
  if (!error) {
    heldInserts_.learn(analizer);
    return;
  }
  if (OnSyntaxError) {
    OnSyntaxError(error->errorText, error->token, error->line, error->column, static_cast<int>(error->token.size()));
    throw common::EAbort();
  }
  throw ESqlQueryError(error->message());
}

TRunEnvironment TSqlQuery::Environment() const {
  TRunEnvironment environment;
  environment.dataSets = dataSets_.aliases();
  environment.OnProgress = OnProgress;
  environment.OnCancelQuery = OnCancelQuery;
  environment.OnResolveDataset = OnResolveDataset;
  environment.ParamValue = [this](const std::string& name) -> std::optional<TExprValue> {
    TParam* param = const_cast<TParams&>(params_).findParam(name);
    return param != nullptr ? param->Value : std::nullopt;
  };
  for (const TParamAsFieldItem& item : paramsAsFields_.items()) {
    environment.paramsAsFields.push_back(TParamAsField{item.ParamName, item.FieldName});
  }
  environment.OnUDFCheck = OnUDFCheck;
  environment.OnUDFSolve = OnUDFSolve;
  environment.storage = TStorageOptions{ResultsInMemory, TempFileCapacity};
  return environment;
}

void TSqlQuery::runStatement(const std::function<void()>& run) {
  if (OnBeforeQuery) OnBeforeQuery();
  struct SavedPosition {
    dbase::TDataSet* dataSet;
    dbase::TBookmark bookmark;
  };
  std::vector<SavedPosition> saved;
  if (AutoDisableControls) {
    for (const TDataSetAlias& item : dataSets_.aliases()) {
      if (item.dataSet == nullptr || !item.dataSet->Active()) continue;
      saved.push_back(SavedPosition{item.dataSet, item.dataSet->GetBookmark()});
      item.dataSet->DisableControls();
    }
  }
  const auto restore = [&] {
    for (SavedPosition& position : saved) {
      dbase::TDataSet& dataSet = *position.dataSet;
      if (dataSet.Active() && dataSet.BookmarkValid(position.bookmark) && dataSet.RecordCount() > 0) {
        try {
          dataSet.GotoBookmark(position.bookmark);
        } catch (const dbase::EDatabaseError&) {
          // The position is lost; the run's own outcome matters more.
        }
      }
      dataSet.FreeBookmark(position.bookmark);
      dataSet.EnableControls();
    }
    if (OnAfterQuery) OnAfterQuery();
  };
  const common::ScopeExit restored(restore);
  const common::WaitCursor waitCursor(ShowWaitCursor);
  run();
}

bool TSqlQuery::runDefinitionStatement(const TSqlAnalizer& analizer) {
  const std::string table = analizer.tables.empty() ? std::string() : analizer.tables.front().tableName;
  switch (analizer.statementKind) {
    case TStatementKind::CreateTable:
      for (const TCreateTableItem& item : analizer.createTables) {
        if (OnCreateTable) OnCreateTable(item);
      }
      return true;
    case TStatementKind::AlterTable:
      for (const TCreateTableItem& item : analizer.createTables) {
        if (OnAlterTable) OnAlterTable(item);
      }
      return true;
    case TStatementKind::CreateIndex:
      if (OnCreateIndex) OnCreateIndex(analizer.index);
      return true;
    case TStatementKind::DropTable:
      if (OnDropTable) OnDropTable(table);
      return true;
    case TStatementKind::DropIndex:
      if (OnDropIndex) OnDropIndex(analizer.index);
      return true;
    case TStatementKind::PackTable: PackTable(table); return true;
    case TStatementKind::ZapTable: ZapTable(table); return true;
    case TStatementKind::ReindexTable: ReindexTable(table); return true;
    default: return false;
  }
}

void TSqlQuery::ExecSQL() {
  // The result set of an open query would be discarded under its rows: close it first.
  Close();
  changedRowCount_ = 0;
  TSqlAnalizer analizer;
  parseStatement(analizer);
  if (analizer.statementKind == TStatementKind::Select || analizer.statementKind == TStatementKind::Union) {
    throw ESqlQueryError(messages::kSelectWithExecSql);
  }
  if (runDefinitionStatement(analizer)) return;
  const common::SeparatorGuard separators('.', ',');
  changedRowCount_ = 0;
  const TRunEnvironment environment = Environment();
  runStatement([&] { TStatementRun(analizer, environment).executeChange(changedRowCount_); });
}

void TSqlQuery::InternalOpen() {
  changedRowCount_ = 0;
  const common::SeparatorGuard separators('.', ',');
  TSqlAnalizer analizer;
  parseStatement(analizer);
  if (analizer.statementKind != TStatementKind::Select && analizer.statementKind != TStatementKind::Union) {
    throw ESqlQueryError(messages::kActionWithOpen);
  }
  const TRunEnvironment environment = Environment();
  std::unique_ptr<TResultSet> resultSet;
  runStatement([&] { resultSet = TStatementRun(analizer, environment).executeSelect(); });
  resultSet_ = std::move(resultSet);
  {
    const common::OnUnwind dropped([&] { resultSet_.reset(); });
    defineResultFields();
  }
  cursor_ = -1;
}

}  // namespace vekrano::sql
