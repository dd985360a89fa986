// Reading CSV files from disk: encodings, line ends, blank and header lines, plain and quoted
// splitting.
#include "import/csv_source.h"

#include <gtest/gtest.h>

#include "languages/text_file.h"
#include "support/temp_dir.h"

namespace vekrano::import {
namespace {

using Fields = std::vector<std::string>;

std::vector<CsvRecord> readAll(const std::string& bytes, CsvOptions options = {}) {
  testing::TempDir dir;
  testing::writeFileBytes(dir.file("in.csv"), bytes);
  CsvFile file(dir.file("in.csv"), options);
  std::vector<CsvRecord> records;
  for (CsvRecord record; file.Next(record);) records.push_back(record);
  return records;
}

TEST(CsvFile, DecodesUtf8WithOrWithoutMarkAndWindows1252AlikeIntoUtf8OverEveryLineEnd) {
  for (const std::string& bytes : {std::string("\xEF\xBB\xBF"
                                               "cr\xC3\xA8me,1\r\nb,2"),
                                   std::string("cr\xC3\xA8me,1\nb,2\n"), std::string("cr\xE8me,1\rb,2\r\n")}) {
    const std::vector<CsvRecord> records = readAll(bytes);
    ASSERT_EQ(records.size(), 2u) << bytes;
    EXPECT_EQ(records[0].fields, (Fields{"cr\xC3\xA8me", "1"}));
    EXPECT_EQ(records[1].fields, (Fields{"b", "2"}));
    EXPECT_EQ(records[1].line, 2);
  }
}

TEST(CsvFile, SkipsBlankLinesUncountedThenTheHeaderLines) {
  const std::string bytes = "\n \t\nTitle,x\n\nA1,red,blue,2\nA2;x\n   \n";
  const std::vector<CsvRecord> records = readAll(bytes, {',', 1, false});
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].fields, (Fields{"A1", "red", "blue", "2"}));
  EXPECT_EQ(records[0].line, 5);
  EXPECT_EQ(records[1].fields, Fields{"A2;x"});
  EXPECT_EQ(readAll(bytes, {';', 0, false})[2].fields, (Fields{"A2", "x"}));
  EXPECT_TRUE(readAll(bytes, {',', 6, false}).empty());
}

TEST(CsvFile, PlainSplittingKeepsQuotesBlanksAndOnlyTenFields) {
  const std::vector<CsvRecord> records = readAll("\"a,b\", c ,,\n1,2,3,4,5,6,7,8,9,10,11,12\n");
  EXPECT_EQ(records[0].fields, (Fields{"\"a", "b\"", " c ", "", ""}));
  ASSERT_EQ(records[1].fields.size(), 10u);
  EXPECT_EQ(records[1].fields[9], "10");
}

TEST(CsvFile, QuotedReadingFollowsTheCsvRules) {
  const std::string bytes =
      "\"a,b\",\"say \"\"hi\"\"\",plain\r\n"
      "\"two\r\n\r\nlines\",x\n"
      "\"\",\"\"\"\"\n"
      "last,\"never closed\n";
  const std::vector<CsvRecord> records = readAll(bytes, {',', 0, true});
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].fields, (Fields{"a,b", "say \"hi\"", "plain"}));
  EXPECT_EQ(records[1].fields, (Fields{"two\r\n\r\nlines", "x"}));
  EXPECT_EQ(records[1].line, 2);
  EXPECT_EQ(records[2].fields, (Fields{"", "\""}));
  EXPECT_EQ(records[2].line, 5);  // the line breaks inside quotes count
  EXPECT_EQ(records[3].fields, (Fields{"last", "never closed\n"}));
  // A header line spanning two file lines is skipped as one.
  EXPECT_EQ(readAll("\"h\n1\",h2\nA,B\n", {',', 1, true})[0].fields, (Fields{"A", "B"}));
}

TEST(CsvFile, AMissingFileRaisesTheReadersMessage) {
  try {
    CsvFile file("/nonexistent/in.csv", {});
    FAIL();
  } catch (const languages::ETextFileError& error) {
    EXPECT_STREQ(error.what(), "Could not open the file \"/nonexistent/in.csv\" for reading");
  }
}

}  // namespace
}  // namespace vekrano::import
