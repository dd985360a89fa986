// Opening, changing, numbering and erasing the record table through its queries.
#include "records/article_data.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "common/scope_exit.h"
#include "dbase/table/table_lock_retry.h"
#include "records/article_table.h"
#include "records/record_statements.h"

namespace vekrano::records {

ArticleData::ArticleData(std::string programDirectory) : programDirectory_(std::move(programDirectory)) {
  configureArticleTable(tarticle, programDirectory_);
  dbase::retryRefusedLocks(tarticle);
  sqlQuery1.DataSets().Add("article", &tarticle);
  sqlqueryfonction.DataSets().Add("article", &tarticle);
  DataSource1.setDataSet(&sqlQuery1);
}

ArticleData::~ArticleData() { closeData(); }

std::string ArticleData::tableFileName() const {
  return (std::filesystem::path(programDirectory_) / "article.dbf").string();
}

std::string ArticleData::indexFileName() const {
  return (std::filesystem::path(programDirectory_) / "article.mdx").string();
}

void ArticleData::openData() {
  highestNumber_.Forget();
  configureArticleTable(tarticle, programDirectory_);
  tarticle.Open();
}

int ArticleData::executeStatement(const std::string& statement) {
  const common::ScopeExit released([&] { tarticle.releaseAppendLock(); });
  // The lock NextRecordNumber held is for the new record; any other change needs record locks,
  // which the append lock would refuse.
  if (statement.rfind(kNewRecordStatementHead, 0) != 0) tarticle.releaseAppendLock();
  sqlqueryfonction.Close();
  sqlqueryfonction.SQL().Clear();
  sqlqueryfonction.SQL().Add(statement);
  sqlqueryfonction.ExecSQL();
  return sqlqueryfonction.ChangedRowCount();
}

int ArticleData::storedRecordCount() { return singleNumber(kCountStatement).value_or(0); }

std::optional<int> ArticleData::singleNumber(const char* statement) {
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

int ArticleData::NextRecordNumber() {
  // The statement opens a closed table; numbers are kept only over one that was open already.
  if (!tarticle.Active()) {
    highestNumber_.Forget();
    const std::optional<int> highest = singleNumber(kNextNumberStatement);
    return highest ? *highest + 1 : 1;
  }
  // Refused (only without a retry handler, which raises instead): numbered unguarded, and the
  // INSERT meets the lock itself.
  tarticle.holdAppendLock();
  std::optional<int> highest;
  {
    const common::OnUnwind released([&] { tarticle.releaseAppendLock(); });
    const dbase::TTzChangeStamp stamp = tarticle.ChangeStamp();
    if (!highestNumber_.Update(tarticle, stamp, highest)) {
      highest = singleNumber(kNextNumberStatement);
      highestNumber_.Remember(tarticle, stamp, highest);
    }
  }
  const int next = highest ? *highest + 1 : 1;
  if (next > kMaxRecordNumber) tarticle.releaseAppendLock();
  return next;
}

void ArticleData::eraseDataFiles() {
  highestNumber_.Forget();
  try {
    tarticle.Close();
  } catch (...) {
  }
  std::error_code ignored;
  std::filesystem::remove(tableFileName(), ignored);
  std::filesystem::remove(indexFileName(), ignored);
}

void ArticleData::closeData() {
  highestNumber_.Forget();
  for (dbase::TDataSet* dataSet :
       {static_cast<dbase::TDataSet*>(&sqlQuery1), static_cast<dbase::TDataSet*>(&sqlqueryfonction),
        static_cast<dbase::TDataSet*>(&tarticle)}) {
    try {
      dataSet->Close();
    } catch (...) {
    }
  }
}

}  // namespace vekrano::records
