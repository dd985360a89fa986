// One statement of each kind of the dialect, and what the analyser holds after it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sql/program/analyzer.h"
#include "sql/parse/sql_parser.h"

namespace vekrano::sql {
namespace {

using Names = std::vector<std::string>;

std::string ref(const std::string& name) { return "\x0C\"" + name + "\""; }

void parseInto(const std::string& statement, TSqlAnalizer& analizer) {
  const auto error = TSqlParser("dd/MM/yyyy").Parse(statement, analizer);
  ASSERT_FALSE(error) << statement << " ->" << error->message();
}

std::string errorOf(const std::string& statement) {
  TSqlAnalizer analizer;
  const auto error = TSqlParser().Parse(statement, analizer);
  return error ? error->message() : "accepted";
}

TEST(SqlStatementKinds, SelectWithEveryClause) {
  TSqlAnalizer a;
  parseInto(
      "select distinct top 10 c.*, c.name as who, sum(distinct o.total) * 2 as spent, "
      "count(o.id) from customer c inner join orders as o on c.id = o.customer "
      "where o.total > 0 group by c.name, 2 having count(*) > 1 order by 2 desc, who",
      a);
  EXPECT_EQ(a.statementKind, TStatementKind::Select);
  EXPECT_TRUE(a.distinct);
  EXPECT_EQ(a.top, 10);
  EXPECT_FALSE(a.selectAll);
  ASSERT_EQ(a.columns.size(), 4u);
  EXPECT_EQ(a.columns[0].allFieldsOf, "c");
  EXPECT_EQ(a.columns[1].expression, ref("c.name"));
  EXPECT_EQ(a.columns[1].columnName, "who");
  EXPECT_TRUE(a.columns[1].isAsAlias);
  EXPECT_EQ(a.columns[2].expression, "{Aggregate 0} * 2");
  ASSERT_EQ(a.columns[2].aggregates.size(), 1u);
  EXPECT_EQ(a.columns[2].aggregates[0].kind, TAggregateKind::Sum);
  EXPECT_EQ(a.columns[2].aggregates[0].argument, ref("o.total"));
  EXPECT_TRUE(a.columns[2].aggregates[0].distinct);
  EXPECT_EQ(a.columns[3].expression, "{Aggregate 0}");
  EXPECT_EQ(a.columns[3].columnName, "");
  EXPECT_EQ(a.columns[3].aggregates[0].argument, ref("o.id"));

  ASSERT_EQ(a.tables.size(), 2u);
  EXPECT_EQ(a.tables[0].tableName, "customer");
  EXPECT_EQ(a.tables[0].alias, "c");
  EXPECT_EQ(a.tables[1].alias, "o");
  ASSERT_EQ(a.joins.size(), 1u);
  EXPECT_EQ(a.joins[0].kind, TJoinKind::Inner);
  EXPECT_EQ(a.joins[0].tableIndex, 1u);
  EXPECT_EQ(a.joins[0].condition, ref("c.id") + " = " + ref("o.customer"));

  EXPECT_EQ(a.whereText, ref("o.total") + " > 0");
  ASSERT_EQ(a.groupBy.size(), 2u);
  EXPECT_EQ(a.groupBy[0].name, "c.name");
  EXPECT_EQ(a.groupBy[0].columnIndex, -1);
  EXPECT_EQ(a.groupBy[1].columnIndex, 2);
  EXPECT_EQ(a.havingText, "{Aggregate 0} > 1");
  ASSERT_EQ(a.havingAggregates.size(), 1u);
  EXPECT_EQ(a.havingAggregates[0].argument, "");
  ASSERT_EQ(a.orderBy.size(), 2u);
  EXPECT_EQ(a.orderBy[0].columnIndex, 2);
  EXPECT_TRUE(a.orderBy[0].descending);
  EXPECT_EQ(a.orderBy[1].name, "who");
}

TEST(SqlStatementKinds, OuterJoinsAndQuotedFileNames) {
  TSqlAnalizer a;
  parseInto(
      "select * from 'c:\\data\\a.dbf' x left join b on x.k = b.k right outer join c on "
      "b.k = c.k full outer join [d e] on c.k = [d e].k",
      a);
  ASSERT_EQ(a.tables.size(), 4u);
  EXPECT_EQ(a.tables[0].tableName, "c:\\data\\a.dbf");
  EXPECT_TRUE(a.tables[0].isQuotedFileName);
  EXPECT_EQ(a.tables[0].alias, "x");
  EXPECT_EQ(a.tables[3].tableName, "d e");
  ASSERT_EQ(a.joins.size(), 3u);
  EXPECT_EQ(a.joins[0].kind, TJoinKind::LeftOuter);
  EXPECT_EQ(a.joins[1].kind, TJoinKind::RightOuter);
  EXPECT_EQ(a.joins[2].kind, TJoinKind::FullOuter);
  EXPECT_EQ(a.joins[2].condition, ref("c.k") + " = " + ref("d e.k"));
  TSqlAnalizer into;
  parseInto("select * into result from a", into);
  EXPECT_EQ(into.intoTable, "result");
  EXPECT_EQ(errorOf("select * from a into b"), " syntax error at line : 1, Column: 16, token: into");
}

TEST(SqlStatementKinds, SubqueriesInColumnsAndWhere) {
  TSqlAnalizer a;
  parseInto(
      "select num, (select max(q) from t2) as m from t where num in (select n from t3) "
      "and q > any (select q from t4 where d = #01/02/2003#) and q < all (select q from "
      "t5) and q <> (select min(q) from t6) and num not in (1, 2)",
      a);
  ASSERT_EQ(a.columns.size(), 2u);
  EXPECT_EQ(a.columns[1].expression, "({Subquery 0})");
  ASSERT_EQ(a.columns[1].subqueries.size(), 1u);
  const TSqlAnalizer& column = *a.columns[1].subqueries[0].analizer;
  EXPECT_EQ(column.parent, &a);
  EXPECT_EQ(column.columns[0].aggregates[0].kind, TAggregateKind::Max);
  EXPECT_EQ(column.tables[0].tableName, "t2");
  EXPECT_TRUE(a.columns[0].subqueries.empty());

  EXPECT_EQ(a.whereText, ref("num") + " IN ({Subquery 0}) and " + ref("q") + " > any ({Subquery 1}) and " + ref("q") +
                             " < all ({Subquery 2}) and " + ref("q") + " <> ({Subquery 3}) and " + ref("num") +
                             " NOT IN (1, 2)");
  ASSERT_EQ(a.whereSubqueries.size(), 4u);
  EXPECT_EQ(a.whereSubqueries[0].kind, TSubqueryKind::In);
  EXPECT_EQ(a.whereSubqueries[1].kind, TSubqueryKind::Any);
  EXPECT_EQ(a.whereSubqueries[2].kind, TSubqueryKind::All);
  EXPECT_EQ(a.whereSubqueries[3].kind, TSubqueryKind::Scalar);
  EXPECT_EQ(a.whereSubqueries[1].analizer->whereText, ref("d") + " = DummyDate(37653)");
  EXPECT_EQ(a.whereSubqueries[3].analizer->tables[0].tableName, "t6");
  EXPECT_TRUE(a.tables.size() == 1 && a.tables[0].tableName == "t");
}

TEST(SqlStatementKinds, AggregatesAndSubqueriesOnlyWhereTheyCanBeHeld) {
  EXPECT_EQ(errorOf("select * from t where count(*) > 1"), " syntax error at line : 1, Column: 34, token: ");
  EXPECT_NE(errorOf("update t set a = max(b)"), "accepted");
  EXPECT_NE(errorOf("insert into t (a) values ((select b from u))"), "accepted");
}

TEST(SqlStatementKinds, UnionKeepsTheSecondSelect) {
  TSqlAnalizer a;
  parseInto("select cb from article where topp = \"O\" union select lib1 from old order by 1", a);
  EXPECT_EQ(a.statementKind, TStatementKind::Union);
  EXPECT_EQ(a.whereText, ref("topp") + " = \"O\"");
  ASSERT_TRUE(a.unionSelect);
  EXPECT_EQ(a.unionSelect->parent, &a);
  EXPECT_EQ(a.unionSelect->columns[0].expression, ref("lib1"));
  EXPECT_EQ(a.unionSelect->tables[0].tableName, "old");
  ASSERT_EQ(a.unionSelect->orderBy.size(), 1u);
  EXPECT_EQ(a.unionSelect->orderBy[0].columnIndex, 1);
}

TEST(SqlStatementKinds, RewrittenExpressionForms) {
  TSqlAnalizer a;
  parseInto(
      "select cast(q as char(12)) as c, case when q > 1 then 'many' when q = 1 then 'one' else "
      "'none' end, trim(both '*' from cb), trim(lib1), substring(cb from 2 for 3), "
      "substring(cb from 2), substring(cb, 2, 3), extract(year from d), extract(minute from d), extract(second from "
      "d), left(cb, 2), :p, true, not false, -q ^ 2 mod 3 from t where cb not like 'a\\%%' "
      "escape \"'\\'\" and q between 1 and 2 + 3 and q not between -1 and 1 and d is null and "
      "e is not null and lib1 || lib2 = 'ab'",
      a);
  const Names expected = {
      "COPY(CAST(" + ref("q") + " AS STRING),1,12)",
      "CASE WHEN " + ref("q") + " > 1 THEN 'many' WHEN " + ref("q") + " = 1 THEN 'one' ELSE 'none' END",
      "SQLTRIM('*', " + ref("cb") + ", 2)",
      "TRIM(" + ref("lib1") + ")",
      "COPY(" + ref("cb") + ",2,3)",
      "COPY(" + ref("cb") + ",2,LENGTH(" + ref("cb") + "))",
      "substring(" + ref("cb") + ", 2, 3)",
      "YEAR(" + ref("d") + ")",
      "MIN(" + ref("d") + ")",
      "SEC(" + ref("d") + ")",
      "left(" + ref("cb") + ", 2)",
      ":p",
      "True",
      "not False",
      "-" + ref("q") + " ^ 2 mod 3",
  };
  ASSERT_EQ(a.columns.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(a.columns[i].expression, expected[i]);
  EXPECT_EQ(a.columns[0].cast.type, TCastType::Char);
  EXPECT_EQ(a.columns[0].cast.size, 12);
  EXPECT_EQ(a.columns[1].cast.type, TCastType::None);
  EXPECT_EQ(a.whereText, "SQLNOTLIKE(" + ref("cb") + ", 'a\\%%', '\\') and ((" + ref("q") + " >= 1) AND (" + ref("q") +
                             " <= 2 + 3)) and NOT ((" + ref("q") + " >= -1) AND (" + ref("q") + " <= 1)) and ISNULL(" +
                             ref("d") + ",TRUE) and ISNULL(" + ref("e") + ",FALSE) and " + ref("lib1") + " + " +
                             ref("lib2") + " = 'ab'");
}

TEST(SqlStatementKinds, UpdateWithNullAndDeleteWithoutWhere) {
  TSqlAnalizer update;
  parseInto("update [my table] set a = null, b = b * 2", update);
  EXPECT_EQ(update.statementKind, TStatementKind::Update);
  EXPECT_EQ(update.tables[0].tableName, "my table");
  ASSERT_EQ(update.updates.size(), 2u);
  EXPECT_EQ(update.updates[0].expression, "");
  EXPECT_EQ(update.updates[1].expression, ref("b") + " * 2");
  EXPECT_EQ(update.whereText, "");

  TSqlAnalizer erase;
  parseInto("DELETE FROM article", erase);
  EXPECT_EQ(erase.statementKind, TStatementKind::Delete);
  EXPECT_EQ(erase.whereText, "");
}

TEST(SqlStatementKinds, InsertWithNullIntoAQuotedFile) {
  TSqlAnalizer a;
  parseInto("insert into \"data/a.dbf\" (num, cb) values (null, 'x' + 'y')", a);
  ASSERT_EQ(a.inserts.size(), 1u);
  EXPECT_EQ(a.inserts[0].tableName, "data/a.dbf");
  EXPECT_TRUE(a.inserts[0].isQuotedFileName);
  EXPECT_EQ(a.inserts[0].values, (Names{"NULL", "'x' + 'y'"}));
  EXPECT_NE(errorOf("insert into article values (1)"), "accepted");
}

TEST(SqlStatementKinds, TransformPivot) {
  TSqlAnalizer a;
  parseInto("transform sum(quantite) select cb from article group by cb pivot topp", a);
  EXPECT_EQ(a.statementKind, TStatementKind::Select);
  ASSERT_TRUE(a.transformColumn);
  EXPECT_EQ(a.transformColumn->expression, "{Aggregate 0}");
  EXPECT_EQ(a.transformColumn->aggregates[0].kind, TAggregateKind::Sum);
  EXPECT_EQ(a.columns.size(), 1u);
  EXPECT_TRUE(a.columns[0].aggregates.empty());
  EXPECT_EQ(a.groupBy[0].name, "cb");
  EXPECT_EQ(a.pivotText, ref("topp"));
}

TEST(SqlStatementKinds, CreateAndAlterTable) {
  TSqlAnalizer create;
  parseInto(
      "create table people (id autoinc, name char(30), born date, paid money, "
      "rate float(8, 2), notes blob(10, 1), primary key (id))",
      create);
  EXPECT_EQ(create.statementKind, TStatementKind::CreateTable);
  ASSERT_EQ(create.createTables.size(), 1u);
  const TCreateTableItem& table = create.createTables[0];
  EXPECT_EQ(table.tableName, "people");
  ASSERT_EQ(table.fields.size(), 6u);
  EXPECT_EQ(table.fields[0].type, TFieldType::AutoInc);
  EXPECT_EQ(table.fields[1].name, "name");
  EXPECT_EQ(table.fields[1].size, 30);
  EXPECT_EQ(table.fields[4].type, TFieldType::Float);
  EXPECT_EQ(table.fields[4].decimals, 2);
  EXPECT_EQ(table.fields[5].type, TFieldType::Blob);
  EXPECT_EQ(table.fields[5].blobType, 1);
  EXPECT_EQ(table.primaryKey, Names{"id"});
  EXPECT_NE(errorOf("create table t (a char(99999999999))"), "accepted");

  TSqlAnalizer alter;
  parseInto("alter table people add column age smallint, drop notes", alter);
  EXPECT_EQ(alter.statementKind, TStatementKind::AlterTable);
  ASSERT_EQ(alter.createTables.size(), 1u);
  EXPECT_EQ(alter.createTables[0].fields[0].name, "age");
  EXPECT_EQ(alter.createTables[0].fields[0].type, TFieldType::SmallInt);
  EXPECT_EQ(alter.createTables[0].droppedFields, Names{"notes"});
}

TEST(SqlStatementKinds, IndexStatements) {
  TSqlAnalizer create;
  parseInto("create unique desc index byname on people (name, id)", create);
  EXPECT_EQ(create.statementKind, TStatementKind::CreateIndex);
  EXPECT_EQ(create.index.indexName, "byname");
  EXPECT_EQ(create.index.tableName, "people");
  EXPECT_EQ(create.index.fields, (Names{"name", "id"}));
  EXPECT_TRUE(create.index.unique);
  EXPECT_TRUE(create.index.descending);

  TSqlAnalizer plain;
  parseInto("CREATE INDEX cb ON article (cb)", plain);
  EXPECT_FALSE(plain.index.unique);
  EXPECT_FALSE(plain.index.descending);

  TSqlAnalizer drop;
  parseInto("drop index byname on people", drop);
  EXPECT_EQ(drop.statementKind, TStatementKind::DropIndex);
  EXPECT_EQ(drop.index.indexName, "byname");
  EXPECT_EQ(drop.index.tableName, "people");
}

TEST(SqlStatementKinds, TableMaintenanceStatements) {
  const std::vector<std::pair<std::string, TStatementKind>> cases = {
      {"drop table people", TStatementKind::DropTable},
      {"pack table people", TStatementKind::PackTable},
      {"zap table people;", TStatementKind::ZapTable},
      {"REINDEX TABLE people", TStatementKind::ReindexTable},
  };
  for (const auto& [statement, kind] : cases) {
    TSqlAnalizer a;
    parseInto(statement, a);
    EXPECT_EQ(a.statementKind, kind) << statement;
    ASSERT_EQ(a.tables.size(), 1u);
    EXPECT_EQ(a.tables[0].tableName, "people");
  }
}

TEST(SqlStatementKinds, DeepNestingOverflowsTheParserStack) {
  const std::string deep = "select * from t where a = " + std::string(2000, '(') + "1" + std::string(2000, ')');
  const std::string message = errorOf(deep);
  EXPECT_EQ(message.rfind(" yyparse stack overflow at line : 1, Column: ", 0), 0u) << message;
  const std::string fine = "select * from t where a = " + std::string(300, '(') + "1" + std::string(300, ')');
  EXPECT_EQ(errorOf(fine), "accepted");
  std::string minuses;
  for (int i = 0; i < 2000; ++i) minuses += "- ";
  EXPECT_EQ(errorOf("select * from t where a = " + minuses + "1").rfind(" yyparse stack overflow", 0), 0u);
  // Four dashes are an empty comment, so a run of them is no nesting at all.
  EXPECT_EQ(errorOf("select * from t where a = " + std::string(4000, '-') + "1"), "accepted");
}

TEST(SqlStatementKinds, EmptyTextIsASyntaxError) {
  EXPECT_EQ(errorOf(""), " syntax error at line : 1, Column: 0, token: ");
  EXPECT_EQ(errorOf("  -- c --\n"), " syntax error at line : 1, Column: 9, token: ");
}

}  // namespace
}  // namespace vekrano::sql
