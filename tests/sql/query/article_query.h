// A query over a real "article" table in a temporary directory, for the tests of the engine.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/article_table.h"
#include "dbase/table/table_dataset.h"
#include "sql/query/query.h"
#include "sql/query/query_rows.h"
#include "support/temp_dir.h"

namespace vekrano::sql {

class ArticleQuery : public ::testing::Test {
 protected:
  ArticleQuery() {
    records::configureArticleTable(table, dir.path().string());
    table.Open();
    query.DataSets().Add("article", &table);
    query.AutoDisableControls = false;
  }
  ~ArticleQuery() override {
    query.Close();
    table.Close();
  }

  void exec(const std::string& sql) { engineExec(query, sql); }
  void Add(int num, const std::string& cb, int quantite = 1, const std::string& topp = "N",
           const std::string& lib1 = "l") {
    exec("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(num) + ",\"" + cb + "\",\"" +
         lib1 + "\",\"\"," + std::to_string(quantite) + ",\"" + topp + "\")");
  }
  // The values of `field` in the rows of a SELECT.
  std::vector<std::string> Column(const std::string& sql, const std::string& field = "cb") {
    query.Close();
    query.SQL().Clear();
    query.SQL().Add(sql);
    query.Open();
    std::vector<std::string> values;
    for (query.First(); !query.Eof(); query.Next()) values.push_back(query.FieldByName(field).AsString());
    return values;
  }

  vekrano::testing::TempDir dir;
  dbase::TTzDbf table{"tarticle"};
  TSqlQuery query;
};

}  // namespace vekrano::sql
