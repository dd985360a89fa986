// DOS date packing and the file name patterns.
#include <gtest/gtest.h>

#include "backup/dos_date.h"
#include "backup/restore_target.h"
#include "backup/wildcard.h"

namespace vekrano::backup {
namespace {

std::time_t localTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

TEST(DosDate, PacksDateHighAndTimeLowInTwoSecondSteps) {
  // 2015-06-11 13:34:57: year 35, month 6, day 11; 13 h 34 min 28 double-seconds.
  EXPECT_EQ(dosDateFromTime(localTime(2015, 6, 11, 13, 34, 57)),
            (35u << 9 | 6u << 5 | 11u) << 16 | (13u << 11 | 34u << 5 | 28u));
  EXPECT_EQ(*timeFromDosDate((35u << 9 | 6u << 5 | 11u) << 16 | (13u << 11 | 34u << 5 | 28u)),
            localTime(2015, 6, 11, 13, 34, 56));
  EXPECT_EQ(dosDateFromTime(localTime(1975, 3, 1, 0, 0, 0)), (1u << 5 | 1u) << 16);
  EXPECT_FALSE(timeFromDosDate(0).has_value());
  EXPECT_FALSE(timeFromDosDate((35u << 9 | 13u << 5 | 1u) << 16).has_value());
  EXPECT_FALSE(timeFromDosDate((35u << 9 | 6u << 5 | 1u) << 16 | 24u << 11).has_value());
}

TEST(Wildcard, StarAndQuestionMarkWithoutRegardToCase) {
  EXPECT_TRUE(matchesWildcard("*.dbf", "ARTICLE.DBF"));
  EXPECT_TRUE(matchesWildcard("a?t*.Dbf", "article.dbf"));
  EXPECT_FALSE(matchesWildcard("*.dbf", "article.dbf.bak"));
  EXPECT_FALSE(matchesWildcard("?", ""));
  EXPECT_TRUE(matchesWildcard("*", ""));
  EXPECT_TRUE(matchesWildcard("*.*", "readme"));
  EXPECT_TRUE(matchesWildcard("\xC9T\xC9*", "\xE9t\xE9.txt"));
  EXPECT_TRUE(matchesWildcard("*a*a*a*a*a*a*b", std::string(5000, 'a') + "b"));
  EXPECT_FALSE(matchesWildcard("*a*a*a*a*a*a*b", std::string(5000, 'a')));
}

TEST(RestoreTarget, LastComponentTakesEverySeparator) {
  EXPECT_EQ(*restoreTarget("c:\\app\\article.dbf", "/d/x/", false), "/d/x/article.dbf");
  EXPECT_EQ(*restoreTarget("/home/u/article.dbf", "/d/x/", false), "/d/x/article.dbf");
  EXPECT_EQ(*restoreTarget("a:b.txt", "/d/x/", false), "/d/x/b.txt");
  EXPECT_EQ(*restoreTarget("c:\\app\\article.dbf", "/d/x/", true), "/d/x/app/article.dbf");
  EXPECT_EQ(*restoreTarget("rel\\a.txt", "/d/", true), "/d/rel/a.txt");
  EXPECT_EQ(*restoreTarget("c:\\app\\a.txt", "", true), "c:/app/a.txt");
  EXPECT_EQ(*restoreTarget("..a\\b..", "/d/", true), "/d/..a/b..");
  EXPECT_FALSE(restoreTarget("c:\\app\\..\\a.txt", "/d/", false));
  EXPECT_FALSE(restoreTarget("/tmp/../etc/a", "", false));
  EXPECT_FALSE(restoreTarget("c:\\\\server\\a.txt", "/d/", true));
}

}  // namespace
}  // namespace vekrano::backup
