// Opening, changing, numbering and erasing the record table through its queries.
#include "records/article_data.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "dbase/table/table_lock_retry.h"
#include "records/article_table.h"
#include "records/record_statements.h"

namespace vekrano::records {

ArticleData::ArticleData(std::string programDirectory)
    : programDirectory_(std::move(programDirectory)) {
  ConfigureArticleTable(tarticle, programDirectory_);
  dbase::RetryRefusedLocks(tarticle);
  sqlQuery1.DataSets().Add("article", &tarticle);
  sqlqueryfonction.DataSets().Add("article", &tarticle);
  DataSource1.SetDataSet(&sqlQuery1);
}

ArticleData::~ArticleData() { CloseData(); }

std::string ArticleData::tableFileName() const {
  return (std::filesystem::path(programDirectory_) / "article.dbf").string();
}

std::string ArticleData::indexFileName() const {
  return (std::filesystem::path(programDirectory_) / "article.mdx").string();
}

void ArticleData::OpenData() {
  ConfigureArticleTable(tarticle, programDirectory_);
  tarticle.Open();
}

int ArticleData::ExecuteStatement(const std::string& statement) {
  sqlqueryfonction.Close();
  sqlqueryfonction.SQL().Clear();
  sqlqueryfonction.SQL().Add(statement);
  sqlqueryfonction.ExecSQL();
  return sqlqueryfonction.ChangedRowCount();
}

int ArticleData::NextRecordNumber() {
  const std::optional<int> highest = SingleNumber(kNextNumberStatement);
  return highest ? *highest + 1 : 1;
}

int ArticleData::StoredRecordCount() { return SingleNumber(kCountStatement).value_or(0); }

std::optional<int> ArticleData::SingleNumber(const char* statement) {
  sqlqueryfonction.Close();
  sqlqueryfonction.SQL().Clear();
  sqlqueryfonction.SQL().Add(statement);
  sqlqueryfonction.Open();
  std::optional<int> number;
  if (sqlqueryfonction.RecordCount() > 0) {
    sqlqueryfonction.First();
    number = sqlqueryfonction.FieldByName("nb").AsInteger();
  }
  sqlqueryfonction.Close();
  return number;
}

void ArticleData::EraseDataFiles() {
  try {
    tarticle.Close();
  } catch (...) {
  }
  std::error_code ignored;
  std::filesystem::remove(tableFileName(), ignored);
  std::filesystem::remove(indexFileName(), ignored);
}

void ArticleData::CloseData() {
  for (dbase::TDataSet* dataSet : {static_cast<dbase::TDataSet*>(&sqlQuery1),
                                   static_cast<dbase::TDataSet*>(&sqlqueryfonction),
                                   static_cast<dbase::TDataSet*>(&tarticle)}) {
    try {
      dataSet->Close();
    } catch (...) {
    }
  }
}

}  // namespace vekrano::records
