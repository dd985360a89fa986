#include <gtest/gtest.h>

#include <cmath>

#include "dbase/dbf_number.h"

using vekrano::dbase::ReadNumber;

TEST(DbfNumber, ReadsTheNumberAtTheStartOfStoredText) {
  EXPECT_EQ(ReadNumber("   42"), 42);
  EXPECT_EQ(ReadNumber("-17"), -17);
  EXPECT_EQ(ReadNumber(" +5"), 5);
  EXPECT_EQ(ReadNumber("007"), 7);
  EXPECT_EQ(ReadNumber("999999999999999"), 999999999999999.0);  // 15 digits, exact
  EXPECT_EQ(ReadNumber("12345678901234567890"), 12345678901234567890.0);
  EXPECT_EQ(ReadNumber("  12.50"), 12.5);
  EXPECT_EQ(ReadNumber(".5"), 0.5);
  EXPECT_EQ(ReadNumber("1e3"), 1000);
  EXPECT_EQ(ReadNumber("12   "), 12);  // left-aligned by another program
  EXPECT_EQ(ReadNumber("12a"), 12);
  EXPECT_EQ(ReadNumber(""), 0);
  EXPECT_EQ(ReadNumber("     "), 0);
  EXPECT_EQ(ReadNumber("abc"), 0);
  EXPECT_EQ(ReadNumber("-"), 0);
  EXPECT_EQ(ReadNumber("inf"), 0);
  EXPECT_TRUE(std::signbit(ReadNumber("-0")));
  EXPECT_EQ(ReadNumber("-1e999"), -std::numeric_limits<double>::max());
}
