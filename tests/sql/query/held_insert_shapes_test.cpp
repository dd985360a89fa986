// INSERT statements run through a held shape against the same statements parsed afresh.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "sql/errors.h"
#include "sql/parse/sql_parser.h"
#include "sql/query/article_query.h"
#include "sql/query/held_insert_shapes.h"
#include "sql/query/query_rows.h"

namespace vekrano::sql {
namespace {

struct Case {
  const char* statement;
  bool reused;  // the long-lived query takes a shape it holds
};

// Every record of the table in its order, every field as text.
std::vector<std::string> records(dbase::TTzDbf& table) {
  std::vector<std::string> rows;
  for (table.First(); !table.Eof(); table.Next()) {
    std::string row;
    for (int i = 0; i < table.FieldCount(); ++i) row += table.Fields(i).AsString() + "|";
    rows.push_back(row);
  }
  return rows;
}

const std::vector<Case> kCases = {
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (1,"A1","x", "y", 2, "O" ))", false},
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (2,"A2","lot 2", "", 3, "N" ))", true},
    // Blanks, line breaks and comments are not part of a shape; quote kinds are one literal kind.
    {"INSERT  INTO article(num,cb,lib1,lib2,quantite,topp)\r\nVALUES(3,'A3','it\"s',\"y\",4,'O')", true},
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) /* c */ VALUES (4,"A4","x","y",5,"N") -- e --)", true},
    // A keyword's case, a literal's kind: parsed afresh, then held too.
    {R"(insert into article (num,cb,lib1,lib2,quantite,topp) values (5,"A5","x","y",2,"O"))", false},
    {R"(insert into article (num,cb,lib1,lib2,quantite,topp) values (6,"A6","x","y",2,"O"))", true},
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (7.0,"A7","x","y",2,"O"))", false},
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (8.5,"A8","x","y",2.75,"O"))", false},
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (9,"A9","x","y","3","O"))", false},
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (10,"A10","x","y","3x","O"))", true},
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (-11,"A11","x","y",+2,"O"))", false},
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (-12,"A12","x","y",-2,"O"))", true},
    // Wrong kinds and sizes meet the fields as they would after a parse.
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES ("abc","A13","x","y",2,"O"))", false},
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES ("14","A14","x","y",2,"O"))", true},
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (15,"A15","x","y",99999,"O"))", true},
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (123456,"A16","x","y",1,"O"))", true},
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (17,"B123456789B123456789B123456789B123456789B123456789 cut here","x","y",1,"TOO LONG"))",
     true},
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (18,"A""B","a:b","[x]",1,"O"))", true},
    {"INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (19,\"\x0C\"\"cb\"\"\",\"x\",\"y\",1,\"O\")", true},
    // Other statements in between leave the shapes held.
    {R"(UPDATE article SET quantite=9 WHERE num=2)", false},
    {R"(delete from article where num=3)", false},
    {R"(INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (46,"A46","x", "y", 2, "O" ))", true},
    // Too many values, too few, an unknown field, NULL.
    {R"(INSERT INTO article (num,cb) VALUES (20,"C20",5))", false},
    {R"(INSERT INTO article (num,cb) VALUES (21,"C21",6))", true},
    // Values of other lengths; a value more, of another kind; a value of another kind.
    {R"(INSERT INTO article (num,cb) VALUES (2100,"C""21 longer",61))", true},
    {R"(INSERT INTO article (num,cb) VALUES (2,"C","x",6))", false},
    {R"(INSERT INTO article (num,cb) VALUES (21.5,"C215",6))", false},
    {"INSERT INTO article (num,cb) VALUES (2101,\"C2101\",6)  \n", true},
    {R"(INSERT INTO article (num,cb,lib1) VALUES (22,"C22"))", false},
    {R"(INSERT INTO article (num,cb,lib1) VALUES (23,"C23"))", true},
    {R"(INSERT INTO article (num,nosuch) VALUES (24,"C24"))", false},
    {R"(INSERT INTO article (num,nosuch) VALUES (25,"C25"))", true},
    {R"(INSERT INTO article (num,cb) VALUES (26,NULL))", false},
    {R"(INSERT INTO article (num,cb) VALUES (27,NULL))", true},
    {R"(INSERT INTO article (num,cb) VALUES (28,null))", false},
    {R"(INSERT INTO ARTICLE (NUM,Cb) VALUES (29,"C29"))", false},
    {R"(INSERT INTO ARTICLE (NUM,Cb) VALUES (30,"C30"))", true},
    {R"(INSERT INTO article (num,cb) VALUES (31,"C31");)", false},
    {R"(INSERT INTO article (num,cb) VALUES (32,"C32");)", true},
    // Never held: values that are not one literal as written, and statements that fail to parse.
    {R"(INSERT INTO article (num,cb) VALUES (33,"C" + "33"))", false},
    {R"(INSERT INTO article (num,cb) VALUES (34,"C" + "34"))", false},
    {R"(INSERT INTO article (num,cb) VALUES ($23,"C35"))", false},
    {R"(INSERT INTO article (num,cb) VALUES ($24,"C36"))", false},
    {R"(INSERT INTO article (num,cb) VALUES (:n,"C37"))", false},
    {R"(INSERT INTO article (num,cb) VALUES (- 38,"C38"))", false},
    {R"(INSERT INTO article (num,cb) VALUES (38,"C38"))", false},
    {R"(INSERT INTO article (num,cb) VALUES (3800,"C3800"))", true},
    {R"(INSERT INTO article (num,cb) VALUES (39 "C39"))", false},
    {R"(INSERT INTO article (num,cb) VALUES (40,"C40",))", false},
    {R"(INSERT INTO article (num,cb) VALUES (41,"C41") ?)", false},
    {R"(INSERT INTO article (num,cb) VALUES (42,"C42"); select)", false},
    {R"(INSERT INTO article (num,cb) VALUES (43,cb))", false},
    {R"(INSERT INTO nosuch (num,cb) VALUES (44,"C44"))", false},
    {R"(INSERT INTO nosuch (num,cb) VALUES (45,"C45"))", true},
};

TEST_F(ArticleQuery, HeldShapesGiveTheResultsAndErrorsOfAFreshParse) {
  vekrano::testing::TempDir freshDir;
  dbase::TTzDbf freshTable{"fresh"};
  records::configureArticleTable(freshTable, freshDir.path().string());
  freshTable.Open();
  int expectedReuses = 0;
  for (const Case& c : kCases) {
    TSqlQuery fresh;
    fresh.AutoDisableControls = false;
    fresh.DataSets().Add("article", &freshTable);
    const int reusedBefore = query.reusedParseCount();
    EXPECT_EQ(statementOutcome(query, c.statement), statementOutcome(fresh, c.statement)) << c.statement;
    EXPECT_EQ(query.reusedParseCount() - reusedBefore, c.reused ? 1 : 0) << c.statement;
    EXPECT_EQ(fresh.reusedParseCount(), 0);
    expectedReuses += c.reused ? 1 : 0;
  }
  EXPECT_EQ(query.reusedParseCount(), expectedReuses);
  const std::vector<std::string> held = records(table);
  EXPECT_EQ(held, records(freshTable));
  // The values reached the table: the held shape did not keep the first statement's.
  ASSERT_GE(held.size(), 30U);
  EXPECT_EQ(Column("select cb from article where num=18"), std::vector<std::string>{"A\"\"B"});
  EXPECT_EQ(Column("select lib1 from article where num=18", "lib1"), std::vector<std::string>{"a:b"});
  EXPECT_EQ(Column("select cb, num from article where num=46 or num=4 order by num"),
            (std::vector<std::string>{"A4", "A46"}));
  freshTable.Close();
}

// Statements made at random from a few heads and values of every kind, with blanks, comments
// and line breaks here and there: the same outcome through held shapes as through fresh parses.
TEST_F(ArticleQuery, RandomInsertsGiveTheSameOutcomeThroughHeldShapes) {
  vekrano::testing::TempDir freshDir;
  dbase::TTzDbf freshTable{"fresh"};
  records::configureArticleTable(freshTable, freshDir.path().string());
  freshTable.Open();
  const std::vector<std::string> heads = {"INSERT INTO article (num,cb,quantite,topp) VALUES",
                                          "insert into article (num,cb,quantite,topp) values",
                                          "INSERT INTO article (num,lib1,cb,nosuch) VALUES"};
  // Each place mostly takes values of one kind, as an import writes them, and now and then any.
  const std::vector<std::vector<std::string>> typical = {{"7", "99999", "2147483648", "1"},
                                                         {"\"A\"", "'B'", "\"\"", "'x\"y'", "\"p\"\"q\"", "\"a:b\""},
                                                         {"7", "0", "123"},
                                                         {"\"O\"", "'N'", "\"TOO LONG\""}};
  const std::vector<std::string> any = {"-3",  "+12", "4.5",   ".5",    "12.", "NULL", "null",
                                        "$1F", "cb",  "1 + 1", "\"O\"", "7",   "'N'"};
  const std::vector<std::string> gaps = {"", " ", "  ", "\n", "\r\n", "/* c */", "\t"};
  std::mt19937 random(31);
  const auto pick = [&](const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
  };
  // Mostly one gap, so that many statements share their written form but for the values.
  const auto gap = [&] { return std::uniform_int_distribution<int>(0, 9)(random) < 8 ? std::string() : pick(gaps); };
  for (int i = 0; i < 300; ++i) {
    std::string statement = pick(heads) + " " + gap() + "(";
    const int count = std::uniform_int_distribution<int>(0, 9)(random) < 8 ? 4 : 3 + (i % 3);
    for (int v = 0; v < count; ++v) {
      const bool odd = v >= 4 || std::uniform_int_distribution<int>(0, 9)(random) == 0;
      statement += (v == 0 ? "" : ",") + gap() + pick(odd ? any : typical[static_cast<std::size_t>(v)]) + gap();
    }
    statement += ")";
    if (i % 17 == 0) statement += ";";
    if (i % 41 == 0) statement += " ?";
    TSqlQuery fresh;
    fresh.AutoDisableControls = false;
    fresh.DataSets().Add("article", &freshTable);
    ASSERT_EQ(statementOutcome(query, statement), statementOutcome(fresh, statement)) << statement;
  }
  EXPECT_GT(query.reusedParseCount(), 100);
  EXPECT_EQ(records(table), records(freshTable));
  freshTable.Close();
}

// The held parse fills the statement exactly as a parse of the new text does.
TEST(HeldInsertShapes, FillTheStatementAsTheParseDoes) {
  const TSqlParser parser;
  HeldInsertShapes shapes;
  const auto parsedFresh = [&](const std::string& text) {
    TSqlAnalizer analizer;
    EXPECT_FALSE(parser.Parse(text, analizer).has_value()) << text;
    return analizer.inserts.front();
  };
  {
    TSqlAnalizer analizer;
    const std::string first = R"(INSERT INTO "other.dbf" (num,cb,lib1,topp) VALUES (1,'a',NULL,"O"))";
    ASSERT_FALSE(shapes.reuse(first, parser, analizer));
    ASSERT_FALSE(parser.Parse(first, analizer).has_value());
    shapes.learn(analizer);
  }
  const std::string sameShape = R"(INSERT INTO "other.dbf" (num,cb,lib1,topp) VALUES (22,"b c",NULL,'N'))";
  for (const auto& [text, reused] : std::vector<std::pair<std::string, bool>>{
           {sameShape, true},
           {R"(insert INTO "other.dbf" (num,cb,lib1,topp) VALUES (22,"b c",NULL,'N'))", false},
           {R"(INSERT INTO "other.dbf" (num,cb,lib1,topp) VALUES (22,"b c",NULL,'N', 5))", false},
           {R"(INSERT INTO "other.dbf" (num,cb,lib1,topp) VALUES (22,"b c",5,'N'))", false},
           {R"(INSERT INTO "else.dbf" (num,cb,lib1,topp) VALUES (22,"b c",NULL,'N'))", false},
       }) {
    TSqlAnalizer analizer;
    ASSERT_EQ(shapes.reuse(text, parser, analizer), reused) << text;
    if (!reused) continue;
    const TInsertItem expected = parsedFresh(text);
    EXPECT_EQ(analizer.statementKind, TStatementKind::Insert);
    ASSERT_EQ(analizer.inserts.size(), 1U);
    EXPECT_EQ(analizer.inserts.front().tableName, expected.tableName);
    EXPECT_TRUE(analizer.inserts.front().isQuotedFileName);
    EXPECT_EQ(analizer.inserts.front().fieldNames, expected.fieldNames);
    EXPECT_EQ(analizer.inserts.front().values, expected.values);
    EXPECT_EQ(analizer.inserts.front().values, (std::vector<std::string>{"22", "\"b c\"", "NULL", "'N'"}));
  }
}

}  // namespace
}  // namespace vekrano::sql
