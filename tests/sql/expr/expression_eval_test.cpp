// Evaluation over the barcode record table: comparisons, null handling, LIKE, arithmetic, types.
#include <gtest/gtest.h>

#include "sql/expr/expr_test_table.h"
#include "sql/errors.h"

namespace vekrano::sql::testing {
namespace {

// Written as a query's Filter would be: fields named alone.
class ExpressionEval : public ::testing::Test {
 protected:
  void SetUp() override {
    table.context.NamesAreFields = true;
    table.add(1, "ABC", 10, "O");
    table.add(2, "ABCD", 9, "o");
    table.add(3, "abcd", 0, "N");
    table.add(4, "XABC", -1, "N");
    table.add(5, "", 3, "O");
  }
  ArticleTable table;
};

TEST_F(ExpressionEval, LikeMatchesWholeValueByExactBytes) {
  const auto like = [&](const std::string& pattern, int record) {
    return table.isTrue("cb LIKE \"" + pattern + "\"", record);
  };
  EXPECT_TRUE(like("ABC%", 0));
  EXPECT_TRUE(like("ABC%", 1));
  EXPECT_FALSE(like("ABC%", 2));  // abcd: case counts
  EXPECT_FALSE(like("ABC%", 3));  // XABC
  EXPECT_FALSE(like("ABC%", 4));  // empty
  EXPECT_TRUE(like("A_C", 0));
  EXPECT_FALSE(like("A_C", 1));
  EXPECT_TRUE(like("%C", 0));
  EXPECT_FALSE(like("%C", 1));
  for (int record = 0; record < 5; ++record) EXPECT_TRUE(like("%", record)) << record;
  EXPECT_TRUE(like("", 4));
  EXPECT_FALSE(like("", 0));
  EXPECT_TRUE(like("%B%D", 1));
  EXPECT_FALSE(like("%B%D", 0));
  EXPECT_TRUE(table.isTrue("cb NOT LIKE \"ab%\"", 0));
  EXPECT_FALSE(table.isTrue("cb NOT LIKE \"AB%\"", 0));
}

TEST_F(ExpressionEval, LikeEscapeAndFunctionForms) {
  table.add(6, "50%_off", 1, "N");
  EXPECT_TRUE(table.isTrue(R"(cb LIKE "50\%\_off" ESCAPE "\")", 5));
  EXPECT_FALSE(table.isTrue(R"(cb LIKE "50\%x" ESCAPE "\")", 5));
  EXPECT_TRUE(table.isTrue(R"(SQLLIKE(cb, '50!%%', '!'))", 5));
  EXPECT_FALSE(table.isTrue(R"(SQLLIKE(cb, '5!0%', '!'))", 5));  // "!" before "0" stands for itself
  EXPECT_TRUE(table.isTrue(R"(SQLLIKE(cb, '50%', ''))", 5));
  EXPECT_TRUE(table.isTrue(R"(SQLNOTLIKE(cb, 'ABC', ''))", 5));
  EXPECT_EQ(messageOf([&] { table.parse("SQLLIKE(cb)"); }), "Invalid parameter to SQLLIKE");
}

TEST_F(ExpressionEval, StringComparisonsAreByteWiseAndCaseSensitive) {
  EXPECT_TRUE(table.isTrue("topp = \"O\"", 0));
  EXPECT_FALSE(table.isTrue("topp = \"O\"", 1));  // "o"
  EXPECT_TRUE(table.isTrue("\"10\" < \"9\""));
  EXPECT_FALSE(table.isTrue("10 < 9"));
  EXPECT_TRUE(table.isTrue("\"Z\" < \"a\""));
  EXPECT_TRUE(table.isTrue("\"z\" < \"\xE9\""));  // accented letters after "z"
  EXPECT_TRUE(table.isTrue("\"AB\" < \"ABC\""));
  EXPECT_TRUE(table.isTrue("\"a \" > \"a\""));  // blanks count
  EXPECT_TRUE(table.isTrue("\"5\" = 5"));
  EXPECT_TRUE(table.isTrue("2 = 2.0"));
}

TEST_F(ExpressionEval, EmptyTextIsNullAndNeverCompares) {
  for (int record = 0; record < 5; ++record) {
    EXPECT_FALSE(table.isTrue("cb = \"\"", record)) << record;
    EXPECT_FALSE(table.isTrue("cb <> \"\"", record)) << record;
  }
  EXPECT_TRUE(table.isTrue("LENGTH(cb) > 0", 0));
  EXPECT_FALSE(table.isTrue("LENGTH(cb) > 0", 4));
}

TEST_F(ExpressionEval, NullFieldsReadAsEmptyAndCompareFalse) {
  table.data.addRow(
      {std::int64_t{6}, std::monostate{}, std::string(), std::string(), std::monostate{}, std::string("N")});
  EXPECT_FALSE(table.isTrue("quantite = 0", 5));
  EXPECT_FALSE(table.isTrue("quantite <> 0", 5));
  EXPECT_TRUE(table.isTrue("ISNULL(quantite, TRUE)", 5));
  EXPECT_TRUE(table.isTrue("ISNULL(cb, TRUE)", 5));
  EXPECT_FALSE(table.isTrue("ISNULL(cb, FALSE)", 5));
  EXPECT_TRUE(table.isTrue("ISNULL(cb, FALSE)", 0));
  EXPECT_TRUE(table.isTrue("cb LIKE \"%\"", 5));
  EXPECT_FALSE(table.isTrue("cb LIKE \"_%\"", 5));
}

TEST_F(ExpressionEval, IntegerFieldAgainstTextComparesTexts) {
  EXPECT_TRUE(table.isTrue("quantite > 0", 0));  // 10
  EXPECT_FALSE(table.isTrue("quantite > \"9\"", 0));  // "10" < "9" as text
  EXPECT_TRUE(table.isTrue("quantite > \"0\"", 1));
  EXPECT_TRUE(table.isTrue("quantite > 9", 0));
  EXPECT_FALSE(table.isTrue("quantite > 0", 2));
}

TEST_F(ExpressionEval, NotBindsTighterThanComparison) {
  // (NOT quantite) = 0 holds only where the complement of quantite is 0, that is quantite = -1.
  EXPECT_FALSE(table.isTrue("NOT quantite = 0", 2));
  EXPECT_TRUE(table.isTrue("NOT quantite = 0", 3));
  EXPECT_EQ(table.integer("NOT quantite", 2), -1);
  EXPECT_TRUE(table.isTrue("NOT (quantite = 0)", 0));
}

TEST_F(ExpressionEval, AndOrXorGroupLeftToRight) {
  // a OR b AND c is (a OR b) AND c: with a true and c false the result is false.
  EXPECT_FALSE(table.isTrue("TRUE OR TRUE AND FALSE"));
  EXPECT_TRUE(table.isTrue("TRUE OR (TRUE AND FALSE)"));
  EXPECT_TRUE(table.isTrue("FALSE AND FALSE OR TRUE"));
  EXPECT_FALSE(table.isTrue("TRUE XOR TRUE OR FALSE"));
  EXPECT_TRUE(table.isTrue("num = 1 OR num = 2 AND topp = \"o\"", 1));
  EXPECT_FALSE(table.isTrue("num = 1 OR num = 2 AND topp = \"o\"", 0));
}

TEST_F(ExpressionEval, AndOrSkipTheRightSideOnlyWhenDecided) {
  EXPECT_FALSE(table.isTrue("FALSE AND 1 DIV 0 = 1"));
  EXPECT_TRUE(table.isTrue("TRUE OR 1 DIV 0 = 1"));
  EXPECT_EQ(messageOf([&] { table.isTrue("TRUE AND 1 DIV 0 = 1"); }), "Division by zero");
  EXPECT_EQ(messageOf([&] { table.isTrue("TRUE XOR 1 DIV 0 = 1"); }), "Division by zero");
}

TEST_F(ExpressionEval, ArithmeticResultsAndTypes) {
  EXPECT_DOUBLE_EQ(table.number("1 / 2"), 0.5);
  EXPECT_EQ(table.parse("1 / 2").exprType(), ttFloat);
  EXPECT_EQ(table.integer("7 DIV 2"), 3);
  EXPECT_EQ(table.integer("-7 DIV 2"), -3);
  EXPECT_EQ(table.integer("-7 MOD 2"), -1);
  EXPECT_EQ(table.integer("7 MOD -2"), 1);
  EXPECT_EQ(table.integer("1 SHL 33"), 2);
  EXPECT_EQ(table.integer("-1 SHR 28"), 15);
  EXPECT_EQ(table.integer("12 AND 10"), 8);
  EXPECT_EQ(table.integer("12 OR 3"), 15);
  EXPECT_EQ(table.integer("12 XOR 10"), 6);
  EXPECT_EQ(table.integer("2147483647 + 1"), -2147483647 - 1);
  EXPECT_EQ(table.integer("65536 * 65536"), 0);
  EXPECT_EQ(table.integer("-2147483648 DIV -1"), -2147483647 - 1);
  EXPECT_EQ(table.integer("-2147483648 MOD -1"), 0);
  EXPECT_DOUBLE_EQ(table.number("2 ^ 10"), 1024.0);
  EXPECT_EQ(table.parse("2 ^ 10").exprType(), ttFloat);
  EXPECT_DOUBLE_EQ(table.number("2 ^ 3 ^ 2"), 512.0);  // right to left
  EXPECT_DOUBLE_EQ(table.number("- 2 ^ 2"), -4.0);  // -(2 ^ 2)
  EXPECT_EQ(table.integer("2 * 3 + 4 * 5"), 26);
  EXPECT_EQ(table.integer("2 * (3 + 4)"), 14);
  EXPECT_EQ(table.integer("10 - 2 - 3"), 5);
  EXPECT_EQ(table.integer("1 + TRUE"), 2);
  EXPECT_DOUBLE_EQ(table.number("1.5 + 1"), 2.5);
  EXPECT_EQ(table.text("\"a\" + 1.5 + \"b\""), "a1.5b");
  EXPECT_EQ(table.text("cb + topp", 0), "ABCO");
  EXPECT_EQ(table.integer("quantite * 2 + num", 0), 21);
  EXPECT_EQ(table.text("7 DIV 2"), "3");
  EXPECT_EQ(table.text("1 = 1"), "True");
  EXPECT_EQ(table.text("2.5 * 2"), "5");
}

TEST_F(ExpressionEval, ArithmeticFaultsRaiseExceptions) {
  EXPECT_EQ(messageOf([&] { table.integer("1 DIV 0"); }), "Division by zero");
  EXPECT_EQ(messageOf([&] { table.integer("1 MOD (num - 1)", 0); }), "Division by zero");
  EXPECT_EQ(messageOf([&] { table.number("1 / 0"); }), "Floating point division by zero");
  EXPECT_EQ(messageOf([&] { table.number("0 ^ 2"); }), "Invalid floating point operation");
  EXPECT_EQ(messageOf([&] { table.number("-2 ^ 2"); }), "Invalid floating point operation");
}

TEST_F(ExpressionEval, OperatorTypeRuleIsCheckedBeforeAnyRecordIsRead) {
  TExpression& tree = table.parse("\"a\" - \"b\"");
  EXPECT_EQ(messageOf([&] { tree.exprType(); }), "Operator opMinus incompatible with String");
  EXPECT_EQ(messageOf([&] { table.parse("1.5 DIV 2").exprType(); }), "Operator opDiv incompatible with Float");
  EXPECT_EQ(messageOf([&] { table.parse("TRUE + TRUE").exprType(); }), "Operator opPlus incompatible with Boolean");
  EXPECT_EQ(messageOf([&] { table.parse("NOT 1.5").exprType(); }), "Operator opNot incompatible with Float");
  EXPECT_EQ(messageOf([&] { table.parse("- cb").exprType(); }), "Operator opMinus incompatible with String");
  EXPECT_EQ(messageOf([&] { table.parse("cb * 2").exprType(); }), "Operator opMult incompatible with String");
  EXPECT_EQ(table.parse("+ cb").exprType(), ttString);
}

TEST_F(ExpressionEval, BooleansAllowOnlyEqualityWhenEvaluated) {
  TExpression& tree = table.parse("TRUE > FALSE");
  EXPECT_EQ(tree.exprType(), ttBoolean);
  EXPECT_EQ(messageOf([&] { tree.AsBoolean(); }), "cannot apply opGT to boolean operands");
  EXPECT_TRUE(table.isTrue("TRUE <> FALSE"));
  EXPECT_TRUE(table.isTrue("(1 = 1) = TRUE"));
  EXPECT_TRUE(table.isTrue("1 = 2 = FALSE"));  // (1 = 2) = FALSE
  EXPECT_TRUE(table.isTrue("TRUE > 0"));  // integer with boolean compares integers
}

TEST_F(ExpressionEval, NestedComparisonsEvaluateEachSideOnce) {
  // Read twice per level, these chains would take 2^200 steps.
  std::string numbers = "1";
  std::string texts = "IF(TRUE, \"a\", \"b\")";
  for (int i = 0; i < 200; ++i) {
    numbers += " = 1";
    texts = "IF(" + texts + " = \"a\", \"a\", \"b\")";
  }
  EXPECT_TRUE(table.isTrue(numbers));
  EXPECT_EQ(table.text(texts), "a");
}

TEST_F(ExpressionEval, InAndBetweenCompareAsTheValuesType) {
  EXPECT_TRUE(table.isTrue("num IN (5, 2, 9)", 1));
  EXPECT_FALSE(table.isTrue("num IN (5, 9)", 1));
  EXPECT_TRUE(table.isTrue("num NOT IN (5, 9)", 1));
  EXPECT_TRUE(table.isTrue("topp IN (\"N\", \"o\")", 1));
  EXPECT_FALSE(table.isTrue("topp IN (\"N\", \"O\")", 1));
  EXPECT_TRUE(table.isTrue("2.5 IN (1, 2.5)"));
  EXPECT_TRUE(table.isTrue("quantite BETWEEN 9 AND 10", 0));
  EXPECT_FALSE(table.isTrue("quantite BETWEEN 0 AND 5", 0));
  EXPECT_TRUE(table.isTrue("quantite NOT BETWEEN 0 AND 5", 0));
  EXPECT_TRUE(table.isTrue("cb BETWEEN \"AB\" AND \"AC\"", 1));
  EXPECT_FALSE(table.isTrue("cb BETWEEN \"AB\" AND \"AC\"", 2));  // "abcd" sorts after "AC"
  EXPECT_TRUE(table.isTrue("num BETWEEN 1 AND 5 AND topp = \"O\"", 0));
}

TEST_F(ExpressionEval, CaseIfAndCast) {
  const std::string grade = "CASE WHEN quantite > 9 THEN \"big\" WHEN quantite > 0 THEN \"small\" ELSE \"none\" END";
  EXPECT_EQ(table.text(grade, 0), "big");
  EXPECT_EQ(table.text(grade, 1), "small");
  EXPECT_EQ(table.text(grade, 2), "none");
  EXPECT_EQ(table.text("CASE WHEN num = 9 THEN \"x\" END"), "");
  EXPECT_EQ(table.integer("CASE WHEN num = 9 THEN 4 END"), 0);
  EXPECT_EQ(messageOf([&] { table.text("CASE WHEN 1 THEN \"x\" END"); }), "Expression in Case must be boolean");
  EXPECT_EQ(messageOf([&] { table.integer("CASE WHEN TRUE THEN 1 ELSE \"x\" END"); }),
            "Expressions in THEN section must be all of same type");
  EXPECT_EQ(table.integer("IF(num = 1, 10, 20)", 0), 10);
  EXPECT_EQ(table.integer("IF(num = 1, 10, 20)", 1), 20);
  TExpression& mixed = table.parse("IF(num = 1, \"a\", 2)");
  table.moveTo(0);
  EXPECT_EQ(mixed.exprType(), ttString);
  table.moveTo(1);
  EXPECT_EQ(mixed.exprType(), ttInteger);
  EXPECT_EQ(messageOf([&] { table.parse("IF(1, 2, 3)"); }), "IF: Invalid parameters");
  EXPECT_EQ(messageOf([&] { table.parse("IF(TRUE, 2)"); }), "IF: Invalid parameters");
  EXPECT_EQ(table.integer("CAST(-2.7 AS INTEGER)"), -2);
  EXPECT_EQ(table.integer("CAST(\"42\" AS INTEGER)"), 42);
  EXPECT_EQ(table.integer("CAST(TRUE AS INTEGER)"), 1);
  EXPECT_DOUBLE_EQ(table.number("CAST(\"2.5\" AS FLOAT)"), 2.5);
  EXPECT_EQ(table.text("CAST(quantite AS STRING)", 0), "10");
  EXPECT_TRUE(table.isTrue("CAST(1 = 1 AS BOOLEAN)"));
  EXPECT_EQ(messageOf([&] { table.isTrue("CAST(cb AS BOOLEAN)", 0); }), "Cannot read String as boolean");
  EXPECT_EQ(messageOf([&] { table.integer("CAST(\"x1\" AS INTEGER)"); }), "'x1' is not a valid integer value");
  EXPECT_EQ(messageOf([&] { table.number("CAST(\"x1\" AS FLOAT)"); }), "'x1' is not a valid floating point value");
}

TEST_F(ExpressionEval, BaseConversionsRefuseWhatTheLanguageDoesNot) {
  EXPECT_EQ(messageOf([&] { table.integer("1.5"); }), "Cannot read Float as Integer");
  EXPECT_EQ(messageOf([&] { table.isTrue("1"); }), "Cannot read Integer as boolean");
  EXPECT_EQ(table.integer("\"12\""), 12);
  EXPECT_DOUBLE_EQ(table.number("\"1.25\""), 1.25);
  EXPECT_DOUBLE_EQ(table.number("TRUE"), 1.0);
}

}  // namespace
}  // namespace vekrano::sql::testing
