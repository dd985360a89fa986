#include <gtest/gtest.h>

#include "common/civil_date.h"

using namespace vekrano::common;

TEST(CivilDate, KnownDaysAndTheirSerials) {
  EXPECT_EQ(daysFromCivil(1970, 1, 1), 0);
  EXPECT_EQ(daysFromCivil(1899, 12, 30), -kSerialOfUnixEpoch);
  EXPECT_EQ(daysFromCivil(2000, 3, 1) - daysFromCivil(2000, 2, 28), 2);  // 2000 is leap
  EXPECT_EQ(daysFromCivil(1900, 3, 1) - daysFromCivil(1900, 2, 28), 1);  // 1900 is not
  // Julian day 1721426 is 0001-01-01.
  EXPECT_EQ(daysFromCivil(1, 1, 1) + kJulianDayOfUnixEpoch, 1721426);
}

TEST(CivilDate, EveryDayOfFourCenturiesRoundTrips) {
  const std::int64_t first = daysFromCivil(1800, 1, 1);
  const std::int64_t last = daysFromCivil(2200, 12, 31);
  CivilDate expected{1800, 1, 1};
  for (std::int64_t day = first; day <= last; ++day) {
    const CivilDate got = civilFromDays(day);
    ASSERT_EQ(got.year, expected.year) << day;
    ASSERT_EQ(got.month, expected.month) << day;
    ASSERT_EQ(got.day, expected.day) << day;
    ASSERT_EQ(daysFromCivil(got.year, got.month, got.day), day);
    if (++expected.day > daysInMonth(expected.year, expected.month)) {
      expected.day = 1;
      if (++expected.month > 12) expected.month = 1, ++expected.year;
    }
  }
}

TEST(CivilDate, MonthLengths) {
  EXPECT_EQ(daysInMonth(2024, 2), 29);
  EXPECT_EQ(daysInMonth(2100, 2), 28);
  EXPECT_EQ(daysInMonth(2023, 4), 30);
  EXPECT_EQ(daysInMonth(2023, 12), 31);
  EXPECT_FALSE(isLeapYear(1900));
  EXPECT_TRUE(isLeapYear(2000));
}
