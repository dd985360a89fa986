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
    rows.addRow({});
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
    EXPECT_TRUE(isNullVariant(rows.Fields(i).Value()));
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

  F("i").setAsInteger(0);
  EXPECT_FALSE(F("i").IsNull());
  F("i").Clear();
  EXPECT_TRUE(F("i").IsNull());
  F("s").setAsString("");
  EXPECT_FALSE(F("s").IsNull());
}

TEST_F(FieldTest, StringFieldsCutToTheirSizeAndConvert) {
  F("s").setAsString("abcdefgh");
  EXPECT_EQ(F("s").AsString(), "abcde");
  F("m").setAsString(std::string(3000, 'x'));
  EXPECT_EQ(F("m").AsString().size(), 1024u);
  F("s").setAsString(" -12 ");
  EXPECT_EQ(F("s").AsInteger(), -12);
  F("s").setAsString("1,5");
  EXPECT_DOUBLE_EQ(F("s").AsFloat(), 1.5);
  F("s").setAsString("abc");
  EXPECT_EQ(ErrorText([&] { (void)F("s").AsInteger(); }), "'abc' n'est pas une valeur enti\xE8re correcte");
  EXPECT_EQ(ErrorText([&] { (void)F("s").AsFloat(); }), "'abc' n'est pas une valeur flottante correcte");
  for (const char* yes : {"T", "true", "Yes", "y"}) {
    F("s").setAsString(yes);
    EXPECT_TRUE(F("s").AsBoolean()) << yes;
  }
  for (const char* no : {"F", "non", "", "1"}) {
    F("s").setAsString(no);
    EXPECT_FALSE(F("s").AsBoolean()) << no;
  }
  F("s").setAsBoolean(true);
  EXPECT_EQ(F("s").AsString(), "T");
  F("s").setAsFloat(2.5);
  EXPECT_EQ(F("s").AsString(), "2,5");
  F("s").setAsDateTime(*encodeDate(2024, 3, 5));
  EXPECT_EQ(F("s").AsString(), "05/03");
}

TEST_F(FieldTest, IntegerFieldsRoundHalvesToEvenAndRejectOtherText) {
  TField& i = F("i");
  i.setAsFloat(2.5);
  EXPECT_EQ(i.AsInteger(), 2);
  i.setAsFloat(3.5);
  EXPECT_EQ(i.AsInteger(), 4);
  i.setAsFloat(-2.6);
  EXPECT_EQ(i.AsString(), "-3");
  i.setAsString(" +42 ");
  EXPECT_EQ(i.AsInteger(), 42);
  EXPECT_EQ(i.Value(), Variant{std::int64_t{42}});
  EXPECT_DOUBLE_EQ(i.AsFloat(), 42);
  i.setAsString("  ");
  EXPECT_TRUE(i.IsNull());
  EXPECT_EQ(ErrorText([&] { i.setAsString("4x"); }), "'4x' n'est pas une valeur enti\xE8re correcte");
  EXPECT_EQ(ErrorText([&] { i.setAsString("99999999999999999999"); }),
            "'99999999999999999999' n'est pas une valeur enti\xE8re correcte");
  EXPECT_EQ(ErrorText([&] { i.setAsFloat(1e300); }), "'1E300' n'est pas une valeur enti\xE8re correcte");
  EXPECT_EQ(ErrorText([&] { (void)i.AsBoolean(); }),
            "Le champ 'i' ne peut pas \xEAtre lu ou \xE9"
            "crit en tant que Boolean");
  i.setValue(std::int64_t{5000000000});
  EXPECT_EQ(i.AsString(), "5000000000");
  EXPECT_THROW((void)i.AsInteger(), EDatabaseError);
}

TEST_F(FieldTest, FloatFieldsUseTheDecimalSeparatorAndFifteenDigits) {
  TField& f = F("f");
  const std::pair<double, const char*> cases[] = {
      {1.5, "1,5"},      {-0.25, "-0,25"},   {1e20, "1E20"},
      {0.00001, "1E-5"}, {0.0001, "0,0001"}, {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},    {0.1 + 0.2, "0,3"}, {-0.0, "0"},
  };
  for (const auto& [value, text] : cases) {
    f.setAsFloat(value);
    EXPECT_EQ(f.AsString(), text);
    f.setAsString(text);
    EXPECT_DOUBLE_EQ(f.AsFloat(), value) << text;
  }
  f.setAsString("2.5");
  EXPECT_EQ(f.AsInteger(), 2);
  EXPECT_EQ(ErrorText([&] { f.setAsString("1,5,0"); }), "'1,5,0' n'est pas une valeur flottante correcte");
  EXPECT_EQ(ErrorText([&] { f.setAsString("nan"); }), "'nan' n'est pas une valeur flottante correcte");
  EXPECT_THROW(f.setAsFloat(std::numeric_limits<double>::infinity()), EDatabaseError);
  f.setAsFloat(1e12);
  EXPECT_THROW((void)f.AsInteger(), EDatabaseError);
  common::SeparatorGuard dot('.', ',');
  f.setAsFloat(1.5);
  EXPECT_EQ(f.AsString(), "1.5");
}

TEST_F(FieldTest, DatesCountDaysFrom1899AndFollowTheShortDateFormat) {
  EXPECT_EQ(*encodeDate(1899, 12, 30), 0);
  EXPECT_EQ(*encodeDate(2024, 3, 5), 45356);
  EXPECT_EQ(*encodeDate(1, 1, 1), -693593);
  EXPECT_FALSE(encodeDate(2023, 2, 29));
  EXPECT_TRUE(encodeDate(2000, 2, 29));
  EXPECT_FALSE(encodeDate(1900, 2, 29));
  int y = 0;
  int m = 0;
  int d = 0;
  decodeDate(45356.75, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240305);
  decodeDate(-1.5, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);

  TField& date = F("d");
  date.setAsString("5/3/2024");
  EXPECT_EQ(date.AsDateTime(), 45356);
  EXPECT_EQ(date.AsString(), "05/03/2024");
  date.setAsString("01-02-49");
  EXPECT_EQ(date.AsString(), "01/02/2049");
  date.setAsString("01/02/50");
  EXPECT_EQ(date.AsString(), "01/02/1950");
  for (const char* bad : {"31/02/2024", "12/2024", "1/1/2024x", "aa/bb/cccc", "1//2024"}) {
    EXPECT_EQ(ErrorText([&] { date.setAsString(bad); }), "'" + std::string(bad) + "' n'est pas une date correcte");
  }
  EXPECT_THROW(date.setAsDateTime(1e9), EDatabaseError);
  date.setAsString("");
  EXPECT_TRUE(date.IsNull());

  common::formatSettings().shortDateFormat = "yyyy-MM-dd";
  common::formatSettings().dateSeparator = '-';
  date.setAsString("2024-12-31");
  EXPECT_EQ(date.AsString(), "2024-12-31");
  common::formatSettings().shortDateFormat = "M/d/yy";
  common::formatSettings().dateSeparator = '/';
  EXPECT_EQ(date.AsString(), "12/31/24");

  TField& stamp = F("t");
  stamp.setAsString("12/31/24 13:05");
  EXPECT_EQ(stamp.AsString(), "12/31/24 13:05:00");
  EXPECT_NEAR(stamp.AsDateTime(), *encodeDate(2024, 12, 31) + (13 * 60 + 5) / 1440.0, 1e-9);
  stamp.setAsDateTime(*encodeDate(2024, 12, 31));
  EXPECT_EQ(stamp.AsString(), "12/31/24");
  EXPECT_THROW(stamp.setAsString("12/31/24 25:00"), EDatabaseError);
}

TEST_F(FieldTest, BooleansReadAsTrueFalseAndAcceptLeadingParts) {
  TField& b = F("b");
  b.setAsString("t");
  EXPECT_TRUE(b.AsBoolean());
  EXPECT_EQ(b.AsString(), "True");
  b.setAsString("FAL");
  EXPECT_EQ(b.AsString(), "False");
  EXPECT_EQ(b.Value(), Variant{false});
  EXPECT_EQ(ErrorText([&] { b.setAsString("oui"); }),
            "'oui' n'est pas une valeur bool\xE9"
            "enne correcte");
  EXPECT_THROW(b.setAsInteger(1), EDatabaseError);
}

TEST_F(FieldTest, AssignAndValueCopyBetweenTypes) {
  F("f").setAsFloat(2.5);
  F("s").Assign(F("f"));
  EXPECT_EQ(F("s").AsString(), "2,5");
  F("i").Assign(F("f"));
  EXPECT_EQ(F("i").AsInteger(), 2);
  F("d").setAsDateTime(45356);
  F("s").Assign(F("d"));
  EXPECT_EQ(F("s").AsString(), "05/03");
  F("t").Assign(F("d"));
  EXPECT_EQ(F("t").AsDateTime(), 45356);
  F("b").setAsBoolean(true);
  F("s").Assign(F("b"));
  EXPECT_EQ(F("s").AsString(), "T");
  F("f").Clear();
  F("i").Assign(F("f"));
  EXPECT_TRUE(F("i").IsNull());
  F("s").setValue(std::string("xy"));
  F("f").setValue(std::int64_t{3});
  EXPECT_EQ(F("f").Value(), Variant{3.0});
  F("s").setValue(Variant{});
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
