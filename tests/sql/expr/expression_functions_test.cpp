// The function table: a normal case and the error text of each function.
#include <gtest/gtest.h>

#include <cmath>

#include "common/format_settings.h"
#include "sql/expr/expr_test_table.h"

namespace vekrano::sql::testing {
namespace {

class ExpressionFunctions : public ::testing::Test {
 protected:
  void SetUp() override {
    table.context.NamesAreFields = true;
    table.add(1, "ABC", 10, "O");
    common::formatSettings().thousandSeparator = ',';
    common::formatSettings().dateSeparator = '/';
  }
  std::string error(const std::string& text) {
    return messageOf([&] { table.text(text); });
  }
  ArticleTable table;
};

TEST_F(ExpressionFunctions, TextCaseAndLength) {
  EXPECT_EQ(table.text("UPPER(\"ab\xE9z\")"), "AB\xC9Z");
  EXPECT_EQ(table.text("LOWER(\"AB\xC9Z\")"), "ab\xE9z");
  EXPECT_EQ(table.integer("LENGTH(\"abc\")"), 3);
  EXPECT_EQ(table.integer("LENGTH(\"\")"), 0);
  EXPECT_EQ(error("UPPER(1)"), "Invalid parameter to UPPER");
  EXPECT_EQ(error("LOWER(\"a\", \"b\")"), "Invalid parameter to LOWER");
  EXPECT_EQ(error("LENGTH(1)"), "Invalid parameter to LENGTH");
}

TEST_F(ExpressionFunctions, CopyAndPositions) {
  EXPECT_EQ(table.text("COPY(\"abcdef\", 2, 3)"), "bcd");
  EXPECT_EQ(table.text("SUBSTRING(\"abcdef\", 0, 2)"), "ab");
  EXPECT_EQ(table.text("COPY(\"abc\", 2, 10)"), "bc");
  EXPECT_EQ(table.text("COPY(\"abc\", 5, 1)"), "");
  EXPECT_EQ(table.text("COPY(\"abc\", TRUE, 1)"), "a");
  EXPECT_EQ(table.integer("POS(\"cd\", \"abcdcd\")"), 3);
  EXPECT_EQ(table.integer("CHARINDEX(\"x\", \"abc\")"), 0);
  EXPECT_EQ(error("COPY(\"abc\", 1.5, 1)"), "Invalid parameter to COPY");
  EXPECT_EQ(error("SUBSTRING(\"abc\", 1)"), "Invalid parameter to SUBSTRING");
  EXPECT_EQ(error("POS(1, \"a\")"), "Invalid parameter to POS");
  EXPECT_EQ(error("CHARINDEX(\"a\")"), "Invalid parameter to CHARINDEX");
}

TEST_F(ExpressionFunctions, TrimsLeftRightAndAscii) {
  EXPECT_EQ(table.text("LTRIM(\" \ta b \")"), "a b ");
  EXPECT_EQ(table.text("RTRIM(\" a b \t\")"), " a b");
  EXPECT_EQ(table.text("TRIM(\"\t a b \n\")"), "a b");
  EXPECT_EQ(error("LTRIM(1)"), "Invalid parameter to LTRIM");
  EXPECT_EQ(error("RTRIM(1)"), "Invalid parameter to RTRIM");
  EXPECT_EQ(error("TRIM(1)"), "Invalid parameter to TRIM");
  EXPECT_EQ(table.text("LEFT(\"abcd\", 2)"), "ab");
  EXPECT_EQ(table.text("LEFT(\"ab\", 5)"), "ab");
  EXPECT_EQ(table.text("RIGHT(\"abcd\", 3)"), "bcd");
  EXPECT_EQ(table.text("RIGHT(\"abcd\", -1)"), "");
  EXPECT_EQ(error("LEFT(\"ab\", \"x\")"), "Invalid parameter to LEFT");
  EXPECT_EQ(error("RIGHT(1, 2)"), "Invalid parameter to RIGHT");
  EXPECT_EQ(table.integer("ASCII(\"A\")"), 65);
  EXPECT_EQ(table.integer("ASCII(\"\xE9\")"), 233);
  EXPECT_EQ(table.integer("ASCII(\"\")"), 0);
  EXPECT_EQ(messageOf([&] { table.parse("ASCII(65)"); }), "ASCII: Incorrect argument");
  EXPECT_EQ(messageOf([&] { table.parse("ASCII()"); }), "ASCII: Incorrect argument");
  EXPECT_EQ(table.text("SQLTRIM(\"x\", \"xxaxx\", 0)"), "axx");
  EXPECT_EQ(table.text("SQLTRIM(\"x\", \"xxaxx\", 1)"), "xxa");
  EXPECT_EQ(table.text("SQLTRIM(\"x\", \"xxaxx\", 2)"), "a");
  EXPECT_EQ(table.text("SQLTRIM(\"x\", \"xxx\", 2)"), "");
  EXPECT_EQ(error("SQLTRIM(\"xy\", \"a\", 0)"), "Length of trimmed char in TRIM function must be 1");
  EXPECT_EQ(error("SQLTRIM(\"x\", \"a\")"), "Invalid parameter to SQLTRIM");
}

TEST_F(ExpressionFunctions, TruncAndRound) {
  EXPECT_EQ(table.integer("TRUNC(-2.7)"), -2);
  EXPECT_EQ(table.integer("ROUND(2.5)"), 2);
  EXPECT_EQ(table.integer("ROUND(3.5)"), 4);
  EXPECT_EQ(table.integer("ROUND(-2.5)"), -2);
  EXPECT_EQ(table.integer("ROUND(2.6)"), 3);
  EXPECT_EQ(table.parse("ROUND(2.6)").exprType(), ttInteger);
  EXPECT_EQ(error("TRUNC(\"x\")"), "Invalid parameter to TRUNC");
  EXPECT_EQ(error("ROUND()"), "Invalid parameter to ROUND");
  EXPECT_EQ(error("TRUNC(.1E301 * .1E301)"), "Invalid floating point operation");
}

TEST_F(ExpressionFunctions, MathematicalFunctions) {
  EXPECT_DOUBLE_EQ(table.number("ABS(-2)"), 2.0);
  EXPECT_EQ(table.parse("ABS(-2)").exprType(), ttFloat);
  EXPECT_DOUBLE_EQ(table.number("ARCTAN(1)"), std::atan(1.0));
  EXPECT_DOUBLE_EQ(table.number("COS(0)"), 1.0);
  EXPECT_DOUBLE_EQ(table.number("SIN(0)"), 0.0);
  EXPECT_DOUBLE_EQ(table.number("EXP(1)"), std::exp(1.0));
  EXPECT_DOUBLE_EQ(table.number("FRAC(2.75)"), 0.75);
  EXPECT_DOUBLE_EQ(table.number("INT(-2.75)"), -2.0);
  EXPECT_DOUBLE_EQ(table.number("LN(1)"), 0.0);
  EXPECT_DOUBLE_EQ(table.number("SQR(3)"), 9.0);
  EXPECT_DOUBLE_EQ(table.number("SQRT(16)"), 4.0);
  EXPECT_DOUBLE_EQ(table.number("PI"), 3.141592653589793);
  EXPECT_DOUBLE_EQ(table.number("POWER(2, 0.5)"), std::sqrt(2.0));
  EXPECT_DOUBLE_EQ(table.number("POWER(-2, 3)"), -8.0);
  for (const char* name : {"ABS", "ARCTAN", "COS", "SIN", "EXP", "FRAC", "INT", "LN", "SQR", "SQRT"}) {
    EXPECT_EQ(error(std::string(name) + "(\"x\")"), std::string("Invalid parameter to ") + name);
  }
  EXPECT_EQ(error("PI(1)"), "Invalid parameter to PI");
  EXPECT_EQ(error("POWER(2)"), "Invalid parameter to POWER");
  EXPECT_EQ(error("LN(0)"), "Invalid floating point operation");
  EXPECT_EQ(error("SQRT(-1)"), "Invalid floating point operation");
  EXPECT_EQ(error("POWER(-2, 0.5)"), "Invalid floating point operation");
}

TEST_F(ExpressionFunctions, MinMaxAndDecimals) {
  EXPECT_DOUBLE_EQ(table.number("MINOF(3, 1.5, 2)"), 1.5);
  EXPECT_DOUBLE_EQ(table.number("MAXOF(3, 1.5, 2)"), 3.0);
  EXPECT_DOUBLE_EQ(table.number("MAXOF(-1)"), -1.0);
  EXPECT_EQ(messageOf([&] { table.parse("MINOF()"); }), "MINOF, MAXOF: Incorrect number of arguments");
  EXPECT_EQ(error("MAXOF(1, \"a\")"), "Invalid parameter to MAXOF");
  EXPECT_DOUBLE_EQ(table.number("ROUNDDEC(2.125, 2)"), 2.13);
  EXPECT_DOUBLE_EQ(table.number("ROUNDDEC(-2.125, 2)"), -2.13);
  EXPECT_DOUBLE_EQ(table.number("TRUNCDEC(2.129, 2)"), 2.12);
  EXPECT_DOUBLE_EQ(table.number("ROUNDDEC(1250, -2)"), 1300.0);
  EXPECT_DOUBLE_EQ(table.number("ROUNDDEC(1.5, 400)"), 1.5);
  EXPECT_EQ(error("ROUNDDEC(\"a\", 1)"), "Invalid parameter to ROUNDDEC");
  EXPECT_EQ(error("TRUNCDEC(1.5, 1.5)"), "Invalid parameter to TRUNCDEC");
}

TEST_F(ExpressionFunctions, DatePartsAndFormatting) {
  // 31 December 1999, 13:14:15.678
  const std::string when = "(36525 + 47655678 / 86400000)";
  EXPECT_EQ(table.integer("YEAR" + when), 1999);
  EXPECT_EQ(table.integer("MONTH" + when), 12);
  EXPECT_EQ(table.integer("DAY" + when), 31);
  EXPECT_EQ(table.integer("HOUR" + when), 13);
  EXPECT_EQ(table.integer("MIN" + when), 14);
  EXPECT_EQ(table.integer("SEC" + when), 15);
  EXPECT_EQ(table.integer("MSEC" + when), 678);
  for (const char* name : {"YEAR", "MONTH", "DAY", "HOUR", "MIN", "SEC", "MSEC"}) {
    EXPECT_EQ(error(std::string(name) + "(\"x\")"), std::string("Invalid parameter to ") + name);
  }
  EXPECT_EQ(error("YEAR(.1E11)"), "Invalid floating point operation");
  EXPECT_TRUE(table.isTrue("NOW > #1/1/2020#"));
  EXPECT_EQ(table.parse("NOW").exprType(), ttFloat);
  EXPECT_EQ(table.text("FORMATDATETIME(\"yyyy-mm-dd hh:nn:ss.zzz\", " + when + ")"), "1999-12-31 13:14:15.678");
  EXPECT_EQ(table.text("FORMATDATETIME(\"d/m/yy ddd mmmm\", #3/7/2004#)"), "7/3/04 Sun March");
  EXPECT_EQ(table.text("FORMATDATETIME(\"h:mm am/pm\", " + when + ")"), "1:14 pm");
  EXPECT_EQ(table.text("FORMATDATETIME(\"'day' dd\", #3/7/2004#)"), "day 07");
  common::formatSettings().shortDateFormat = "dd/MM/yyyy c";
  EXPECT_EQ(table.text("FORMATDATETIME(\"c\", #3/7/2004#)"), "07/03/2004 c");
  common::formatSettings().shortDateFormat = "dd/MM/yyyy";
  EXPECT_EQ(error("FORMATDATETIME(1, 2)"), "Invalid parameter to FORMATDATETIME");
}

TEST_F(ExpressionFunctions, NumberPicturesAndFormat) {
  EXPECT_EQ(table.text("FORMATFLOAT(\"#,##0.00\", 1234.5)"), "1,234.50");
  EXPECT_EQ(table.text("FORMATFLOAT(\"0.###\", 2.5)"), "2.5");
  EXPECT_EQ(table.text("FORMATFLOAT(\"000\", 7)"), "007");
  EXPECT_EQ(table.text("FORMATFLOAT(\"#.##\", 0.5)"), ".5");
  EXPECT_EQ(table.text("FORMATFLOAT(\"0.00E+00\", 12345)"), "1.23E+04");
  EXPECT_EQ(table.text("FORMATFLOAT(\"#0.0;(#0.0)\", -1.5)"), "(1.5)");
  EXPECT_EQ(table.text("FORMATFLOAT(\"0.0\", -1.25)"), "-1.3");
  EXPECT_EQ(table.text("FORMATFLOAT(\"0 'kg'\", 3)"), "3 kg");
  EXPECT_EQ(error("FORMATFLOAT(\"0\")"), "Invalid parameter to FORMATFLOAT");
  EXPECT_EQ(table.text("FORMAT(\"%d items of %s at %.2f\", 3, cb, 2.5)"), "3 items of ABC at 2.50");
  EXPECT_EQ(table.text("FORMAT(\"%5d|%-4s|%x|%%\", 42, \"ab\", 255)"), "   42|ab  |FF|%");
  EXPECT_EQ(table.text("FORMAT(\"%1:s%0:s\", \"a\", \"b\")"), "ba");
  EXPECT_EQ(table.text("FORMAT(\"%n\", 1234567.891)"), "1,234,567.89");
  EXPECT_EQ(error("FORMAT(\"%d\", 2.5)"), "Format '%d' invalid or incompatible with argument");
  EXPECT_EQ(error("FORMAT(\"%s %s\", 1)"), "Format '%s %s' invalid or incompatible with argument");
  EXPECT_EQ(error("FORMAT()"), "Invalid parameter to FORMAT");
}

TEST_F(ExpressionFunctions, DecodeAndIsNull) {
  const std::string decode = "DECODE(num, 1, \"one\", 2, \"two\", \"other\")";
  EXPECT_EQ(table.text(decode), "one");
  EXPECT_EQ(table.text("DECODE(3, 1, \"one\", 2, \"two\", \"other\")"), "other");
  EXPECT_EQ(table.integer("DECODE(\"b\", \"a\", 1, \"b\", 2, 0)"), 2);
  EXPECT_EQ(messageOf([&] { table.parse("DECODE(1, 2, 3)"); }), "DECODE: Incorrect number of arguments");
  EXPECT_TRUE(table.isTrue("ISNULL(\"\", TRUE)"));
  EXPECT_FALSE(table.isTrue("ISNULL(cb, TRUE)"));
  EXPECT_EQ(messageOf([&] { table.isTrue("ISNULL(cb, 1)"); }), "Invalid parameter to ISNULL");
}

}  // namespace
}  // namespace vekrano::sql::testing
