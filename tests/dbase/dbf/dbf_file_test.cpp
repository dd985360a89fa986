#include <gtest/gtest.h>

#include <ctime>

#include "common/format_settings.h"
#include "common/byte_codec.h"
#include "dbase/dbf/dbf_test_support.h"
#include "support/temp_dir.h"

using namespace vekrano::dbase;
using vekrano::dbase::testing::articleFields;
using vekrano::dbase::testing::QuietErrors;
using vekrano::testing::readFileBytes;
using vekrano::testing::TempDir;
using vekrano::testing::writeFileBytes;

namespace {

std::string today3() {
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return std::string{static_cast<char>(t.tm_year), static_cast<char>(t.tm_mon + 1), static_cast<char>(t.tm_mday)};
}

void putArticle(DbfTable& t, int num, const std::string& cb, int quantite) {
  t.ClearRecord();
  t.setInteger(1, num);
  t.setString(2, cb);
  t.setString(3, "line one");
  t.setInteger(5, quantite);
  t.setString(6, "N");
  ASSERT_TRUE(t.PutDbfRecord(t.RecordCount() + 1));
}

}  // namespace

TEST(DbfFile, CreatedArticleTableIsByteExact) {
  QuietErrors quiet;
  TempDir dir;
  ASSERT_TRUE(CreateDbf(dir.file("article.dbf"), articleFields()));
  const std::string bytes = readFileBytes(dir.file("article.dbf"));
  ASSERT_EQ(bytes.size(), 226u);
  EXPECT_EQ(bytes[0], '\x03');
  EXPECT_EQ(bytes.substr(1, 3), today3());
  EXPECT_EQ(bytes.substr(4, 4), std::string(4, '\0'));
  EXPECT_EQ(bytes.substr(8, 4), std::string("\xE1\x00\x05\x01", 4));
  EXPECT_EQ(bytes.substr(12, 17), std::string(17, '\0'));
  EXPECT_EQ(bytes[29], '\x02');  // language byte: code page 850, as dBase readers expect it
  EXPECT_EQ(bytes.substr(30, 2), std::string(2, '\0'));
  const struct {
    const char* name;
    char type;
    int length;
  } expected[] = {{"NUM", 'N', 5},    {"CB", 'C', 50},      {"LIB1", 'C', 100},
                  {"LIB2", 'C', 100}, {"QUANTITE", 'N', 3}, {"TOPP", 'C', 2}};
  for (int i = 0; i < 6; ++i) {
    const std::string d = bytes.substr(32 + 32 * i, 32);
    std::string name(expected[i].name);
    name.resize(11, '\0');
    EXPECT_EQ(d.substr(0, 11), name);
    EXPECT_EQ(d[11], expected[i].type);
    EXPECT_EQ(d.substr(12, 4), std::string(4, '\0'));
    EXPECT_EQ(static_cast<unsigned char>(d[16]), expected[i].length);
    EXPECT_EQ(d[17], '\0');
    EXPECT_EQ(d.substr(18), std::string(14, '\0'));
  }
  EXPECT_EQ(bytes[224], '\x0D');
  EXPECT_EQ(bytes[225], '\x1A');

  DbfTable t;
  ASSERT_TRUE(t.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite));
  EXPECT_EQ(t.headerLength(), 225);
  EXPECT_EQ(t.recordLength(), 261);
  EXPECT_EQ(t.CurrentRecord(), 0);
  EXPECT_TRUE(t.Bof() && t.Eof());
  int positions[6];
  for (int i = 0; i < 6; ++i) positions[i] = t.fields()[i].position;
  EXPECT_EQ(std::vector<int>(positions, positions + 6), (std::vector<int>{1, 6, 56, 156, 256, 259}));
  EXPECT_EQ(t.FieldNo("quantite"), 5);
  EXPECT_EQ(t.FieldNo("missing"), 0);
  EXPECT_EQ(t.FieldAddress(2), 5);  // flag, NUM as a 4-byte integer
  EXPECT_EQ(t.fieldBufferSize(), 1u + 4 + 51 + 101 + 101 + 4 + 3);
}

TEST(DbfFile, NumbersAndTextAreStoredRightAlignedOrFilledWithStars) {
  QuietErrors quiet;
  TempDir dir;
  ASSERT_TRUE(CreateDbf(dir.file("article.dbf"), articleFields()));
  {
    DbfTable t;
    ASSERT_TRUE(t.OpenDbf(dir.file("article.dbf"), DbfOpenMode::ExclusiveReadWrite));
    putArticle(t, 42, std::string(60, 'x'), 1000);
    putArticle(t, -4242, "y", -7);
    putArticle(t, 0, "z", -100);
    ASSERT_TRUE(t.CloseDbf());
  }
  const std::string bytes = readFileBytes(dir.file("article.dbf"));
  ASSERT_EQ(bytes.size(), 225u + 3 * 261 + 1);
  EXPECT_EQ(bytes.substr(225 + 261, 6), " -4242");
  EXPECT_EQ(bytes.substr(225 + 261 + 256, 3), " -7");
  EXPECT_EQ(bytes.substr(225 + 2 * 261, 6), "     0");
  EXPECT_EQ(bytes.substr(225 + 2 * 261 + 256, 3), "***") << "-100 is one character too wide";
  const std::string record = bytes.substr(225, 261);
  EXPECT_EQ(record.substr(0, 6), "    42");
  EXPECT_EQ(record.substr(6, 50), std::string(50, 'x'));
  EXPECT_EQ(record.substr(256, 3), "***");
  EXPECT_EQ(record.substr(259, 2), "N ");
  EXPECT_EQ(bytes.back(), '\x1A');
  EXPECT_EQ(bytes.substr(4, 4), std::string("\x03\0\0\0", 4));
}

TEST(DbfFile, OpenedAndClosedWithoutWritesKeepsEveryByte) {
  QuietErrors quiet;
  TempDir dir;
  ASSERT_TRUE(CreateDbf(dir.file("article.dbf"), articleFields()));
  {
    DbfTable t;
    ASSERT_TRUE(t.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite));
    putArticle(t, 1, "A", 1);
  }
  std::string bytes = readFileBytes(dir.file("article.dbf"));
  bytes[1] = 90;  // an old date that a rewrite would replace
  bytes[16] = 'k';
  writeFileBytes(dir.file("article.dbf"), bytes);
  {
    DbfTable t;
    ASSERT_TRUE(t.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite));
    ASSERT_TRUE(t.GetDbfRecord(1));
    EXPECT_EQ(t.lastUpdate().substr(0, 4), "1990");
    ASSERT_TRUE(t.CloseDbf());
  }
  EXPECT_EQ(readFileBytes(dir.file("article.dbf")), bytes);
}

TEST(DbfFile, ReplaceAndDeleteRewriteTheHeaderButNoEndMarker) {
  QuietErrors quiet;
  TempDir dir;
  ASSERT_TRUE(CreateDbf(dir.file("article.dbf"), articleFields()));
  {
    DbfTable t;
    ASSERT_TRUE(t.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite));
    putArticle(t, 1, "A", 1);
    putArticle(t, 2, "B", 2);
  }
  std::string before = readFileBytes(dir.file("article.dbf"));
  before.pop_back();  // no end marker: a rewrite must not add one
  before[16] = 'p';  // bytes 16-27 are kept as found on disk
  writeFileBytes(dir.file("article.dbf"), before);
  {
    DbfTable t;
    ASSERT_TRUE(t.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite));
    ASSERT_TRUE(t.GetDbfRecord(2));
    ASSERT_TRUE(t.DeleteRec());
    EXPECT_TRUE(t.isDeleted());
    ASSERT_TRUE(t.CloseDbf());
  }
  const std::string after = readFileBytes(dir.file("article.dbf"));
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after[16], 'p');
  const std::size_t second = 225 + 261;
  EXPECT_EQ(after[second], '*');
  EXPECT_EQ(after.substr(second + 1), before.substr(second + 1));  // field bytes untouched
  EXPECT_EQ(after.substr(0, second), before.substr(0, second));

  DbfTable t;
  ASSERT_TRUE(t.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite));
  ASSERT_TRUE(t.GetDbfRecord(2));
  EXPECT_TRUE(t.isDeleted());
  EXPECT_EQ(t.getInteger(1), 2);
  ASSERT_TRUE(t.RecallRec());
  ASSERT_TRUE(t.GetDbfRecord(2));
  EXPECT_FALSE(t.isDeleted());
}

TEST(DbfFile, OemTranslationBothWays) {
  QuietErrors quiet;
  TempDir dir;
  ASSERT_TRUE(CreateDbf(dir.file("article.dbf"), articleFields()));
  {
    DbfTable t;
    ASSERT_TRUE(t.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite, true));
    putArticle(t, 7, "Caf\xE9 \xC0", 3);  // ANSI é and À
    EXPECT_EQ(t.getString(2).substr(0, 6), "Caf\xE9 \xC0");  // the buffer stays ANSI
  }
  const std::string bytes = readFileBytes(dir.file("article.dbf"));
  EXPECT_EQ(bytes.substr(225 + 6, 6), "Caf\x82 \xB7");  // OEM 850 é and À
  DbfTable t;
  ASSERT_TRUE(t.OpenDbf(dir.file("article.dbf"), DbfOpenMode::ReadOnly, true));
  ASSERT_TRUE(t.GetDbfRecord(1));
  EXPECT_EQ(t.getString(2).substr(0, 6), "Caf\xE9 \xC0");
  std::string block(261, '\0');
  ASSERT_TRUE(t.readRecords(1, 1, block.data()));
  EXPECT_EQ(block.substr(6, 6), "Caf\xE9 \xC0");
  DbfTable raw;
  ASSERT_TRUE(raw.OpenDbf(dir.file("article.dbf"), DbfOpenMode::ReadOnly, false));
  ASSERT_TRUE(raw.GetDbfRecord(1));
  EXPECT_EQ(raw.getString(2).substr(0, 6), "Caf\x82 \xB7");
}

TEST(DbfFile, EveryFieldTypeRoundTripsThroughTheFieldBuffer) {
  QuietErrors quiet;
  TempDir dir;
  vekrano::common::formatSettings().shortDateFormat = "dd/MM/yyyy";
  vekrano::common::formatSettings().dateSeparator = '/';
  ASSERT_TRUE(CreateDbf(dir.file("types"),
                        {{"price", 'N', 8, 2}, {"born", 'D', 0, 0}, {"ok", 'l', 0, 0}, {"ratio", 'F', 6, 3}}));
  EXPECT_EQ(readFileBytes(dir.file("types.DBF")).substr(32 + 32 + 16, 2), std::string("\x08\x00", 2));
  DbfTable t;
  ASSERT_TRUE(t.OpenDbf(dir.file("types"), DbfOpenMode::SharedReadWrite));
  EXPECT_EQ(t.FieldLen(2), 10);
  t.ClearRecord();
  EXPECT_EQ(t.getDate(2), "");
  t.setDouble(1, -12.345);
  t.SetDate(2, "29/02/2024");
  t.setLogical(3, true);
  t.setDouble(4, 1234.5);  // too wide for 6.3
  ASSERT_TRUE(t.PutDbfRecord(1));
  EXPECT_EQ(std::string(t.recordBuffer(), t.recordLength()), "   -12.3520240229T******");
  t.SetDate(2, "31/02/2024");
  ASSERT_TRUE(t.PutDbfRecord(1));
  EXPECT_EQ(std::string(t.recordBuffer() + 9, 8), "        ");
  t.SetDate(2, "01/03/24");  // two-digit year within the window
  ASSERT_TRUE(t.PutDbfRecord(1));
  ASSERT_TRUE(t.GetDbfRecord(1));
  EXPECT_EQ(t.getDate(2), "01/03/2024");
  EXPECT_DOUBLE_EQ(t.getDouble(1), -12.35);
  EXPECT_TRUE(t.getLogical(3));
  EXPECT_EQ(t.FieldType(9), '\0');
  EXPECT_EQ(dbfErrorCode(), 220);
  EXPECT_EQ(dbfErrorText(), "Invalid field number. [FieldType(9)]");
}

TEST(DbfFile, DamagedFilesAreRefusedWithTheirTexts) {
  QuietErrors quiet;
  TempDir dir;
  ASSERT_TRUE(CreateDbf(dir.file("article.dbf"), articleFields()));
  const std::string good = readFileBytes(dir.file("article.dbf"));
  const std::string path = std::filesystem::absolute(dir.file("bad.dbf")).string();
  const auto refused = [&](const std::string& bytes, int code, const std::string& text) {
    writeFileBytes(path, bytes);
    DbfTable t;
    EXPECT_FALSE(t.OpenDbf(path, DbfOpenMode::SharedReadWrite));
    EXPECT_EQ(dbfErrorCode(), code);
    EXPECT_EQ(dbfErrorText(), text);
    EXPECT_FALSE(t.isOpen());
  };
  std::string badVersion = good;
  badVersion[0] = '\x30';
  refused(badVersion, 210, path + " is not a dBASE database.(Invalid version byte)+ [USE/OpenDBF]");
  refused(good.substr(0, 20), 210, path + " is not a dBASE database. (Prolog is less than 32 bytes) [USE/OpenDBF]");
  std::string noFields = good;
  noFields[8] = 40;
  noFields[9] = 0;
  refused(noFields, 210, path + " is not a dBASE database. (Number of fields is out of range) [Use/OpenDbf]");
  refused(good.substr(0, 100), 100, "Error reading " + path + " [Use/OpenDbf]");
  std::string badType = good;
  badType[32 + 11] = 'Q';
  refused(badType, 211, "Field: NUM [Q] in " + path + " is not a valid field type");
  std::string early = good;
  early[32] = '\x0D';
  refused(early, 222, "Error reading " + path + " [Use/OpenDbf]");
  std::string shortRecord = good;
  shortRecord[10] = 10;
  shortRecord[11] = 0;
  refused(shortRecord, 210, path + " is not a dBASE database. (Record length is less than the fields) [Use/OpenDbf]");

  DbfTable t;
  EXPECT_FALSE(t.OpenDbf(dir.file("none.dbf"), DbfOpenMode::SharedReadWrite));
  EXPECT_EQ(dbfErrorCode(), 2);
  EXPECT_EQ(dbfErrorText(),
            "Failure to open " + std::filesystem::absolute(dir.file("none.dbf")).string() + " [USE/OpenDbf]");
  ASSERT_TRUE(t.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite));
  EXPECT_FALSE(t.GetDbfRecord(1));
  EXPECT_EQ(dbfErrorCode(), 212);
  EXPECT_EQ(dbfErrorText(), "Invalid record number = 1 (" + t.fileName() + ")  [GetDbfRecord]");
}

TEST(DbfFile, WriteFailuresCarryTheirTexts) {
  QuietErrors quiet;
  TempDir dir;
  EXPECT_FALSE(CreateDbf(dir.file("missing/article.dbf"), articleFields()));
  EXPECT_EQ(dbfErrorText(),
            "Error writing " + std::filesystem::absolute(dir.file("missing/article.dbf")).string() + ". [CreateDbf]");

  ASSERT_TRUE(CreateDbf(dir.file("article.dbf"), articleFields()));
  DbfTable t;
  ASSERT_TRUE(t.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite));
  EXPECT_FALSE(t.PutDbfRecord(0));
  EXPECT_EQ(dbfErrorCode(), 212);
  EXPECT_EQ(dbfErrorText(), "File:  " + t.fileName() + " [Replace/Append/PutDbfRecord]");
  // An empty table has no current record to mark.
  EXPECT_FALSE(t.DeleteRec());
  EXPECT_EQ(dbfErrorText(), "File:  " + t.fileName() + " [DeleteRec/RecallRec]");
  EXPECT_FALSE(t.RecallRec());
  EXPECT_EQ(dbfErrorText(), "File:  " + t.fileName() + " [DeleteRec/RecallRec]");
}

TEST(DbfFile, SharingAndRecordCountRefresh) {
  QuietErrors quiet;
  TempDir dir;
  ASSERT_TRUE(CreateDbf(dir.file("article.dbf"), articleFields()));
  DbfTable exclusive;
  ASSERT_TRUE(exclusive.OpenDbf(dir.file("article.dbf"), DbfOpenMode::ExclusiveReadWrite));
  DbfTable other;
  EXPECT_FALSE(other.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite));
  EXPECT_EQ(dbfErrorCode(), 32);
  EXPECT_TRUE(exclusive.CloseDbf());

  DbfTable a;
  DbfTable b;
  ASSERT_TRUE(a.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite));
  ASSERT_TRUE(b.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite));
  putArticle(a, 1, "X", 1);
  putArticle(a, 2, "Y", 1);
  EXPECT_EQ(b.RecordCount(), 0);
  ASSERT_TRUE(b.refreshRecordCount());
  EXPECT_EQ(b.RecordCount(), 2);
  ASSERT_TRUE(b.GetDbfRecord(2));
  EXPECT_EQ(b.getString(2).substr(0, 1), "Y");
}

TEST(DbfFile, OpensLevel7AndDBase2Layouts) {
  QuietErrors quiet;
  TempDir dir;
  // Level 7: 68-byte header, one 48-byte descriptor, terminator, one record.
  std::string level7(68 + 48 + 1, '\0');
  level7[0] = '\x04';
  level7[8] = static_cast<char>(level7.size());
  level7[10] = 5;
  level7.replace(68, 4, "code");
  level7[68 + 32] = 'C';
  level7[68 + 33] = 4;
  level7[68 + 48] = '\x0D';
  level7[4] = 1;
  level7 += " abcd";
  writeFileBytes(dir.file("l7.dbf"), level7);
  DbfTable t;
  ASSERT_TRUE(t.OpenDbf(dir.file("l7.dbf"), DbfOpenMode::ReadOnly));
  EXPECT_EQ(t.layout(), DbfLayout::Level7);
  EXPECT_EQ(t.Field(1), "CODE");
  ASSERT_TRUE(t.GetDbfRecord(1));
  EXPECT_EQ(t.getString(1), "abcd");
  t.CloseDbf();

  std::string dbase2(521, '\0');
  dbase2[0] = '\x02';
  dbase2[1] = 1;
  dbase2[6] = 4;
  dbase2.replace(8, 2, "id");
  dbase2[8 + 11] = 'N';
  dbase2[8 + 12] = 3;
  dbase2[8 + 16] = '\x0D';
  dbase2 += "  17";
  writeFileBytes(dir.file("d2.dbf"), dbase2);
  ASSERT_TRUE(t.OpenDbf(dir.file("d2.dbf"), DbfOpenMode::SharedReadWrite));
  EXPECT_EQ(t.layout(), DbfLayout::DBase2);
  ASSERT_TRUE(t.GetDbfRecord(1));
  EXPECT_EQ(t.getInteger(1), 17);
  t.setInteger(1, 18);
  ASSERT_TRUE(t.PutDbfRecord(1));
  ASSERT_TRUE(t.CloseDbf());
  const std::string after = readFileBytes(dir.file("d2.dbf"));
  EXPECT_EQ(after.substr(8), dbase2.substr(8, 513) + "  18");  // only the prolog rewritten
  writeFileBytes(dir.file("d2short.dbf"), dbase2.substr(0, 300));
  EXPECT_FALSE(t.OpenDbf(dir.file("d2short.dbf"), DbfOpenMode::ReadOnly));
  EXPECT_EQ(dbfErrorText(), std::filesystem::absolute(dir.file("d2short.dbf")).string() +
                                " is not a dBASE database.(Header is less than 521 bytes) [Use/OpenDBF]");
}

TEST(DbfFile, MemoTableGetsItsDbtFile) {
  QuietErrors quiet;
  TempDir dir;
  ASSERT_TRUE(CreateDbf(dir.file("notes.dbf"), {{"id", 'N', 4, 0}, {"text", 'M', 0, 0}}));
  const std::string table = readFileBytes(dir.file("notes.dbf"));
  EXPECT_EQ(static_cast<unsigned char>(table[0]), 0x8B);
  EXPECT_EQ(table[32 + 32 + 16], 10);
  const std::string memo = readFileBytes(dir.file("notes.dbt"));
  EXPECT_EQ(memo, std::string("\x01\0\0\0\0\0\0\0notes\0\0\0\0\0\x02\x01\x00\x02\0\0", 24));
  EXPECT_FALSE(CreateDbf(dir.file("bad.dbf"), {{"  ", 'C', 5, 0}}));
  EXPECT_EQ(dbfErrorCode(), 211);
  EXPECT_EQ(dbfErrorText(), "Invalid dBASE field definition [CreateDBF]");
  EXPECT_FALSE(std::filesystem::exists(dir.file("bad.dbf")));
}

TEST(DbfFile, DeferredAppendsAreReadFromMemoryAndWrittenInOneGoOrNotAtAll) {
  QuietErrors quiet;
  TempDir dir;
  ASSERT_TRUE(CreateDbf(dir.file("article.dbf"), articleFields()));
  {
    DbfTable t;
    ASSERT_TRUE(t.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite));
    putArticle(t, 1, "ONFILE", 1);
    t.deferAppends(true);
    for (int n = 2; n <= 5; ++n) putArticle(t, n, "KEPT" + std::to_string(n), n);
    EXPECT_EQ(readFileBytes(dir.file("article.dbf")).size(), 225u + 261) << "nothing kept is written yet";
    ASSERT_TRUE(t.refreshRecordCount());
    EXPECT_EQ(t.RecordCount(), 5);
    EXPECT_EQ(t.writtenRecordCount(), 1);
    ASSERT_TRUE(t.GetDbfRecord(3));
    EXPECT_EQ(t.getString(2).substr(0, 5), "KEPT3");
    EXPECT_EQ(t.getInteger(5), 3);
    // A piece of records running from the file into those kept.
    std::vector<char> piece(3 * 261);
    ASSERT_TRUE(t.readRecords(1, 3, piece.data()));
    EXPECT_EQ(std::string(piece.data() + 6, 6), "ONFILE");
    EXPECT_EQ(std::string(piece.data() + 2 * 261 + 6, 5), "KEPT3");
    ASSERT_TRUE(t.writeDeferredAppends());
    t.deferAppends(false);
    EXPECT_EQ(t.writtenRecordCount(), 5);
    EXPECT_EQ(readFileBytes(dir.file("article.dbf")).size(), 225u + 5 * 261);
    ASSERT_TRUE(t.CloseDbf());
  }
  const std::string five = readFileBytes(dir.file("article.dbf"));
  EXPECT_EQ(five.substr(225 + 4 * 261 + 6, 5), "KEPT5");
  {
    // A table that cannot be written: the kept appends are dropped whole, and nothing changes.
    DbfTable t;
    ASSERT_TRUE(t.OpenDbf(dir.file("article.dbf"), DbfOpenMode::ReadOnly));
    t.deferAppends(true);
    putArticle(t, 6, "LOST6", 1);
    putArticle(t, 7, "LOST7", 1);
    EXPECT_FALSE(t.writeDeferredAppends());
    EXPECT_NE(dbfErrorText().find("[Replace/Append/PutDbfRecord]"), std::string::npos) << dbfErrorText();
    t.deferAppends(false);
    EXPECT_EQ(t.RecordCount(), 5);
    EXPECT_FALSE(t.GetDbfRecord(6));
    t.CloseDbf();
  }
  EXPECT_EQ(readFileBytes(dir.file("article.dbf")), five);
}
