// Scanning and parsing: tokens, constants, names, parse errors and their positions.
#include <gtest/gtest.h>

#include <algorithm>

#include "sql/expr/expr_test_table.h"
#include "sql/errors.h"
#include "sql/expr/expression_field.h"

namespace vekrano::sql::testing {
namespace {

class ExpressionParse : public ::testing::Test {
 protected:
  void SetUp() override { table.add(7, "ABC", 3, "O", "first", "second"); }
  ArticleTable table;
};

TEST_F(ExpressionParse, NumbersAndTheirConstantTypes) {
  EXPECT_EQ(table.parse("2147483647").exprType(), ttInteger);
  EXPECT_EQ(table.parse("2147483648").exprType(), ttFloat);
  EXPECT_DOUBLE_EQ(table.number("2147483648"), 2147483648.0);
  EXPECT_EQ(table.integer("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(table.integer("+5"), 5);
  EXPECT_DOUBLE_EQ(table.number("12."), 12.0);
  EXPECT_DOUBLE_EQ(table.number(".5"), 0.5);
  EXPECT_DOUBLE_EQ(table.number(".5E3"), 500.0);
  EXPECT_DOUBLE_EQ(table.number("-1.25"), -1.25);
  EXPECT_DOUBLE_EQ(table.number("$FF"), 255.0);
  EXPECT_EQ(table.parse("$FF").exprType(), ttFloat);
  EXPECT_DOUBLE_EQ(table.number("$FFFFFFFF"), 4294967295.0);
}

TEST_F(ExpressionParse, SignedNumberGluedToAnOperandIsASyntaxError) {
  EXPECT_EQ(messageOf([&] { table.parse("2+3"); }), " syntax error at line : 1, Column: 1, token: +3");
  EXPECT_EQ(table.integer("2 + 3"), 5);
  EXPECT_EQ(messageOf([&] { table.parse("article.quantite-1"); }), " syntax error at line : 1, Column: 16, token: -1");
  EXPECT_EQ(table.integer("article.quantite - 1"), 2);
}

TEST_F(ExpressionParse, StringsKeepTheirTextAndADoubledDelimiter) {
  EXPECT_EQ(table.text("'it\"s'"), "it\"s");
  EXPECT_EQ(table.text("\"A\"\"B%\""), "A\"\"B%");
  EXPECT_EQ(table.text("'a''b'"), "a''b");
  EXPECT_EQ(table.text("\"two\nlines\""), "two\nlines");
  EXPECT_EQ(table.text("\"Mixed Case  \""), "Mixed Case  ");
}

TEST_F(ExpressionParse, KeywordsIgnoreCaseAndCommentsAndBlanksSeparate) {
  EXPECT_TRUE(table.isTrue("true aNd Not false"));
  EXPECT_TRUE(table.isTrue("/* a comment */ 1 =\t1\r\n"));
  EXPECT_EQ(table.integer("7 div 2 /* half */"), 3);
  EXPECT_EQ(table.integer("article.[quantite]"), 3);
}

TEST_F(ExpressionParse, FieldNamesResolveThroughTheStatementsTables) {
  EXPECT_EQ(table.text("article.cb"), "ABC");
  EXPECT_EQ(table.text("ARTICLE.CB"), "ABC");
  EXPECT_EQ(table.text("[article].[lib1]"), "first");
  EXPECT_EQ(table.text("\x0c\"article.lib2\""), "second");
  EXPECT_EQ(table.text("\x0c\"topp\""), "O");
  EXPECT_EQ(messageOf([&] { table.parse("other.cb"); }), "DataSet other doesn't exists");
  EXPECT_EQ(messageOf([&] { table.parse("article.nosuch"); }), "Field Name nosuch not found");
  EXPECT_EQ(messageOf([&] { table.parse("\x0c\"nosuch\""); }), "Field Name nosuch not found");
}

TEST_F(ExpressionParse, SimpleExpressionsAreWhatTheGrammarMakesOfThem) {
  // After a blank, each goes through the whole grammar; without, a quicker way may be taken.
  const auto described = [&](const std::string& text) {
    TExpression& expression = table.parse(text);
    return std::to_string(static_cast<int>(expression.exprType())) + "|" + expression.AsString() + "|" +
           std::to_string(expression.maxString().size()) + "|" +
           std::to_string(dynamic_cast<TFieldExpr*>(&expression) != nullptr);
  };
  for (const std::string text : {"0",
                                 "007",
                                 "2147483647",
                                 "2147483648",
                                 "99999999999999999999",
                                 "\"\"",
                                 "''",
                                 "\"it's\"",
                                 "'say \"hi\"'",
                                 "'\x0c\"cb\"'",
                                 "\"  blanks  \"",
                                 "\"\xE9t\xE9\"",
                                 "\x0c\"cb\"",
                                 "\x0c\"article.quantite\"",
                                 "\x0c\"[lib1]\"",
                                 "\x0c\"[article].[topp]\"",
                                 "(((\x0c\"cb\")))",
                                 "(\"a)(b\")",
                                 "[UPPER](\x0c\"lib1\")",
                                 "[length]((\"abc\"))",
                                 "[Trim](('  x  '))",
                                 "[UPPER]([LOWER](\"AbC\"))",
                                 "((((((((7))))))))",
                                 "[length]((((((('ab')))))))"}) {
    EXPECT_EQ(described(text), described(" " + text)) << text;
  }
  for (const std::string text : {"\x0c\"article.nosuch\"", "[UPPER](\x0c\"nosuch\")", "[NOSUCH](1)", "[UPPER](1, 2)"}) {
    EXPECT_EQ(messageOf([&] { table.parse(text); }), messageOf([&] { table.parse(text + " "); })) << text;
  }
  // Not simple: taken by the grammar as a whole.
  EXPECT_EQ(table.integer("(1) + (2)"), 3);
  EXPECT_EQ(table.text("[UPPER](\"a\") + [LOWER](\"B\")"), "Ab");
  // A text the scanner stops inside is no literal.
  EXPECT_NE(messageOf([&] { table.parse(std::string("\"a\0b\"", 5)); }), "");
  EXPECT_NE(messageOf([&] {
              table.parse(
                  std::string("12\0"
                              "3",
                              4));
            }),
            "");
}

TEST_F(ExpressionParse, ANameAloneIsAFunctionOrUnknown) {
  EXPECT_EQ(messageOf([&] { table.parse("FOO(1)"); }), " Unknown Identifier FOO at line : 1, Column: 5, token: )");
  EXPECT_EQ(messageOf([&] { table.parse("cb = \"x\""); }), " Unknown Identifier cb at line : 1, Column: 3, token: =");
  EXPECT_DOUBLE_EQ(table.number("pi"), 3.141592653589793);
  EXPECT_EQ(table.integer("length(\"abc\")"), 3);
}

TEST_F(ExpressionParse, AFilterMayNameFieldsAlone) {
  table.context.NamesAreFields = true;
  EXPECT_EQ(table.text("cb"), "ABC");
  EXPECT_DOUBLE_EQ(table.number("PI"), 3.141592653589793);
}

TEST_F(ExpressionParse, SyntaxErrorsGiveLineColumnAndToken) {
  EXPECT_EQ(messageOf([&] { table.parse("1 = \n (2 ! 3)"); }), " syntax error at line : 2, Column: 4, token: !");
  EXPECT_EQ(messageOf([&] { table.parse("(1 = 1"); }), " syntax error at line : 1, Column: 6, token: ");
  EXPECT_EQ(messageOf([&] { table.parse(""); }), " syntax error at line : 1, Column: 0, token: ");
  EXPECT_EQ(messageOf([&] { table.parse("\"open"); }), " syntax error at line : 1, Column: 0, token: \"");
  // The exception's text ends at the NUL byte of the offending token.
  EXPECT_EQ(messageOf([&] { table.parse(std::string("1 \0 = 1", 7)); }),
            " syntax error at line : 1, Column: 2, token: ");
  EXPECT_EQ(messageOf([&] { table.parse("$123456789"); }), " syntax error at line : 1, Column: 0, token: $123456789");
  EXPECT_EQ(messageOf([&] { table.parse("article.cb LIKE article.topp"); }),
            " syntax error at line : 1, Column: 16, token: article");
  EXPECT_EQ(table.parser().Expression(), nullptr);
}

TEST_F(ExpressionParse, NestingBeyondTheParserDepthIsRefused) {
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "NOT ";
  deep += "1";
  EXPECT_EQ(messageOf([&] { table.parse(deep); }).substr(0, 35), " yyparse stack overflow at line : 1");
  std::string chain = "1";
  for (int i = 0; i < 2000; ++i) chain += " + 1";
  EXPECT_EQ(messageOf([&] { table.parse(chain); }).substr(0, 23), " yyparse stack overflow");
  std::string wide = "article.num IN (1";
  for (int i = 0; i < 5000; ++i) wide += ", 1";
  EXPECT_TRUE(table.isTrue(wide + ", 7)"));
}

TEST_F(ExpressionParse, DateLiteralsAreMonthFirstSerialNumbers) {
  EXPECT_DOUBLE_EQ(table.number("#12/31/1999#"), 36525.0);
  EXPECT_DOUBLE_EQ(table.number("#1/2/2003#"), 37623.0);
  EXPECT_EQ(table.integer("MONTH(#1/2/2003#)"), 1);
  // Shorter than ten characters: no token at all, so nothing remains to parse.
  EXPECT_EQ(messageOf([&] { table.parse("#1/2/03#"); }), " syntax error at line : 1, Column: 8, token: ");
  EXPECT_EQ(messageOf([&] { table.parse("#13/45/2003#"); }), "'13/45/2003' is not a valid date");
}

TEST_F(ExpressionParse, SingleFieldTestNamesTheBoundField) {
  dbase::TField* field = table.parser().parseSingleField("article.quantite");
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(field->FieldName(), "quantite");
  EXPECT_EQ(table.parser().parseSingleField("article.quantite + 1"), nullptr);
  EXPECT_EQ(table.parser().parseSingleField("(\x0c\"cb\")")->FieldName(), "cb");
  EXPECT_EQ(table.parser().parseSingleField("\"cb\""), nullptr);
}

TEST_F(ExpressionParse, ParametersTakeTheQuerysValues) {
  table.context.ParamValue = [](const std::string& name) -> std::optional<TExprValue> {
    if (name == "n") return TExprValue{std::int32_t{7}};
    return std::nullopt;
  };
  EXPECT_TRUE(table.isTrue("article.num = :n"));
  EXPECT_EQ(messageOf([&] { table.parse(":m"); }), "Parameter m not found in the list of params");
}

TEST_F(ExpressionParse, UserDefinedFunctionsComeAfterSpecialNamesAndBeforeTheTable) {
  std::vector<std::string> checked;
  table.context.OnUDFCheck = [&](const std::string& name, const TExprList& params, TExprType& type, int& width) {
    checked.push_back(name);
    if ((name != "DOUBLE" && name != "UPPER" && name != "NOW") || params.size() != 1) return false;
    type = ttInteger;
    width = 5;
    return true;
  };
  table.context.OnUDFSolve = [](const std::string& name, const TExprList& params) -> TExprValue {
    return name == "UPPER" ? 99 : params[0]->AsInteger() * 2;
  };
  EXPECT_EQ(table.integer("double(article.quantite)"), 6);
  EXPECT_EQ(table.integer("Upper(1)"), 99);  // a user function may replace a table function
  EXPECT_EQ(messageOf([&] { table.text("UPPER(\"a\", 2)"); }), "Invalid parameter to UPPER");
  EXPECT_EQ(messageOf([&] { table.number("NOW(1)"); }), "Invalid parameter to NOW");
  EXPECT_EQ(std::count(checked.begin(), checked.end(), "NOW"), 0);
}

TEST(ExpressionFieldTypes, MapOntoExpressionTypes) {
  using dbase::TFieldType;
  EXPECT_EQ(fieldExprType(TFieldType::ftSmallint), ttInteger);
  EXPECT_EQ(fieldExprType(TFieldType::ftAutoInc), ttInteger);
  EXPECT_EQ(fieldExprType(TFieldType::ftWord), ttInteger);
  EXPECT_EQ(fieldExprType(TFieldType::ftBytes), ttInteger);
  EXPECT_EQ(fieldExprType(TFieldType::ftBoolean), ttBoolean);
  EXPECT_EQ(fieldExprType(TFieldType::ftLargeint), ttFloat);
  EXPECT_EQ(fieldExprType(TFieldType::ftDate), ttFloat);
  EXPECT_EQ(fieldExprType(TFieldType::ftCurrency), ttFloat);
  EXPECT_EQ(fieldExprType(TFieldType::ftMemo), ttString);
  EXPECT_EQ(fieldExprType(TFieldType::ftString), ttString);
}

TEST_F(ExpressionParse, MaximumStringOfATextFieldIsItsSize) {
  EXPECT_EQ(table.parse("article.topp").maxString(), "XX");
  EXPECT_EQ(table.parse("article.cb").maxString().size(), 50u);
  EXPECT_EQ(table.parse("UPPER(article.lib1)").maxString().size(), 100u);
}

}  // namespace
}  // namespace vekrano::sql::testing
