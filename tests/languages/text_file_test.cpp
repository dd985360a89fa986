#include "languages/text_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/temp_dir.h"

namespace vekrano::languages {
namespace {

using testing::TempDir;
using testing::writeFileBytes;

std::vector<std::string> allLines(TTextFile& file) {
  std::vector<std::string> lines;
  while (!file.Eof()) {
    lines.push_back(file.Line());
    file.nextLine();
  }
  return lines;
}

TEST(TextFile, SkipsEmptyLinesAndLinesOfSpacesAndTabs) {
  TempDir dir;
  writeFileBytes(dir.file("a.txt"), "\n \t \nfirst\r\n\r\n  x  \n\t\nlast");
  TTextFile file(';');
  file.Open(dir.file("a.txt"));
  EXPECT_EQ(allLines(file), (std::vector<std::string>{"first", "  x  ", "last"}));
  file.nextLine();  // at the end it stays at the end
  EXPECT_TRUE(file.Eof());
  EXPECT_EQ(file.Line(), "");
}

TEST(TextFile, LineBreaksAreLfCrLfOrCr) {
  TempDir dir;
  writeFileBytes(dir.file("a.txt"), "a\rb\r\nc\nd\n");
  TTextFile file(',');
  file.Open(dir.file("a.txt"));
  EXPECT_EQ(allLines(file), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST(TextFile, FileOfOnlyBlankLinesIsAtItsEndAtOnce) {
  TempDir dir;
  writeFileBytes(dir.file("a.txt"), " \n\t\n\n");
  TTextFile file(';');
  file.Open(dir.file("a.txt"));
  EXPECT_TRUE(file.Eof());
  EXPECT_EQ(file.Field(1), "");
}

TEST(TextFile, FieldsAreSplitAtTheSeparatorUntrimmedAndUnquoted) {
  TempDir dir;
  writeFileBytes(dir.file("a.txt"), " a ;\"b;c\";;d\n");
  TTextFile file(';');
  file.Open(dir.file("a.txt"));
  EXPECT_EQ(file.Field(1), " a ");
  EXPECT_EQ(file.Field(2), "\"b");
  EXPECT_EQ(file.Field(3), "c\"");
  EXPECT_EQ(file.Field(4), "");
  EXPECT_EQ(file.Field(5), "d");
  EXPECT_EQ(file.Field(6), "");
  EXPECT_EQ(file.Field(0), "");
  EXPECT_EQ(fieldOf("x,y", ',', 2), "y");
  EXPECT_EQ(fieldOf("x;y", ',', 1), "x;y");
  EXPECT_EQ(fieldOf("", ',', 1), "");
  EXPECT_EQ(fieldOf("x,", ',', 2), "");
}

TEST(TextFile, Utf8IsHeldAsWindows1252AndOtherBytesAsTheyAre) {
  TempDir dir;
  writeFileBytes(dir.file("utf8.txt"),
                 "\xEF\xBB\xBF"
                 "Fran\xC3\xA7"
                 "ais;\xE2\x82\xAC;\xE2\x98\x83\n");
  writeFileBytes(dir.file("ansi.txt"),
                 "Fran\xE7"
                 "ais;\x80\n");
  TTextFile file(';');
  file.Open(dir.file("utf8.txt"));
  EXPECT_EQ(file.Field(1),
            "Fran\xE7"
            "ais");  // mark skipped
  EXPECT_EQ(file.Field(2), "\x80");  // euro sign
  EXPECT_EQ(file.Field(3), "?");  // no counterpart in Windows-1252
  file.Open(dir.file("ansi.txt"));
  EXPECT_EQ(file.Field(1),
            "Fran\xE7"
            "ais");
  EXPECT_EQ(file.Field(2), "\x80");
}

TEST(TextFile, MessagesAreWordedExactly) {
  TempDir dir;
  TTextFile file(';');
  try {
    file.Eof();
    FAIL() << "reading without a file";
  } catch (const ETextFileError& e) {
    EXPECT_STREQ(e.what(), "No valid file selected");
  }
  EXPECT_THROW(file.nextLine(), ETextFileError);
  EXPECT_THROW(file.Field(1), ETextFileError);

  std::string missing = dir.file("none.lg");
  try {
    file.Open(missing);
    FAIL() << "opening a missing file";
  } catch (const ETextFileError& e) {
    EXPECT_EQ(e.message(), "Could not open the file \"" + missing + "\" for reading");
  }
  EXPECT_FALSE(file.isOpen());
  // A folder is not a text file.
  EXPECT_THROW(file.Open(dir.path().string()), ETextFileError);

  EXPECT_EQ(readErrorMessage("/d/x.csv", TextReadError::FileNotOpen),
            "Read error while reading file \"/d/x.csv\": File not open");
  EXPECT_EQ(readErrorMessage("/d/x.csv", TextReadError::FileNotOpenForInput),
            "Read error while reading file \"/d/x.csv\": File not open for input");
  EXPECT_EQ(readErrorMessage("/d/x.csv", TextReadError::InvalidFormat),
            "Read error while reading file \"/d/x.csv\": Invalid file format");
  EXPECT_EQ(readErrorMessage("/d/x.csv", TextReadError::Other),
            "Read error while reading file \"/d/x.csv\": Unknown error");
}

TEST(TextFile, CloseForgetsTheFile) {
  TempDir dir;
  writeFileBytes(dir.file("a.txt"), "a\n");
  TTextFile file(';');
  file.Open(dir.file("a.txt"));
  EXPECT_EQ(file.FileName(), dir.file("a.txt"));
  file.Close();
  EXPECT_THROW(file.Line(), ETextFileError);
}

}  // namespace
}  // namespace vekrano::languages
