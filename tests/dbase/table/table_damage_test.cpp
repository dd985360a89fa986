// Table files whose header does not describe them: opened read-only with a message that says how,
// the records that can be read still listed, nothing written; repaired by keeping the records up
// to the last whole one under a rebuilt header, the old file kept beside it.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "common/byte_codec.h"
#include "sql/query/query.h"
#include "dbase/table/table_test_support.h"

namespace vekrano::dbase::testing {
namespace {

using vekrano::testing::readFileBytes;
using vekrano::testing::writeFileBytes;

constexpr std::size_t kHeader = 225;
constexpr std::size_t kRecord = 261;

// 41 records A00..A40 through the dataset; the table's bytes afterwards.
std::string filledTable(TableFolder& f) {
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  for (int i = 0; i < 41; ++i) appendArticle(table, i + 1, std::string("A") + (i < 10 ? "0" : "") + std::to_string(i));
  table.Close();
  return readFileBytes(f.dbf());
}

struct Damage {
  std::function<std::string(std::string)> make;
  std::string says;
  std::int32_t wholeRecords;  // what a repair keeps
};

TEST(TableDamage, ADamagedTableOpensReadOnlySaysWhyAndIsRepairedWithItsWholeRecords) {
  const std::map<std::string, Damage> damages = {
      {"cut inside a record",
       {[](std::string b) { return b.substr(0, kHeader + 40 * kRecord + 100); },
        "it ends inside a record, after 40 whole ones", 40}},
      {"counting more records than it holds",
       {[](std::string b) {
          common::putU32(b.data() + 4, 50);
          return b;
        },
        "its header counts 50 records, the file holds 41", 41}},
      {"a header length 32 too long",
       {[](std::string b) {
          common::putU16(b.data() + 8, kHeader + 32);
          return b;
        },
        "its header length (257) does not end on the end of its field list", 41}},
  };
  for (const auto& [what, damage] : damages) {
    SCOPED_TRACE(what);
    TableFolder f;
    const std::string damaged = damage.make(filledTable(f));
    writeFileBytes(f.dbf(), damaged);
    {
      TTzDbf table("tarticle");
      configureArticleTable(table, f.folder());
      table.Open();
      EXPECT_TRUE(table.ReadOnly());
      ASSERT_EQ(f.shownTexts().size(), 1u);
      EXPECT_EQ(f.shownTexts()[0], f.dbf() + " is damaged: " + damage.says +
                                       ". It is opened read-only and nothing is written until it is repaired "
                                       "(vekrano-sql DIR .repair).");
      EXPECT_GE(Barcodes(table).size(), 40u) << "what can be read is listed";
      sql::TSqlQuery query;
      query.DataSets().Add("article", &table);
      query.SQL().Add("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (99,\"NEW\",\"\",\"\",1,\"N\")");
      EXPECT_ANY_THROW(query.ExecSQL());
      table.Close();
      EXPECT_FALSE(table.ReadOnly());
    }
    EXPECT_EQ(readFileBytes(f.dbf()), damaged) << "nothing written";

    std::int32_t kept = 0;
    std::string keptAs;
    ASSERT_TRUE(RepairDbf(f.dbf(), kept, keptAs)) << dbfErrorText();
    EXPECT_EQ(kept, damage.wholeRecords);
    EXPECT_EQ(keptAs, f.dbf() + ".bad");
    EXPECT_EQ(readFileBytes(keptAs), damaged);
    const std::string repaired = readFileBytes(f.dbf());
    ASSERT_EQ(repaired.size(), kHeader + kept * kRecord + 1);
    EXPECT_EQ(common::getU32(repaired.data() + 4), static_cast<std::uint32_t>(kept));
    EXPECT_EQ(common::getU16(repaired.data() + 8), kHeader);
    EXPECT_EQ(repaired.substr(kHeader, kept * kRecord), damaged.substr(kHeader, kept * kRecord));
    EXPECT_EQ(repaired.back(), '\x1A');

    TTzDbf table("tarticle");
    configureArticleTable(table, f.folder());
    table.Open();
    EXPECT_FALSE(table.ReadOnly());
    EXPECT_EQ(Barcodes(table).size(), static_cast<std::size_t>(kept));
    appendArticle(table, 99, "NEW");
    EXPECT_EQ(Barcodes(table).back(), "NEW");
  }
}

TEST(TableDamage, ARepairRefusesAFileWithoutAFieldList) {
  TableFolder f;
  writeFileBytes(f.dbf(), std::string(100, '\x03'));
  std::int32_t kept = -1;
  std::string keptAs;
  EXPECT_FALSE(RepairDbf(f.dbf(), kept, keptAs));
  EXPECT_EQ(dbfErrorCode(), 210);
  EXPECT_EQ(readFileBytes(f.dbf()), std::string(100, '\x03'));
  EXPECT_EQ(kept, -1);
}

}  // namespace
}  // namespace vekrano::dbase::testing
