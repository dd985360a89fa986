#include <gtest/gtest.h>

#include "common/format_settings.h"
#include "dbase/key_expr/key_expression.h"
#include "dbase/work_areas.h"
#include "dbase/dbf/dbf_test_support.h"
#include "support/temp_dir.h"

using namespace vekrano::dbase;
using vekrano::dbase::testing::articleFields;
using vekrano::dbase::testing::QuietErrors;
using vekrano::testing::TempDir;

namespace {

class KeyExpressionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vekrano::common::formatSettings().shortDateFormat = "dd/MM/yyyy";
    vekrano::common::formatSettings().dateSeparator = '/';
    ASSERT_TRUE(CreateDbf(dir_.file("article.dbf"), articleFields()));
    ASSERT_TRUE(table_.OpenDbf(dir_.file("article.dbf"), DbfOpenMode::SharedReadWrite));
    table_.ClearRecord();
    table_.setInteger(1, 42);
    table_.setString(2, "123");
    table_.setInteger(5, 7);
    ASSERT_TRUE(table_.PutDbfRecord(1));
    ASSERT_TRUE(table_.GetDbfRecord(1));
  }

  ExprValue eval(const std::string& text) {
    auto e = AssignExpr(table_, text);
    EXPECT_NE(e, nullptr) << text << ": " << dbfErrorText();
    return e ? e->Evaluate() : ExprValue{};
  }
  std::string text(const std::string& expr) { return eval(expr).text; }
  double number(const std::string& expr) { return eval(expr).number; }
  bool logical(const std::string& expr) { return eval(expr).logical; }
  bool refused(const std::string& expr) { return AssignExpr(table_, expr) == nullptr; }

  QuietErrors quiet_;
  TempDir dir_;
  DbfTable table_;
};

}  // namespace

TEST_F(KeyExpressionTest, FieldKeyGivesTheStoredWidth) {
  auto cb = AssignExpr(table_, "cb");
  ASSERT_NE(cb, nullptr);
  EXPECT_EQ(cb->resultType(), 'C');
  EXPECT_EQ(cb->resultLength(), 50);
  EXPECT_EQ(cb->Evaluate().text, "123" + std::string(47, ' '));
  EXPECT_EQ(text("upper(cb)"), text("UPPER(CB)"));
  EXPECT_DOUBLE_EQ(number("num + quantite"), 49);
  EXPECT_EQ(AssignExpr(table_, "quantite")->resultType(), 'N');
  std::string other(261, ' ');
  other.replace(6, 3, "xyz");
  EXPECT_EQ(cb->Evaluate(other.data(), 5).text.substr(0, 4), "xyz ");
  EXPECT_DOUBLE_EQ(AssignExpr(table_, "RECNO()")->Evaluate(other.data(), 5).number, 5);
}

TEST_F(KeyExpressionTest, OperatorsBindAndAssociateAsTheLanguageSays) {
  EXPECT_DOUBLE_EQ(number("2 + 3 * 4"), 14);
  EXPECT_DOUBLE_EQ(number("2 ^ 3 ^ 2"), 64);
  EXPECT_DOUBLE_EQ(number("2 ** 3"), 8);
  EXPECT_DOUBLE_EQ(number("-2 ^ 2"), 4);
  EXPECT_DOUBLE_EQ(number("10 - 4 - 3"), 3);
  EXPECT_DOUBLE_EQ(number("(2 + 3) * 4"), 20);
  EXPECT_TRUE(logical(".NOT. .T. .OR. .T."));
  EXPECT_FALSE(logical(".NOT. (.T. .OR. .T.)"));
  EXPECT_TRUE(logical(".T. .OR. .F. .AND. .F."));
  EXPECT_TRUE(logical("\"Ab\" = \"A\""));
  EXPECT_FALSE(logical("\"Ab\" == \"A\""));
  EXPECT_FALSE(logical("\"Ab\" = \"\""));
  EXPECT_TRUE(logical("\"A\" $ \"XAY\""));
  EXPECT_FALSE(logical("\"\" $ \"XAY\""));
  EXPECT_TRUE(logical("'ab' <> 'a'"));
  EXPECT_TRUE(logical("'ab' # 'a'"));
  EXPECT_TRUE(logical("'a' < 'b' .AND. 1 <= 1 .AND. 2 > 1 .AND. 2 >= 3 - 1"));
  EXPECT_TRUE(logical("'\xE9' > 'z'"));  // byte by byte, unsigned
  EXPECT_EQ(text("'ab  ' - 'cd'"), "abcd  ");
  EXPECT_EQ(text("'ab  ' + 'cd'"), "ab  cd");
}

TEST_F(KeyExpressionTest, FunctionsGiveTheirDocumentedResults) {
  EXPECT_DOUBLE_EQ(number("ROUND(2.567, 2)"), 2.56);
  EXPECT_DOUBLE_EQ(number("ROUN(3.999, 2)"), 3.99);
  EXPECT_EQ(text("STR(123456, 3)"), "***");
  EXPECT_EQ(text("STR(42)"), std::string(8, ' ') + "42");
  EXPECT_EQ(text("STR(3.14159, 6, 2)"), "  3.14");
  EXPECT_EQ(text("LEFT(\"ABC\", 5)"), "ABC");
  EXPECT_EQ(text("RIGHT(\"ABC\", 5)"), "ABC");
  EXPECT_EQ(text("RIGHT(\"ABC\", 2)"), "BC");
  EXPECT_EQ(text("SUBSTR('ABCDEF', 2, 3)"), "BCD");
  EXPECT_EQ(text("STUFF('ABCDEF', 2, 3, 'xy')"), "AxyEF");
  EXPECT_EQ(text("REPLICATE('ab', 3)"), "ababab");
  EXPECT_EQ(text("SPACE(3)"), "   ");
  EXPECT_EQ(text("TRIM('  a  ') + LTRIM('  b ') + RTRIM(' c ')"), "  ab  c");
  EXPECT_EQ(text("LOWER('\xC9T\xC9')"), "\xE9t\xE9");
  EXPECT_EQ(text("IIF(quantite > 5, 'big', 'small')"), "big");
  EXPECT_EQ(text("CHR(65)"), "A");
  EXPECT_EQ(text("SOUNDEX('Robert')"), "R163");
  EXPECT_DOUBLE_EQ(number("ASC('A') + AT('C', 'ABC') + LEN('abcd')"), 65 + 3 + 4);
  EXPECT_DOUBLE_EQ(number("MOD(-7, 3)"), -1);
  EXPECT_DOUBLE_EQ(number("INT(-2.7) + ABS(-1)"), -1);
  EXPECT_DOUBLE_EQ(number("MAX(1, 5) - MIN(1, 5)"), 4);
  EXPECT_DOUBLE_EQ(number("VAL('12.5  ')"), 12.5);
  EXPECT_FALSE(logical("DELETED()"));
}

TEST_F(KeyExpressionTest, DatesAreJulianDayNumbersInTheDateSetting) {
  EXPECT_DOUBLE_EQ(number("CTOD('01/01/2000')"), 2451545);
  EXPECT_EQ(text("DTOS(CTOD('29/02/2024') + 1)"), "20240301");
  EXPECT_EQ(text("DTOC(CTOD('31/12/1999'))"), "31/12/1999");
  EXPECT_DOUBLE_EQ(number("CTOD('01/03/2024') - CTOD('28/02/2024')"), 2);
  EXPECT_DOUBLE_EQ(number("DOW(CTOD('01/01/2000'))"), 7);
  EXPECT_EQ(text("CDOW(CTOD('01/01/2000')) + CMONTH(CTOD('01/01/2000'))"), "SaturdayJanuary");
  EXPECT_DOUBLE_EQ(number("YEAR(CTOD('05/06/2007')) + MONTH(CTOD('05/06/2007'))"), 2013);
  EXPECT_EQ(text("DTOS(CTOD('31/02/2000'))"), "        ");
  vekrano::common::formatSettings().dateSeparator = '.';
  EXPECT_EQ(text("CMONTH(CTOD('01.03.2024'))"), "M\x84rz");  // German, OEM text
  EXPECT_EQ(text("DTOC(CTOD('01.03.2024'))"), "01.03.2024");
  vekrano::common::formatSettings().shortDateFormat = "M/d/yy";
  vekrano::common::formatSettings().dateSeparator = '/';
  EXPECT_EQ(text("DTOC(CTOD('12/31/99'))"), "12/31/99");
}

TEST_F(KeyExpressionTest, RefusedExpressionsCarryTheirCauseAndContext) {
  EXPECT_TRUE(refused("SUBSTR(cb, 1)"));
  EXPECT_EQ(dbfErrorCode(), 351);
  EXPECT_TRUE(refused("DATE"));
  EXPECT_EQ(dbfErrorText(), "Error in expression : Syntax error\r\nDATE\r\n [AssignExpr]");
  EXPECT_TRUE(refused("IIF(.T., 1, 2)"));
  EXPECT_EQ(dbfErrorText(),
            "Error in expression : PARSER:Type mismatch in function \"IIF\"\r\n"
            "IIF(.T., 1, 2)\r\n [AssignExpr]");
  EXPECT_TRUE(refused("cb + 1"));
  EXPECT_EQ(dbfErrorText(),
            "Error in expression : PARSER:Type mismatch in expression \"+\"\r\ncb + 1\r\n [AssignExpr]");
  EXPECT_TRUE(refused("-cb"));
  EXPECT_NE(dbfErrorText().find("\"Unary -\""), std::string::npos);
  EXPECT_TRUE(refused("2 ^ 'a'"));
  EXPECT_NE(dbfErrorText().find("\"** or ^\""), std::string::npos);
  EXPECT_TRUE(refused("cb("));
  EXPECT_TRUE(refused("'open"));
  EXPECT_TRUE(refused("nosuchfield"));
  EXPECT_TRUE(refused("missing->cb"));
  const std::string longText = "'" + std::string(60, 'a') + "' ? '" + std::string(60, 'b') + "'";
  EXPECT_TRUE(refused(longText));
  EXPECT_EQ(dbfErrorText(), "Error in expression : Syntax error\r\n[..." + std::string(48, 'a') + "' ? '" +
                                std::string(47, 'b') + "...]\r\n [AssignExpr]");
  EXPECT_TRUE(refused(std::string(150, '(') + "1" + std::string(150, ')')));
  EXPECT_EQ(dbfErrorCode(), 217);
  EXPECT_EQ(dbfErrorText(), "Parser_stack_overflow [PARSER/SStackCheck]");
  EXPECT_FALSE(refused(std::string(50, '(') + "1" + std::string(50, ')')));
}

TEST_F(KeyExpressionTest, DivisionByZeroIsCode358AndEvaluationGoesOn) {
  auto e = AssignExpr(table_, "1 / (quantite - 7) > 0");
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->Evaluate().logical);
  EXPECT_EQ(dbfErrorCode(), 358);
  EXPECT_EQ(dbfErrorText(), "Error during evaluation: Divide by 0 [Evaluate/Engine]");
  EXPECT_DOUBLE_EQ(number("6 / 3"), 2);
  EXPECT_EQ(dbfErrorCode(), 0);
}

TEST_F(KeyExpressionTest, FieldsOfOtherTablesByAlias) {
  DbfTable other;
  ASSERT_TRUE(CreateDbf(dir_.file("codes.dbf"), {{"code", 'C', 4, 0}}));
  ASSERT_TRUE(other.OpenDbf(dir_.file("codes.dbf"), DbfOpenMode::SharedReadWrite));
  other.setString(1, "Z9");
  ASSERT_TRUE(other.PutDbfRecord(1));
  registerWorkArea("codes", other);
  EXPECT_EQ(text("codes->code + cb"), "Z9  123" + std::string(47, ' '));
  unregisterWorkArea("CODES");
  EXPECT_TRUE(refused("codes->code"));
}

TEST(KeyExpressionDecimals, BareNumericFieldKeepsItsDecimalCount) {
  QuietErrors quiet;
  TempDir dir;
  ASSERT_TRUE(CreateDbf(dir.file("price.dbf"), {{"price", 'N', 10, 3}, {"units", 'F', 6, 1}, {"name", 'C', 8, 0}}));
  DbfTable table;
  ASSERT_TRUE(table.OpenDbf(dir.file("price.dbf"), DbfOpenMode::ExclusiveReadWrite));
  auto decimalsOf = [&](const std::string& text) {
    auto expression = AssignExpr(table, text);
    EXPECT_NE(expression, nullptr) << text;
    return expression ? expression->resultDecimals() : -1;
  };
  EXPECT_EQ(decimalsOf("price"), 3);
  EXPECT_EQ(decimalsOf(" PRICE "), 3);
  EXPECT_EQ(decimalsOf("units"), 1);
  EXPECT_EQ(decimalsOf("price * 2"), 0);
  EXPECT_EQ(decimalsOf("-price"), 0);
  EXPECT_EQ(decimalsOf("name"), 0);
}
