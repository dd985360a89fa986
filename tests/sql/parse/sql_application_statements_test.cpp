// Every statement the application builds, blanks included, read into the analyser: the tables,
// columns, WHERE text, SET and VALUES texts and ORDER BY items the engine will run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sql/program/analyzer.h"
#include "sql/parse/sql_parser.h"

namespace vekrano::sql {
namespace {

std::string ref(const std::string& name) { return "\x0C\"" + name + "\""; }

void parseInto(const std::string& statement, TSqlAnalizer& analizer) {
  const auto error = TSqlParser("dd/MM/yyyy").Parse(statement, analizer);
  ASSERT_FALSE(error) << statement << " ->" << error->message();
}

struct Order {
  std::string name;
  bool descending;
};

void expectOrder(const TSqlAnalizer& analizer, const std::vector<Order>& expected) {
  ASSERT_EQ(analizer.orderBy.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(analizer.orderBy[i].columnIndex, -1);
    EXPECT_EQ(analizer.orderBy[i].name, expected[i].name);
    EXPECT_EQ(analizer.orderBy[i].descending, expected[i].descending) << expected[i].name;
  }
}

void expectArticleSelectAll(const TSqlAnalizer& analizer) {
  EXPECT_EQ(analizer.statementKind, TStatementKind::Select);
  EXPECT_TRUE(analizer.selectAll);
  EXPECT_TRUE(analizer.columns.empty());
  ASSERT_EQ(analizer.tables.size(), 1u);
  EXPECT_EQ(analizer.tables[0].tableName, "article");
  EXPECT_EQ(analizer.tables[0].alias, "article");
  EXPECT_FALSE(analizer.tables[0].isQuotedFileName);
}

TEST(SqlApplicationStatements, RecordListWithoutCriteria) {
  TSqlAnalizer analizer;
  parseInto("select *  from article order by num", analizer);
  expectArticleSelectAll(analizer);
  EXPECT_EQ(analizer.whereText, "");
  expectOrder(analizer, {{"num", false}});
}

TEST(SqlApplicationStatements, RecordListWithCriteriaAndEachSortColumn) {
  const std::string select = "select *  from article ";
  const std::string where = " where  cb like \"AB%\" and  topp=\"O\"";
  const std::string whereText = "SQLLIKE(" + ref("cb") + ", \"AB%\", '') and " + ref("topp") + " = \"O\"";
  struct Case {
    std::string order;
    std::vector<Order> items;
  };
  const std::vector<Case> cases = {
      {"order by num", {{"num", false}}},
      {" order by cb ", {{"cb", false}}},
      {" order by cb desc", {{"cb", true}}},
      {" order by lib1 desc", {{"lib1", true}}},
      {" order by lib2 ", {{"lib2", false}}},
      {" order by quantite  , cb", {{"quantite", false}, {"cb", false}}},
      {" order by quantite desc , cb", {{"quantite", true}, {"cb", false}}},
      {" order by topp  , cb ", {{"topp", false}, {"cb", false}}},
      {" order by topp desc , cb ", {{"topp", true}, {"cb", false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.order);
    TSqlAnalizer analizer;
    parseInto(select + where + c.order, analizer);
    expectArticleSelectAll(analizer);
    EXPECT_EQ(analizer.whereText, whereText);
    expectOrder(analizer, c.items);
  }
}

TEST(SqlApplicationStatements, RecordListWithEveryCriterion) {
  TSqlAnalizer analizer;
  parseInto(
      "select *  from article  where  cb like \"AB%\" and  lib1 like \"Red %\" and  "
      "lib2 like \"x'y%\" and  topp=\"N\" order by lib2 ",
      analizer);
  expectArticleSelectAll(analizer);
  EXPECT_EQ(analizer.whereText, "SQLLIKE(" + ref("cb") + ", \"AB%\", '') and SQLLIKE(" + ref("lib1") +
                                    ", \"Red %\", '') and SQLLIKE(" + ref("lib2") + ", \"x'y%\", '') and " +
                                    ref("topp") + " = \"N\"");
  expectOrder(analizer, {{"lib2", false}});
}

TEST(SqlApplicationStatements, NextRecordNumberAndCount) {
  TSqlAnalizer max;
  parseInto("select max(num) as nb from article", max);
  ASSERT_EQ(max.columns.size(), 1u);
  EXPECT_FALSE(max.selectAll);
  EXPECT_EQ(max.columns[0].expression, "{Aggregate 0}");
  EXPECT_EQ(max.columns[0].columnName, "nb");
  EXPECT_TRUE(max.columns[0].isAsAlias);
  ASSERT_EQ(max.columns[0].aggregates.size(), 1u);
  EXPECT_EQ(max.columns[0].aggregates[0].kind, TAggregateKind::Max);
  EXPECT_EQ(max.columns[0].aggregates[0].argument, ref("num"));
  EXPECT_FALSE(max.columns[0].aggregates[0].distinct);

  TSqlAnalizer count;
  parseInto("select count(*) as nb from article", count);
  ASSERT_EQ(count.columns.size(), 1u);
  EXPECT_EQ(count.columns[0].columnName, "nb");
  ASSERT_EQ(count.columns[0].aggregates.size(), 1u);
  EXPECT_EQ(count.columns[0].aggregates[0].kind, TAggregateKind::Count);
  EXPECT_EQ(count.columns[0].aggregates[0].argument, "");
}

TEST(SqlApplicationStatements, InsertFromTheEditorAndTheImport) {
  TSqlAnalizer analizer;
  parseInto(
      "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES "
      "(7,\"A1\",\"red\", \"\", 1, \"O\" )",
      analizer);
  EXPECT_EQ(analizer.statementKind, TStatementKind::Insert);
  ASSERT_EQ(analizer.inserts.size(), 1u);
  const TInsertItem& insert = analizer.inserts[0];
  EXPECT_EQ(insert.tableName, "article");
  EXPECT_FALSE(insert.isQuotedFileName);
  EXPECT_EQ(insert.fieldNames, (std::vector<std::string>{"num", "cb", "lib1", "lib2", "quantite", "topp"}));
  EXPECT_EQ(insert.values, (std::vector<std::string>{"7", "\"A1\"", "\"red\"", "\"\"", "1", "\"O\""}));
  EXPECT_TRUE(analizer.tables.empty());
}

TEST(SqlApplicationStatements, ValueHoldingItsDelimiterBreaksTheStatement) {
  TSqlAnalizer analizer;
  const auto error = TSqlParser().Parse(
      "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES "
      "(5,\"AB\"C\",\"\", \"\", 1, \"N\" )",
      analizer);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->message(), " syntax error at line : 1, Column: 67, token: C");
}

TEST(SqlApplicationStatements, ChangeOfARecordAndTopFlag) {
  TSqlAnalizer change;
  parseInto(
      "UPDATE article  SET cb=\"AB12\", lib1=\"Red\", lib2=\"box 2\", quantite=3,  "
      "topp=\"N\" WHERE num=12",
      change);
  EXPECT_EQ(change.statementKind, TStatementKind::Update);
  ASSERT_EQ(change.tables.size(), 1u);
  EXPECT_EQ(change.tables[0].tableName, "article");
  ASSERT_EQ(change.updates.size(), 5u);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"cb", "\"AB12\""}, {"lib1", "\"Red\""}, {"lib2", "\"box 2\""}, {"quantite", "3"}, {"topp", "\"N\""}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(change.updates[i].fieldName, expected[i].first);
    EXPECT_EQ(change.updates[i].expression, expected[i].second);
  }
  EXPECT_EQ(change.whereText, ref("num") + " = 12");

  TSqlAnalizer top;
  parseInto("UPDATE article  SET topp=\"O\" WHERE num=12", top);
  ASSERT_EQ(top.updates.size(), 1u);
  EXPECT_EQ(top.updates[0].fieldName, "topp");
  EXPECT_EQ(top.updates[0].expression, "\"O\"");
  EXPECT_EQ(top.whereText, ref("num") + " = 12");
}

TEST(SqlApplicationStatements, DeletionOfARecord) {
  TSqlAnalizer analizer;
  parseInto("delete from article where num=18", analizer);
  EXPECT_EQ(analizer.statementKind, TStatementKind::Delete);
  ASSERT_EQ(analizer.tables.size(), 1u);
  EXPECT_EQ(analizer.tables[0].tableName, "article");
  EXPECT_EQ(analizer.whereText, ref("num") + " = 18");
}

TEST(SqlApplicationStatements, RecordsToPrint) {
  const std::string printable = ref("quantite") + " > 0 and length(" + ref("cb") + ") > 0";
  TSqlAnalizer all;
  parseInto("select * from article where  quantite>0 and length(cb)>0 ", all);
  expectArticleSelectAll(all);
  EXPECT_EQ(all.whereText, printable);
  EXPECT_TRUE(all.orderBy.empty());

  TSqlAnalizer matching;
  parseInto(
      "select * from article where  cb like \"AB%\" and  topp=\"O\" and quantite>0 and "
      "length(cb)>0   order by cb  desc",
      matching);
  expectArticleSelectAll(matching);
  EXPECT_EQ(matching.whereText,
            "SQLLIKE(" + ref("cb") + ", \"AB%\", '') and " + ref("topp") + " = \"O\" and " + printable);
  expectOrder(matching, {{"cb", true}});

  TSqlAnalizer sorted;
  parseInto(
      "select * from article where quantite > 0 and length(cb)>0   order by quantite  "
      "desc , cb",
      sorted);
  EXPECT_EQ(sorted.whereText, printable);
  expectOrder(sorted, {{"quantite", true}, {"cb", false}});

  TSqlAnalizer unsorted;
  parseInto("select * from article where quantite > 0 and length(cb)>0  order by num", unsorted);
  expectOrder(unsorted, {{"num", false}});
}

}  // namespace
}  // namespace vekrano::sql
