// Field classes: conversions between native values, numbers, dates and texts, null handling and
// Assign.
#include <gtest/gtest.h>

#include "common/format_settings.h"
#include "dbase/dataset/database_error.h"
#include "dbase/dataset/dataset.h"
#include "dbase/dataset/field_convert.h"
#include "support/memory_dataset.h"

namespace vekrano::dbase {
namespace {

using testing::ErrorText;
using testing::MemoryDataset;

class FieldTest : public ::testing::Test {
 protected:
  FieldTest()
      : saved(common::formatSettings()),
        rows({{"s", TFieldType::ftString, 5},
              {"i", TFieldType::ftInteger, 0},
              {"f", TFieldType::ftFloat, 0},
              {"d", TFieldType::ftDate, 0},
              {"b", TFieldType::ftBoolean, 0},
              {"m", TFieldType::ftMemo, 0},
              {"t", TFieldType::ftDateTime, 0}}) {
    common::formatSettings() = common::FormatSettings{};
    common::formatSettings().shortDateFormat = "dd/MM/yyyy";
    common::formatSettings().decimalSeparator = ',';
    rows.AddRow({});
    rows.Open();
    rows.Edit();
  }
  ~FieldTest() override { common::formatSettings() = saved; }

  TField& F(const char* name) { return rows.FieldByName(name); }

  common::FormatSettings saved;
  MemoryDataset rows;
};

TEST_F(FieldTest, NullValuesReadAsEmptyZeroOrFalse) {
  for (int i = 0; i < rows.FieldCount(); ++i) {
    EXPECT_TRUE(rows.Fields(i).IsNull()) << rows.Fields(i).FieldName();
    EXPECT_TRUE(IsNullVariant(rows.Fields(i).Value()));
  }
  EXPECT_EQ(F("s").AsString(), "");
  EXPECT_EQ(F("s").AsInteger(), 0);
  EXPECT_EQ(F("i").AsString(), "");
  EXPECT_EQ(F("i").AsInteger(), 0);
  EXPECT_EQ(F("f").AsFloat(), 0);
  EXPECT_EQ(F("d").AsString(), "");
  EXPECT_EQ(F("d").AsDateTime(), 0);
  EXPECT_FALSE(F("b").AsBoolean());
  EXPECT_EQ(F("b").AsString(), "");

  F("i").SetAsInteger(0);
  EXPECT_FALSE(F("i").IsNull());
  F("i").Clear();
  EXPECT_TRUE(F("i").IsNull());
  F("s").SetAsString("");
  EXPECT_FALSE(F("s").IsNull());
}

TEST_F(FieldTest, StringFieldsCutToTheirSizeAndConvert) {
  F("s").SetAsString("abcdefgh");
  EXPECT_EQ(F("s").AsString(), "abcde");
  F("m").SetAsString(std::string(3000, 'x'));
  EXPECT_EQ(F("m").AsString().size(), 1024u);
  F("s").SetAsString(" -12 ");
  EXPECT_EQ(F("s").AsInteger(), -12);
  F("s").SetAsString("1,5");
  EXPECT_DOUBLE_EQ(F("s").AsFloat(), 1.5);
  F("s").SetAsString("abc");
  EXPECT_EQ(ErrorText([&] { (void)F("s").AsInteger(); }),
            "'abc' n'est pas une valeur enti\xE8re correcte");
  EXPECT_EQ(ErrorText([&] { (void)F("s").AsFloat(); }),
            "'abc' n'est pas une valeur flottante correcte");
  for (const char* yes : {"T", "true", "Yes", "y"}) {
    F("s").SetAsString(yes);
    EXPECT_TRUE(F("s").AsBoolean()) << yes;
  }
  for (const char* no : {"F", "non", "", "1"}) {
    F("s").SetAsString(no);
    EXPECT_FALSE(F("s").AsBoolean()) << no;
  }
  F("s").SetAsBoolean(true);
  EXPECT_EQ(F("s").AsString(), "T");
  F("s").SetAsFloat(2.5);
  EXPECT_EQ(F("s").AsString(), "2,5");
  F("s").SetAsDateTime(*EncodeDate(2024, 3, 5));
  EXPECT_EQ(F("s").AsString(), "05/03");
}

TEST_F(FieldTest, IntegerFieldsRoundHalvesToEvenAndRejectOtherText) {
  TField& i = F("i");
  i.SetAsFloat(2.5);
  EXPECT_EQ(i.AsInteger(), 2);
  i.SetAsFloat(3.5);
  EXPECT_EQ(i.AsInteger(), 4);
  i.SetAsFloat(-2.6);
  EXPECT_EQ(i.AsString(), "-3");
  i.SetAsString(" +42 ");
  EXPECT_EQ(i.AsInteger(), 42);
  EXPECT_EQ(i.Value(), Variant{std::int64_t{42}});
  EXPECT_DOUBLE_EQ(i.AsFloat(), 42);
  i.SetAsString("  ");
  EXPECT_TRUE(i.IsNull());
  EXPECT_EQ(ErrorText([&] { i.SetAsString("4x"); }), "'4x' n'est pas une valeur enti\xE8re correcte");
  EXPECT_EQ(ErrorText([&] { i.SetAsString("99999999999999999999"); }),
            "'99999999999999999999' n'est pas une valeur enti\xE8re correcte");
  EXPECT_EQ(ErrorText([&] { i.SetAsFloat(1e300); }), "'1E300' n'est pas une valeur enti\xE8re correcte");
  EXPECT_EQ(ErrorText([&] { (void)i.AsBoolean(); }),
            "Le champ 'i' ne peut pas \xEAtre lu ou \xE9" "crit en tant que Boolean");
  i.SetValue(std::int64_t{5000000000});
  EXPECT_EQ(i.AsString(), "5000000000");
  EXPECT_THROW((void)i.AsInteger(), EDatabaseError);
}

TEST_F(FieldTest, FloatFieldsUseTheDecimalSeparatorAndFifteenDigits) {
  TField& f = F("f");
  const std::pair<double, const char*> cases[] = {
      {1.5, "1,5"},       {-0.25, "-0,25"},  {1e20, "1E20"},
      {0.00001, "1E-5"},  {0.0001, "0,0001"}, {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},     {0.1 + 0.2, "0,3"}, {-0.0, "0"},
  };
  for (const auto& [value, text] : cases) {
    f.SetAsFloat(value);
    EXPECT_EQ(f.AsString(), text);
    f.SetAsString(text);
    EXPECT_DOUBLE_EQ(f.AsFloat(), value) << text;
  }
  f.SetAsString("2.5");
  EXPECT_EQ(f.AsInteger(), 2);
  EXPECT_EQ(ErrorText([&] { f.SetAsString("1,5,0"); }), "'1,5,0' n'est pas une valeur flottante correcte");
  EXPECT_EQ(ErrorText([&] { f.SetAsString("nan"); }), "'nan' n'est pas une valeur flottante correcte");
  EXPECT_THROW(f.SetAsFloat(std::numeric_limits<double>::infinity()), EDatabaseError);
  f.SetAsFloat(1e12);
  EXPECT_THROW((void)f.AsInteger(), EDatabaseError);
  common::SeparatorGuard dot('.', ',');
  f.SetAsFloat(1.5);
  EXPECT_EQ(f.AsString(), "1.5");
}

TEST_F(FieldTest, DatesCountDaysFrom1899AndFollowTheShortDateFormat) {
  EXPECT_EQ(*EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(*EncodeDate(2024, 3, 5), 45356);
  EXPECT_EQ(*EncodeDate(1, 1, 1), -693593);
  EXPECT_FALSE(EncodeDate(2023, 2, 29));
  EXPECT_TRUE(EncodeDate(2000, 2, 29));
  EXPECT_FALSE(EncodeDate(1900, 2, 29));
  int y = 0;
  int m = 0;
  int d = 0;
  DecodeDate(45356.75, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240305);
  DecodeDate(-1.5, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);

  TField& date = F("d");
  date.SetAsString("5/3/2024");
  EXPECT_EQ(date.AsDateTime(), 45356);
  EXPECT_EQ(date.AsString(), "05/03/2024");
  date.SetAsString("01-02-49");
  EXPECT_EQ(date.AsString(), "01/02/2049");
  date.SetAsString("01/02/50");
  EXPECT_EQ(date.AsString(), "01/02/1950");
  for (const char* bad : {"31/02/2024", "12/2024", "1/1/2024x", "aa/bb/cccc", "1//2024"}) {
    EXPECT_EQ(ErrorText([&] { date.SetAsString(bad); }),
              "'" + std::string(bad) + "' n'est pas une date correcte");
  }
  EXPECT_THROW(date.SetAsDateTime(1e9), EDatabaseError);
  date.SetAsString("");
  EXPECT_TRUE(date.IsNull());

  common::formatSettings().shortDateFormat = "yyyy-MM-dd";
  common::formatSettings().dateSeparator = '-';
  date.SetAsString("2024-12-31");
  EXPECT_EQ(date.AsString(), "2024-12-31");
  common::formatSettings().shortDateFormat = "M/d/yy";
  common::formatSettings().dateSeparator = '/';
  EXPECT_EQ(date.AsString(), "12/31/24");

  TField& stamp = F("t");
  stamp.SetAsString("12/31/24 13:05");
  EXPECT_EQ(stamp.AsString(), "12/31/24 13:05:00");
  EXPECT_NEAR(stamp.AsDateTime(), *EncodeDate(2024, 12, 31) + (13 * 60 + 5) / 1440.0, 1e-9);
  stamp.SetAsDateTime(*EncodeDate(2024, 12, 31));
  EXPECT_EQ(stamp.AsString(), "12/31/24");
  EXPECT_THROW(stamp.SetAsString("12/31/24 25:00"), EDatabaseError);
}

TEST_F(FieldTest, BooleansReadAsTrueFalseAndAcceptLeadingParts) {
  TField& b = F("b");
  b.SetAsString("t");
  EXPECT_TRUE(b.AsBoolean());
  EXPECT_EQ(b.AsString(), "True");
  b.SetAsString("FAL");
  EXPECT_EQ(b.AsString(), "False");
  EXPECT_EQ(b.Value(), Variant{false});
  EXPECT_EQ(ErrorText([&] { b.SetAsString("oui"); }), "'oui' n'est pas une valeur bool\xE9" "enne correcte");
  EXPECT_THROW(b.SetAsInteger(1), EDatabaseError);
}

TEST_F(FieldTest, AssignAndValueCopyBetweenTypes) {
  F("f").SetAsFloat(2.5);
  F("s").Assign(F("f"));
  EXPECT_EQ(F("s").AsString(), "2,5");
  F("i").Assign(F("f"));
  EXPECT_EQ(F("i").AsInteger(), 2);
  F("d").SetAsDateTime(45356);
  F("s").Assign(F("d"));
  EXPECT_EQ(F("s").AsString(), "05/03");
  F("t").Assign(F("d"));
  EXPECT_EQ(F("t").AsDateTime(), 45356);
  F("b").SetAsBoolean(true);
  F("s").Assign(F("b"));
  EXPECT_EQ(F("s").AsString(), "T");
  F("f").Clear();
  F("i").Assign(F("f"));
  EXPECT_TRUE(F("i").IsNull());
  F("s").SetValue(std::string("xy"));
  F("f").SetValue(std::int64_t{3});
  EXPECT_EQ(F("f").Value(), Variant{3.0});
  F("s").SetValue(Variant{});
  EXPECT_TRUE(F("s").IsNull());

  rows.Post();
  EXPECT_EQ(rows.Rows()[0][2], Variant{3.0});
  EXPECT_EQ(rows.Rows()[0][1], Variant{});
  EXPECT_EQ(F("f").DisplayLabel(), "f");
  EXPECT_TRUE(F("f").Visible());
  EXPECT_EQ(F("s").Size(), 5);
  EXPECT_EQ(F("d").DataType(), TFieldType::ftDate);
}

}  // namespace
}  // namespace vekrano::dbase
