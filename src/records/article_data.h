// The record table and the two queries over it that the main window owns for the whole run:
// `tarticle`, `sqlQuery1` (the displayed list, shown through `DataSource1`) and
// `sqlqueryfonction` (every other statement), with the operations every part of the application
// sends through them. The command-line tools use the same object.
#pragma once

#include <optional>
#include <string>

#include "dbase/dataset/data_source.h"
#include "dbase/table/table_dataset.h"
#include "records/highest_number.h"
#include "sql/query/query.h"

namespace vekrano::records {

class ArticleData {
 public:
  // Registers `tarticle` under the alias "article" on both queries and shows `sqlQuery1` through
  // `DataSource1`. `programDirectory` may end with a separator.
  explicit ArticleData(std::string programDirectory);
  ~ArticleData();
  ArticleData(const ArticleData&) = delete;
  ArticleData& operator=(const ArticleData&) = delete;

  const std::string& programDirectory() const { return programDirectory_; }
  std::string tableFileName() const;  // the directory's "article.dbf"
  std::string indexFileName() const;  // the directory's "article.mdx"

  // Sets the table's settings and file name and activates it; missing files are created.
  // Raises the engine's error.
  void openData();
  // Runs one INSERT, UPDATE or DELETE through `sqlqueryfonction` and returns the number of
  // records it changed. Every failure (syntax, field names, a refused lock, a table that cannot
  // be opened) is raised with the engine's text, so that no caller reports a lost change as done.
  // Releases the append lock NextRecordNumber left held: after the statement when it is a new
  // record's INSERT, whatever it did; before it otherwise.
  int executeStatement(const std::string& statement);
  // One more than the highest record number, 1 on an empty table: the answer of
  // "select max(num) as nb from article", which is sent when the number is not known exactly from
  // the previous one and what changed since. Unless the number is above kMaxRecordNumber, the
  // table's append lock stays held until the next executeStatement (whose INSERT uses it), so
  // that no other process takes the number meanwhile. Raises the query's error and, after the
  // retries, a refused lock.
  int NextRecordNumber();
  // The number of records the table holds (deleted ones aside). Raises the query's error.
  int storedRecordCount();
  // Deactivates the table (a failure is ignored) and deletes both files where they exist.
  void eraseDataFiles();
  // Closes `sqlQuery1`, `sqlqueryfonction`, then the table; failures are ignored.
  void closeData();

  // Declared in this order so that the data source goes first and the table last.
  dbase::TTzDbf tarticle{"tarticle"};
  sql::TSqlQuery sqlQuery1;
  sql::TSqlQuery sqlqueryfonction;
  dbase::TDataSource DataSource1;

 private:
  // The column "nb" of the one row `statement` gives through `sqlqueryfonction`; none without a row.
  std::optional<int> singleNumber(const char* statement);

  std::string programDirectory_;
  HighestNumber highestNumber_;
};

}  // namespace vekrano::records
