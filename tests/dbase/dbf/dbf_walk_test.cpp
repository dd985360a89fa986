// Walked reads: records taken from the file mapped during a walk are never older than the walk's
// start nor than a write of this table, and nothing is held once the walk ends.
#include <gtest/gtest.h>

#include "dbase/held_file_bytes.h"
#include "dbase/dbf/dbf_test_support.h"
#include "support/temp_dir.h"

using namespace vekrano::dbase;
using vekrano::dbase::testing::articleFields;
using vekrano::dbase::testing::QuietErrors;
using vekrano::testing::TempDir;

namespace {

// Writes record n (appends beyond the count, which is first read from the file).
void putArticle(DbfTable& t, std::int32_t n, int num, const std::string& cb) {
  ASSERT_TRUE(t.refreshRecordCount());
  t.ClearRecord();
  t.setInteger(1, num);
  t.setString(2, cb);
  t.setString(6, "N");
  ASSERT_TRUE(t.PutDbfRecord(n));
}

std::string barcodeOf(DbfTable& t, std::int32_t n) {
  EXPECT_TRUE(t.getWalkedRecord(n)) << n;
  std::string cb = t.getString(2);
  return cb.substr(0, cb.find_last_not_of(' ') + 1);
}

}  // namespace

TEST(DbfWalk, WalkedRecordsFollowTheFileAndThisTablesWrites) {
  QuietErrors quiet;
  TempDir dir;
  ASSERT_TRUE(CreateDbf(dir.file("article.dbf"), articleFields()));
  DbfTable mine;
  DbfTable other;  // another opener of the same file, as another process would be
  ASSERT_TRUE(mine.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite, true));
  ASSERT_TRUE(other.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite, true));
  // Several blocks of records, the last one partly filled.
  constexpr int kRecords = 700;
  for (int n = 1; n <= kRecords; ++n) putArticle(mine, n, n, "A" + std::to_string(n));

  // Changes made before the walk starts are seen.
  putArticle(other, 5, 5, "before");
  mine.beginWalk();
  EXPECT_EQ(barcodeOf(mine, 5), "before");
  EXPECT_EQ(barcodeOf(mine, kRecords), "A700");
  EXPECT_EQ(mine.CurrentRecord(), kRecords);
  EXPECT_EQ(mine.getInteger(1), kRecords);

  // This table's own writes and deletion marks are seen at once, also in held blocks.
  putArticle(mine, 6, 6, "mine");
  EXPECT_EQ(barcodeOf(mine, 6), "mine");
  mine.getWalkedRecord(7);
  ASSERT_TRUE(mine.DeleteRec());
  ASSERT_TRUE(mine.getWalkedRecord(8));
  ASSERT_TRUE(mine.getWalkedRecord(7));
  EXPECT_TRUE(mine.isDeleted());
  ASSERT_TRUE(mine.RecallRec());
  ASSERT_TRUE(mine.getWalkedRecord(7));
  EXPECT_FALSE(mine.isDeleted());

  // A record appended after its block was read (by this table or another) is reached.
  putArticle(mine, kRecords + 1, 701, "appended");
  EXPECT_EQ(barcodeOf(mine, kRecords + 1), "appended");
  putArticle(other, kRecords + 2, 702, "theirs");
  ASSERT_TRUE(mine.refreshRecordCount());
  EXPECT_EQ(barcodeOf(mine, kRecords + 2), "theirs");
  EXPECT_FALSE(mine.getWalkedRecord(kRecords + 3));

  // A stored read during the walk sees another opener's change; walks nest.
  putArticle(other, 9, 9, "later");
  ASSERT_TRUE(mine.GetDbfRecord(9));
  EXPECT_EQ(mine.getString(2).substr(0, 5), "later");
  mine.beginWalk();
  mine.endWalk();
  putArticle(other, 10, 10, "inner");
  EXPECT_EQ(barcodeOf(mine, 10), "inner");  // the mapping shares the file's pages
  mine.endWalk();

  // Once the walk ends nothing held is returned.
  EXPECT_EQ(barcodeOf(mine, 10), "inner");
  mine.beginWalk();
  EXPECT_EQ(barcodeOf(mine, 10), "inner");
  mine.endWalk();
  mine.endWalk();  // unbalanced: nothing to end
  putArticle(other, 11, 11, "after");
  EXPECT_EQ(barcodeOf(mine, 11), "after");
}

TEST(DbfWalk, HeldBytesFollowGrowthAndEveryWriteWhileTheWalkLasts) {
  TempDir dir;
  const std::string path = dir.file("bytes.bin");
  std::string content(200 * 1024, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + i % 23);
  vekrano::testing::writeFileBytes(path, content);
  File file;
  ASSERT_EQ(file.open(path, FileAccess::ReadWrite, FileShare::DenyNone), 0);
  File other;
  ASSERT_EQ(other.open(path, FileAccess::ReadWrite, FileShare::DenyNone), 0);
  HeldFileBytes held;
  char out[300];
  EXPECT_FALSE(held.Read(file, 0, out, 10));  // no walk: the caller reads

  held.Begin();
  const std::uint64_t across = 64 * 1024 - 100;
  ASSERT_TRUE(held.Read(file, across, out, sizeof out));
  EXPECT_EQ(std::string(out, sizeof out), content.substr(across, sizeof out));
  // Beyond the end of the file the caller reads (and reports) itself.
  EXPECT_FALSE(held.Read(file, content.size() - 10, out, 20));

  // Writes of this open and of another are seen at once.
  const std::string mine(300, 'M');
  ASSERT_EQ(file.writeAt(mine.data(), mine.size(), static_cast<std::int64_t>(across)), 0);
  ASSERT_TRUE(held.Read(file, across, out, sizeof out));
  EXPECT_EQ(std::string(out, sizeof out), mine);
  const std::string theirs(8, 'T');
  ASSERT_EQ(other.writeAt(theirs.data(), theirs.size(), 0), 0);
  ASSERT_TRUE(held.Read(file, 0, out, 8));
  EXPECT_EQ(std::string(out, 8), theirs);

  // The file grown past the mapped end by another opener is mapped again.
  const std::string tail = "0123456789ABCDEFGHIJ";
  ASSERT_EQ(other.writeAt(tail.data(), tail.size(), static_cast<std::int64_t>(content.size() - 10)), 0);
  ASSERT_TRUE(held.Read(file, content.size() - 10, out, 20));
  EXPECT_EQ(std::string(out, 20), tail);
  const char* view = held.View(file, content.size() - 10, 20);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(std::string(view, 20), tail);

  // Walks nest; once the outermost has ended nothing is held.
  held.Begin();
  held.End();
  EXPECT_TRUE(held.Read(file, 0, out, 8));
  held.End();
  EXPECT_FALSE(held.Read(file, 0, out, 8));
  held.Begin();
  held.Reset();
  EXPECT_FALSE(held.active());
  EXPECT_EQ(held.View(file, 0, 8), nullptr);
}

TEST(DbfWalk, MappingAheadKeepsEveryByteAndEndsWithTheWalk) {
  TempDir dir;
  const std::string path = dir.file("ahead.bin");
  std::string content(3 * 1024 * 1024 + 17, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 % 251);
  vekrano::testing::writeFileBytes(path, content);
  File file;
  ASSERT_EQ(file.open(path, FileAccess::ReadOnly, FileShare::DenyNone), 0);
  HeldFileBytes held;
  held.mapAhead(file);  // no walk: nothing is mapped
  EXPECT_EQ(held.View(file, 0, 8), nullptr);
  for (int round = 0; round < 3; ++round) {
    held.Begin();
    held.mapAhead(file);
    held.mapAhead(file);  // once is enough
    std::string read;
    for (std::size_t at = 0; at + 4096 <= content.size(); at += 4096 * 97)
      read += std::string(held.View(file, at, 4096), 4096);
    std::string expected;
    for (std::size_t at = 0; at + 4096 <= content.size(); at += 4096 * 97) expected += content.substr(at, 4096);
    EXPECT_EQ(read, expected);
    held.End();  // waits for the pages still being mapped
    EXPECT_EQ(held.View(file, 0, 8), nullptr);
  }
}
