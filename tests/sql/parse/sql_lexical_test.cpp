// The scanner's rules as the parser sees them: tokens, comments, numbers, strings, dates,
// letter case and the position of a refused token.
#include <gtest/gtest.h>

#include <string>

#include "common/format_settings.h"
#include "sql/program/analyzer.h"
#include "sql/parse/sql_keywords.h"
#include "sql/parse/sql_parser.h"

namespace vekrano::sql {
namespace {

const std::string kF = "\x0C\"";  // opens a field reference; closed by a double quote

std::optional<SqlSyntaxError> parse(const std::string& text, TSqlAnalizer& analizer,
                                    const std::string& dateFormat = "dd/MM/yyyy") {
  return TSqlParser(dateFormat).Parse(text, analizer);
}

std::string whereOf(const std::string& statement, const std::string& dateFormat = "dd/MM/yyyy") {
  TSqlAnalizer analizer;
  const auto error = parse(statement, analizer, dateFormat);
  EXPECT_FALSE(error) << statement << " ->" << (error ? error->message() : "");
  return analizer.whereText;
}

std::string errorOf(const std::string& statement) {
  TSqlAnalizer analizer;
  const auto error = parse(statement, analizer);
  return error ? error->message() : "accepted";
}

TEST(SqlLexical, DoubledQuoteContinuesTheSameStringToken) {
  EXPECT_EQ(whereOf("select * from article where cb like \"A\"\"B%\""), "SQLLIKE(" + kF + "cb\", \"A\"\"B%\", '')");
  EXPECT_EQ(whereOf("select * from article where cb = 'it''s'"), kF + "cb\" = 'it''s'");
  // The other quote character is an ordinary character; a literal may span lines.
  EXPECT_EQ(whereOf("select * from article where lib1 = \"l'a\nb\""), kF + "lib1\" = \"l'a\nb\"");
}

TEST(SqlLexical, CommentsInTheirThreeFormsAreSkipped) {
  EXPECT_EQ(whereOf("select * from article -- note -- where num=1"), kF + "num\" = 1");
  EXPECT_EQ(whereOf("select * /* all */ from article where [* x *] num=1"), kF + "num\" = 1");
  // A "-" inside ends nothing: "-- a-b --" is no comment, so the statement is refused.
  EXPECT_NE(errorOf("select * from article -- a-b -- where num=1"), "accepted");
}

TEST(SqlLexical, FinalSemicolonOnlyAndOneStatement) {
  EXPECT_EQ(whereOf("select * from article where num=1;"), kF + "num\" = 1");
  EXPECT_EQ(errorOf("select * from article; select * from article"),
            " syntax error at line : 1, Column: 23, token: select");
  EXPECT_NE(errorOf("select * from article;;"), "accepted");
}

TEST(SqlLexical, KeywordsIgnoreLetterCase) {
  TSqlAnalizer upper;
  TSqlAnalizer lower;
  TSqlAnalizer mixed;
  EXPECT_FALSE(parse("SELECT * FROM article WHERE topp=\"O\"", upper));
  EXPECT_FALSE(parse("select * from article where topp=\"O\"", lower));
  EXPECT_FALSE(parse("Select * From article Where topp=\"O\" Order By cb Desc", mixed));
  EXPECT_EQ(upper.whereText, lower.whereText);
  EXPECT_EQ(upper.whereText, kF + "topp\" = \"O\"");
  ASSERT_EQ(mixed.orderBy.size(), 1u);
  EXPECT_TRUE(mixed.orderBy[0].descending);
  // The longest keywords, a second spelling, and words that only look like keywords.
  EXPECT_EQ(sqlKeywordCode("substring"), sqlKeywordCode("SUBSTRING"));
  EXPECT_TRUE(sqlKeywordCode("TransForm").has_value());
  EXPECT_EQ(sqlKeywordCode("numeric"), sqlKeywordCode("FLOAT"));
  for (const char* word : {"", "SUBSTRINGS", "SELEC", "SELECT_", "\xC9ND"}) EXPECT_FALSE(sqlKeywordCode(word)) << word;
  EXPECT_FALSE(sqlKeywordCode(std::string_view("TO\0", 3)));
}

TEST(SqlLexical, IllegalCharactersStopTheParseAtThemselves) {
  EXPECT_EQ(errorOf("select * from article where num!=1"), " syntax error at line : 1, Column: 31, token: !");
  EXPECT_EQ(errorOf("select * from article\nwhere num = ?"), " syntax error at line : 2, Column: 12, token: ?");
  EXPECT_EQ(errorOf("select * from article where cb = \"open"), " syntax error at line : 1, Column: 33, token: \"");
  EXPECT_EQ(errorOf("select * from article\r\nwhere num = 1\rx"), " syntax error at line : 2, Column: 13, token: \r");
  EXPECT_EQ(errorOf("select * from"), " syntax error at line : 1, Column: 13, token: ");
}

TEST(SqlLexical, SignBeforeDigitsBelongsToTheNumber) {
  EXPECT_EQ(errorOf("select * from article where quantite-1>0"), " syntax error at line : 1, Column: 36, token: -1");
  EXPECT_EQ(whereOf("select * from article where quantite - 1 > 0"), kF + "quantite\" - 1 > 0");
  EXPECT_EQ(whereOf("select * from article where num=-5"), kF + "num\" = -5");
  EXPECT_EQ(whereOf("select * from article where num = - 5"), kF + "num\" = -5");
}

TEST(SqlLexical, NumberForms) {
  EXPECT_EQ(whereOf("select * from t where a = 12.5 or a = .5 or a = 12. or a = -1.5"),
            kF + "a\" = 12.5 or " + kF + "a\" = .5 or " + kF + "a\" = 12. or " + kF + "a\" = -1.5");
  EXPECT_EQ(whereOf("select * from t where a = .5E-3 or a = .5e+2"), kF + "a\" = .5E-3 or " + kF + "a\" = .5e+2");
  // An exponent follows only a number that begins with the point.
  EXPECT_NE(errorOf("select * from t where a = 1.5E-3"), "accepted");
  EXPECT_EQ(whereOf("select * from t where a = $FF or a = $ffffffff"), kF + "a\" = 255 or " + kF + "a\" = 4294967295");
  EXPECT_EQ(errorOf("select * from t where a = $100000000"),
            " syntax error at line : 1, Column: 26, token: $100000000");
}

TEST(SqlLexical, DatesAreSerialNumbersWrappedInsideWhere) {
  // 1 February 2003 in three orders; 2 January 2003 is 37623.
  EXPECT_EQ(whereOf("select * from t where d = #01/02/2003#"), kF + "d\" = DummyDate(37653)");
  EXPECT_EQ(whereOf("select * from t where d = #02/01/2003#", "MM/dd/yyyy"), kF + "d\" = DummyDate(37653)");
  EXPECT_EQ(whereOf("select * from t where d = #2003-01-02#", "yyyy-MM-dd"), kF + "d\" = DummyDate(37623)");
  EXPECT_EQ(whereOf("select * from t where d = #31/12/1899#"), kF + "d\" = DummyDate(1)");
  TSqlAnalizer column;
  ASSERT_FALSE(parse("select #01/02/2003# as d from t where d > 0", column));
  EXPECT_EQ(column.columns[0].expression, "37653");
  // Shorter than ten characters with the signs: no token at all, so "=" lacks its operand.
  EXPECT_EQ(errorOf("select * from t where d = #1/2/03#"), " syntax error at line : 1, Column: 34, token: ");
  EXPECT_EQ(whereOf("select * from t where a = 1 #1/2/03#"), kF + "a\" = 1");
  EXPECT_EQ(errorOf("select * from t where d = #31/02/2003#"),
            " syntax error at line : 1, Column: 26, token: #31/02/2003#");
}

TEST(SqlLexical, DateFormatEmptyMeansTheProcessShortDateFormat) {
  common::formatSettings().shortDateFormat = "MM/dd/yyyy";
  TSqlAnalizer analizer;
  EXPECT_FALSE(TSqlParser().Parse("select * from t where d = #02/01/2003#", analizer));
  common::formatSettings().shortDateFormat = "dd/MM/yyyy";
  EXPECT_EQ(analizer.whereText, kF + "d\" = DummyDate(37653)");
}

TEST(SqlLexical, NowIsTheCurrentDateAndTime) {
  TSqlAnalizer analizer;
  ASSERT_FALSE(parse("select NOW as n from t where d < now", analizer));
  const double column = std::stod(analizer.columns[0].expression);
  EXPECT_GT(column, 45000.0);  // after 2023
  const std::string where = analizer.whereText;
  ASSERT_EQ(where.rfind(kF + "d\" < DummyDate(", 0), 0u) << where;
  EXPECT_EQ(where.back(), ')');
}

TEST(SqlLexical, BracketedNamesAndConcatenation) {
  TSqlAnalizer analizer;
  ASSERT_FALSE(parse("select [my field] || 'x' as [all] from [my table] where [select] = 1", analizer));
  EXPECT_EQ(analizer.columns[0].expression, kF + "my field\" + 'x'");
  EXPECT_EQ(analizer.columns[0].columnName, "all");
  EXPECT_EQ(analizer.tables[0].tableName, "my table");
  EXPECT_EQ(analizer.whereText, kF + "select\" = 1");
}

TEST(SqlLexical, LongNamesAndNulBytesAreHandled) {
  TSqlAnalizer analizer;
  const std::string longName(5000, 'a');
  ASSERT_FALSE(parse("select " + longName + " from t", analizer));
  EXPECT_EQ(analizer.columns[0].columnName, longName);
  EXPECT_EQ(errorOf(std::string("select * from t where a = \0", 27)),
            " syntax error at line : 1, Column: 26, token: " + std::string(1, '\0'));
}

}  // namespace
}  // namespace vekrano::sql
