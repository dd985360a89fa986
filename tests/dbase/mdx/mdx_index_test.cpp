#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "common/code_page.h"
#include "dbase/dbase_error.h"
#include "dbase/mdx/mdx_article.h"
#include "dbase/mdx/mdx_checker.h"
#include "support/temp_dir.h"

namespace vekrano::testing {
namespace {

using namespace dbase;
using vekrano::testing::writeFileBytes;

unsigned u32At(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
         static_cast<std::uint8_t>(b[at + 2]) << 16 | static_cast<unsigned>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}
unsigned u16At(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8;
}
std::string blockKey(const std::string& file, unsigned block, unsigned item) {
  return file.substr(block * 512 + 8 + item * 56 + 4, 50);
}

// Every entry of the checked CB tag equals what the table's records give.
void expectIndexMatchesTable(MdxArticle& article) {
  MdxCheck check = checkMdxFile(article.mdxName());
  ASSERT_EQ(check.fault, "");
  std::multiset<std::pair<std::string, std::uint32_t>> fromIndex(check.tags["CB"].begin(), check.tags["CB"].end());
  std::multiset<std::pair<std::string, std::uint32_t>> fromTable;
  for (int n = 1; n <= article.table().RecordCount(); ++n) {
    article.table().GetDbfRecord(n);
    fromTable.emplace(common::charToOem(article.table().getString(2)), n);
  }
  EXPECT_EQ(fromIndex, fromTable);
}

TEST(MdxIndex, EmptyArticleIndexHasItsFourBlocks) {
  TempDir dir;
  MdxArticle article(dir.path().string());
  article.build();
  std::string file = readFileBytes(article.mdxName());
  ASSERT_EQ(file.size(), 4096u);
  EXPECT_EQ(file[0], 2);
  EXPECT_EQ(file.substr(4, 16), std::string("article") + std::string(9, '\0'));
  EXPECT_EQ(u16At(file, 20), 2u);
  EXPECT_EQ(u16At(file, 22), 1024u);
  EXPECT_EQ(file[28], 1);  // tag count
  EXPECT_EQ(u32At(file, 32), 8u);  // block counter: the file's size in units
  EXPECT_EQ(u32At(file, 544), 6u);  // entry 1 -> tag header block
  EXPECT_EQ(file.substr(548, 11), std::string("CB") + std::string(9, '\0'));
  EXPECT_EQ(file[564], 'C');
  EXPECT_EQ(file[512 + 17], 1);  // entry 0: tag 1 is the name tree's root
  EXPECT_EQ(file.substr(2048, 1024), std::string(1024, '\0'));  // the empty root leaf at block 4
  std::size_t tag = 6 * 512;
  EXPECT_EQ(u32At(file, tag), 4u);
  EXPECT_EQ(static_cast<unsigned char>(file[tag + 8]), 0x10u);
  EXPECT_EQ(file[tag + 9], 'C');
  EXPECT_EQ(u16At(file, tag + 12), 50u);
  EXPECT_EQ(u16At(file, tag + 14), 18u);
  EXPECT_EQ(u16At(file, tag + 18), 56u);
  EXPECT_EQ(file[tag + 23], 0);
  EXPECT_EQ(file.substr(tag + 24, 3), std::string("cb\0", 3));
  EXPECT_EQ(checkMdxFile(article.mdxName()).fault, "");
  EXPECT_FALSE(article.index().firstKey());
  EXPECT_TRUE(article.index().atEnd());
}

// Other dBase programs take the counter as the next free block: it must never fall inside the file.
TEST(MdxIndex, BlockCounterIsTheFileSizeInUnitsAfterBuildSplitsAndRebuild) {
  TempDir dir;
  MdxArticle article(dir.path().string());
  const auto counterMatchesSize = [&] {
    std::string file = readFileBytes(article.mdxName());
    return u32At(file, 32) == file.size() / 512;
  };
  for (int i = 0; i < 30; ++i) article.put("B" + std::to_string(1000 + i * 3));
  article.build();
  EXPECT_TRUE(counterMatchesSize()) << "after build";
  std::size_t sizeBefore = readFileBytes(article.mdxName()).size();
  for (int i = 0; i < 200; ++i) {
    article.append("A" + std::to_string(5000 - i * 7));
    ASSERT_TRUE(counterMatchesSize()) << "after append " << i;
  }
  EXPECT_GT(readFileBytes(article.mdxName()).size(), sizeBefore + 10 * 1024) << "leaves and branches split";
  article.replace(3, "ZZZ", "moved");
  EXPECT_TRUE(counterMatchesSize()) << "after a replace";
  article.build();
  EXPECT_TRUE(counterMatchesSize()) << "after rebuild";
  EXPECT_EQ(checkMdxFile(article.mdxName()).fault, "");
}

TEST(MdxIndex, FortyKeysGiveLeavesOf18And18And4UnderOneRoot) {
  TempDir dir;
  MdxArticle article(dir.path().string());
  for (int i = 0; i < 40; ++i) article.put("K" + std::to_string(100 + (i * 7) % 40));
  article.build();
  std::string file = readFileBytes(article.mdxName());
  EXPECT_EQ(u32At(file, 4 * 512), 18u);
  EXPECT_EQ(u32At(file, 6 * 512), 18u);
  EXPECT_EQ(u32At(file, 8 * 512), 4u);
  std::size_t root = 10 * 512;
  EXPECT_EQ(u32At(file, 12 * 512), 10u);  // tag header: root block
  EXPECT_EQ(u32At(file, root), 2u);
  EXPECT_EQ(u32At(file, root + 8), 4u);
  EXPECT_EQ(blockKey(file, 10, 0), cbKey("K117"));
  EXPECT_EQ(u32At(file, root + 8 + 56), 6u);
  EXPECT_EQ(blockKey(file, 10, 1), cbKey("K135"));
  EXPECT_EQ(u32At(file, root + 8 + 112), 8u);  // right-most child
  EXPECT_EQ(u32At(file, 32), 14u);  // root at 10, tag header at 12: the file ends at unit 14
  expectIndexMatchesTable(article);
  auto order = article.walk();
  ASSERT_EQ(order.size(), 40u);
  EXPECT_EQ(order.front().first, "K100");
  EXPECT_EQ(order.back().first, "K139");
}

TEST(MdxIndex, BranchesSharingOneLeafAreRefusedInsteadOfWalkedAgain) {
  TempDir dir;
  MdxArticle article(dir.path().string());
  for (int i = 0; i < 40; ++i) article.put("K" + std::to_string(100 + i));
  article.build();
  article.index().Close();
  // The root (block 10) names leaves 4, 6 and 8; damage it so that all three name leaf 4.
  std::string file = readFileBytes(article.mdxName());
  const std::size_t root = 10 * 512;
  for (std::size_t pointer : {root + 8, root + 8 + 56, root + 8 + 112}) {
    file.replace(pointer, 4, std::string("\x04\0\0\0", 4));
  }
  writeFileBytes(article.mdxName(), file);
  article.open();
  int steps = 0;
  try {
    for (bool on = article.index().firstKey(); on; on = article.index().nextKey()) ++steps;
  } catch (const EDorevError&) {
  }
  EXPECT_EQ(dbfErrorCode(), 222);
  EXPECT_EQ(steps, 18);  // the leaf's own keys once, never again
  // Nor are the record numbers read from the leaves: the leaf is refused when reached again.
  std::vector<std::int32_t> records;
  clearDbfError();
  try {
    EXPECT_FALSE(article.index().recordsInKeyOrder(records));
  } catch (const EDorevError&) {
  }
  EXPECT_EQ(dbfErrorCode(), 222);
}

TEST(MdxIndex, NineteenthKeySplitsTheRootLeaf) {
  TempDir dir;
  MdxArticle article(dir.path().string());
  for (int i = 0; i < 18; ++i) article.put("B" + std::to_string(10 + 2 * i));  // B10 .. B44
  article.build();
  article.append("B21");
  std::string file = readFileBytes(article.mdxName());
  ASSERT_EQ(file.size(), 12u * 512);
  EXPECT_EQ(u32At(file, 6 * 512), 10u);  // the tag header now names the new root
  EXPECT_EQ(u32At(file, 4 * 512), 10u);  // old leaf: its 9 lower keys and the new one
  EXPECT_EQ(u32At(file, 8 * 512), 9u);  // new leaf at the end of the file: the upper 9
  EXPECT_EQ(blockKey(file, 8, 0), cbKey("B28"));
  EXPECT_EQ(u32At(file, 10 * 512), 1u);
  EXPECT_EQ(u32At(file, 10 * 512 + 8), 4u);
  EXPECT_EQ(blockKey(file, 10, 0), cbKey("B26"));
  EXPECT_EQ(u32At(file, 10 * 512 + 8 + 56), 8u);
  expectIndexMatchesTable(article);
}

TEST(MdxIndex, EqualKeysFollowRecordOrderAndALaterOneGoesFirst) {
  TempDir dir;
  MdxArticle article(dir.path().string());
  article.put("SAME");
  article.put("OTHER");
  article.put("SAME");
  article.put("SAME");
  article.build();
  article.append("SAME");
  std::vector<std::pair<std::string, int>> expected = {
      {"OTHER", 2}, {"SAME", 5}, {"SAME", 1}, {"SAME", 3}, {"SAME", 4}};
  EXPECT_EQ(article.walk(), expected);
  expectIndexMatchesTable(article);
}

TEST(MdxIndex, ChangingCbMovesTheEntryAndChangingLib1WritesNothing) {
  TempDir dir;
  MdxArticle article(dir.path().string());
  for (const char* cb : {"A1", "C1", "E1"}) article.put(cb);
  article.build();
  std::string before = readFileBytes(article.mdxName());
  article.replace(2, "C1", "new text");
  EXPECT_EQ(readFileBytes(article.mdxName()), before);
  article.replace(1, "Z9", "");
  std::vector<std::pair<std::string, int>> expected = {{"C1", 2}, {"E1", 3}, {"Z9", 1}};
  EXPECT_EQ(article.walk(), expected);
  expectIndexMatchesTable(article);
}

TEST(MdxIndex, DeletedRecordsKeepTheirKeysAndHiddenOnesArePassedOver) {
  TempDir dir;
  {
    MdxArticle article(dir.path().string());
    for (const char* cb : {"AAA", "ABC", "ABD"}) article.put(cb);
    article.build();
    std::string before = readFileBytes(article.mdxName());
    article.table().GetDbfRecord(2);
    article.table().DeleteRec();
    EXPECT_EQ(readFileBytes(article.mdxName()), before);
    article.index().Close();
    article.table().CloseDbf();
  }
  MdxArticle hidden(dir.path().string(), false, true);
  hidden.open();
  expectIndexMatchesTable(hidden);
  EXPECT_TRUE(hidden.index().Find("AB"));
  EXPECT_EQ(hidden.table().CurrentRecord(), 3);
}

TEST(MdxIndex, FindTakesAPrefixAndFindExactTheWholeKey) {
  TempDir dir;
  MdxArticle article(dir.path().string());
  for (const char* cb : {"BCD", "AAA", "ABC"}) article.put(cb);
  article.build();
  EXPECT_TRUE(article.index().Find("AB"));
  EXPECT_EQ(article.table().CurrentRecord(), 3);
  EXPECT_FALSE(article.index().atEnd());
  EXPECT_FALSE(article.index().FindExact("AB"));
  EXPECT_TRUE(article.index().atEnd());
  EXPECT_EQ(article.table().CurrentRecord(), 4);  // record count + 1
  EXPECT_TRUE(article.index().FindExact("BCD"));
  EXPECT_EQ(article.table().CurrentRecord(), 1);
  EXPECT_FALSE(article.index().Find("ZZ"));
  article.index().Set_Order_To(0);
  EXPECT_FALSE(article.index().Find("AB"));
  EXPECT_EQ(dbfErrorCode(), 254);
  EXPECT_EQ(dbfErrorText(), "Cannot use Find() with index order 0 (natural order) [Find]");
}

TEST(MdxIndex, OrderChangesAreCheckedAndRaised) {
  TempDir dir;
  MdxArticle article(dir.path().string());
  article.put("X");
  article.build();
  article.index().SetOrderToTag("cb");
  EXPECT_EQ(article.index().CurrentOrder(), 1);
  try {
    article.index().Set_Order_To(2);
    FAIL();
  } catch (const EDorevError& e) {
    EXPECT_EQ(e.code(), 220);
    EXPECT_EQ(std::string(e.what()),
              "Error # 220 (Invalid parameter)\r\nInvalid Index Order Specified: SET_ORDER_TO. "
              "[Set_Order_To(2)] (DBF=" +
                  article.dbfName() + ")");
  }
  EXPECT_THROW(article.index().SetOrderToTag("NOPE"), EDorevError);
  EXPECT_EQ(dbfErrorText(),
            "Invalid Index Order Specified: SET_ORDER_TO. [SetOrderToTag(NOPE)] (DBF=" + article.dbfName() + ")");
  article.index().Close();
  try {
    article.index().Set_Order_To(1);
    FAIL();
  } catch (const EDorevError& e) {
    EXPECT_EQ(e.code(), 221);
    EXPECT_EQ(dbfErrorText(), "Index not open.. (DBF=" + article.dbfName() + ") [Set_Order_To(1)]");
  }
  // The search names the closed index with a single dot.
  try {
    article.index().Find("AB");
    FAIL();
  } catch (const EDorevError& e) {
    EXPECT_EQ(e.code(), 221);
    EXPECT_EQ(dbfErrorText(), "Index not open. (DBF=" + article.dbfName() + ") [Find]");
  }
}

TEST(MdxIndex, OpeningAShortOrMissingFileFails) {
  TempDir dir;
  MdxArticle article(dir.path().string());
  EXPECT_FALSE(article.index().SetIndexTo(article.mdxName()));
  EXPECT_EQ(dbfErrorCode(), 2);
  EXPECT_EQ(dbfErrorText(), "SetIndexTo(" + article.mdxName() + ")");
  writeFileBytes(article.mdxName(), std::string(3000, '\0'));
  try {
    article.index().SetIndexTo(article.mdxName());
    FAIL();
  } catch (const EDorevError& e) {
    EXPECT_EQ(e.code(), 222);
    EXPECT_EQ(std::string(e.what()),
              "Error # 222 (Corrupted index file)\r\nUnable to open index: " + article.mdxName());
  }
  EXPECT_FALSE(article.index().isOpen());
}

TEST(MdxIndex, SortedRunsMergedFromTheWorkFileGiveTheSameIndex) {
  TempDir dir;
  MdxArticle article(dir.path().string());
  for (int i = 0; i < 500; ++i) article.put("R" + std::to_string((i * 37) % 101));  // many equal keys
  article.build();
  std::string inMemory = readFileBytes(article.mdxName());
  article.build(7);
  EXPECT_EQ(readFileBytes(article.mdxName()), inMemory);
  expectIndexMatchesTable(article);
}

TEST(MdxIndex, BuildingLeavesTheLastRecordCurrentAndDecoded) {
  TempDir dir;
  MdxArticle article(dir.path().string());
  for (int i = 1; i <= 300; ++i) article.put("C" + std::to_string(i), "lib " + std::to_string(i));
  ASSERT_TRUE(article.table().GetDbfRecord(7));
  article.build();
  EXPECT_EQ(article.table().CurrentRecord(), 300);
  EXPECT_EQ(article.table().getString(3).substr(0, 7), "lib 300");
  expectIndexMatchesTable(article);
}

TEST(MdxIndex, DescendingUniqueAndConditionalTags) {
  TempDir dir;
  MdxArticle article(dir.path().string());
  for (const char* cb : {"B", "A", "C", "A", "D"}) article.put(cb, "lib");
  article.build(
      {{"DESC", true, false, "cb", ""}, {"UNIQ", false, true, "cb", ""}, {"SOME", false, false, "cb", "cb > \"BZ\""}});
  article.append("A");
  MdxCheck check = checkMdxFile(article.mdxName());
  ASSERT_EQ(check.fault, "");
  auto records = [&](const std::string& tag) {
    std::vector<std::uint32_t> r;
    for (const auto& e : check.tags[tag]) r.push_back(e.second);
    return r;
  };
  EXPECT_EQ(records("DESC"), (std::vector<std::uint32_t>{5, 3, 1, 6, 2, 4}));
  EXPECT_EQ(records("UNIQ"), (std::vector<std::uint32_t>{2, 1, 3, 5}));
  EXPECT_EQ(records("SOME"), (std::vector<std::uint32_t>{3, 5}));
  article.index().SetOrderToTag("DESC");
  EXPECT_TRUE(article.index().lastKey());
  EXPECT_EQ(article.table().CurrentRecord(), 4);
  EXPECT_TRUE(article.index().priorKey());
  EXPECT_EQ(article.table().CurrentRecord(), 2);
}

}  // namespace
}  // namespace vekrano::testing
