// The generic dataset's states, cursor rules, changes, errors and bookmarks, through the in-memory
// dataset.
#include <gtest/gtest.h>

#include "dbase/dataset/database_error.h"
#include "dbase/dataset/dataset.h"
#include "support/memory_dataset.h"

namespace vekrano::dbase {
namespace {

using testing::ErrorText;
using testing::MemoryDataset;

MemoryDataset::Row articleRow(std::int64_t num, const std::string& cb) { return {num, cb}; }

class DatasetTest : public ::testing::Test {
 protected:
  DatasetTest() : articles({{"num", TFieldType::ftInteger, 0}, {"cb", TFieldType::ftString, 10}}) {
    for (const char* cb : {"A", "B", "C"}) {
      articles.addRow(articleRow(static_cast<std::int64_t>(articles.Rows().size()) + 1, cb));
    }
  }

  std::string Cb() const { return articles.FieldByName("CB").AsString(); }

  std::string allCb() {
    std::string all;
    for (articles.First(); !articles.Eof(); articles.Next()) {
      all += Cb();
    }
    return all;
  }

  MemoryDataset articles;
};

TEST_F(DatasetTest, OpenPlacesTheCursorOnTheFirstRecordAndOpenTwiceDoesNothing) {
  EXPECT_EQ(articles.State(), TDataSetState::dsInactive);
  articles.Open();
  EXPECT_EQ(articles.State(), TDataSetState::dsBrowse);
  EXPECT_TRUE(articles.Active());
  EXPECT_EQ(Cb(), "A");
  EXPECT_TRUE(articles.Bof());
  EXPECT_FALSE(articles.Eof());
  articles.Next();
  articles.Open();
  EXPECT_EQ(articles.openCount(), 1);
  EXPECT_EQ(Cb(), "B");

  articles.Close();
  EXPECT_FALSE(articles.Active());
  EXPECT_EQ(articles.FieldCount(), 0);
  articles.Close();
  articles.setActive(true);
  EXPECT_EQ(articles.openCount(), 2);
  EXPECT_EQ(articles.FieldCount(), 2);
}

TEST_F(DatasetTest, NavigationSetsEofAfterTheLastAndBofBeforeTheFirst) {
  articles.Open();
  articles.Next();
  articles.Next();
  EXPECT_EQ(Cb(), "C");
  EXPECT_FALSE(articles.Eof());
  articles.Next();
  EXPECT_TRUE(articles.Eof());
  EXPECT_EQ(Cb(), "C");
  articles.Prior();
  EXPECT_EQ(Cb(), "B");
  EXPECT_FALSE(articles.Eof());
  articles.Prior();
  articles.Prior();
  EXPECT_TRUE(articles.Bof());
  EXPECT_EQ(Cb(), "A");

  articles.Last();
  EXPECT_TRUE(articles.Eof());
  EXPECT_EQ(Cb(), "C");
  EXPECT_EQ(articles.MoveBy(-5), -2);
  EXPECT_TRUE(articles.Bof());
  EXPECT_EQ(articles.MoveBy(1), 1);
  EXPECT_EQ(Cb(), "B");
  EXPECT_EQ(allCb(), "ABC");
}

TEST_F(DatasetTest, AnEmptyDatasetHasBothFlagsAndNullFields) {
  MemoryDataset empty({{"cb", TFieldType::ftString, 5}});
  EXPECT_TRUE(empty.IsEmpty());
  empty.Open();
  EXPECT_TRUE(empty.Bof());
  EXPECT_TRUE(empty.Eof());
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_TRUE(empty.Fields(0).IsNull());
  EXPECT_EQ(empty.Fields(0).AsString(), "");
  EXPECT_EQ(empty.RecordCount(), 0);
  EXPECT_EQ(empty.RecNo(), 1);
  empty.Last();
  empty.Next();
  EXPECT_TRUE(empty.Bof() && empty.Eof());
  EXPECT_TRUE(empty.GetBookmark().empty());
  char none[4] = {};
  EXPECT_FALSE(empty.copyBookmark(none, sizeof none));
  EXPECT_EQ(ErrorText([&] { empty.Delete(); }),
            "Impossible d'effectuer cette op\xE9ration sur un ensemble de donn\xE9"
            "es vide");

  // Edit on an empty dataset starts a new record.
  empty.Edit();
  EXPECT_EQ(empty.State(), TDataSetState::dsInsert);
  empty.Fields(0).setAsString("X");
  empty.Post();
  EXPECT_FALSE(empty.IsEmpty());
  EXPECT_FALSE(empty.Bof() || empty.Eof());
  EXPECT_EQ(empty.Fields(0).AsString(), "X");
}

TEST_F(DatasetTest, EditPostAndCancelChangeStatesAndKeepTheCursor) {
  articles.Open();
  articles.Next();
  articles.Edit();
  EXPECT_EQ(articles.State(), TDataSetState::dsEdit);
  articles.FieldByName("cb").setAsString("Z");
  EXPECT_TRUE(articles.modified());
  articles.Post();
  EXPECT_EQ(articles.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(Cb(), "Z");
  EXPECT_EQ(articles.RecNo(), 2);
  EXPECT_EQ(std::get<std::string>(articles.Rows()[1][1]), "Z");

  articles.Edit();
  articles.FieldByName("cb").setAsString("Y");
  EXPECT_EQ(Cb(), "Y");
  articles.Cancel();
  EXPECT_EQ(articles.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(Cb(), "Z");
  EXPECT_EQ(articles.RecNo(), 2);

  // Moving while editing posts the change.
  articles.Edit();
  articles.FieldByName("cb").setAsString("W");
  articles.Next();
  EXPECT_EQ(articles.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(allCb(), "AWC");
}

TEST_F(DatasetTest, AppendAndInsertPostOnTheNewRecordAndCancelReturns) {
  articles.Open();
  articles.Next();
  articles.Append();
  EXPECT_EQ(articles.State(), TDataSetState::dsInsert);
  EXPECT_TRUE(articles.FieldByName("cb").IsNull());
  articles.FieldByName("cb").setAsString("D");
  articles.Post();
  EXPECT_EQ(Cb(), "D");
  EXPECT_EQ(articles.RecNo(), 4);
  EXPECT_EQ(articles.RecordCount(), 4);

  articles.First();
  articles.Next();
  articles.Insert();
  articles.FieldByName("cb").setAsString("I");
  articles.Post();
  EXPECT_EQ(Cb(), "I");
  EXPECT_EQ(articles.RecNo(), 2);
  EXPECT_EQ(allCb(), "AIBCD");

  articles.First();
  articles.Next();
  articles.Next();
  articles.Append();
  articles.FieldByName("cb").setAsString("none");
  articles.Cancel();
  EXPECT_EQ(articles.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(Cb(), "B");
  EXPECT_EQ(articles.RecordCount(), 5);

  // Delete while inserting abandons the new record.
  articles.Insert();
  articles.Delete();
  EXPECT_EQ(articles.RecordCount(), 5);
  EXPECT_EQ(Cb(), "B");
}

TEST_F(DatasetTest, DeleteMovesToTheFollowingRecordOrThePreviousAtTheEnd) {
  articles.Open();
  articles.Next();
  articles.Delete();
  EXPECT_EQ(Cb(), "C");
  EXPECT_FALSE(articles.Eof());
  articles.Delete();
  EXPECT_EQ(Cb(), "A");
  EXPECT_EQ(articles.RecordCount(), 1);
  articles.Delete();
  EXPECT_TRUE(articles.IsEmpty());
  EXPECT_TRUE(articles.Bof() && articles.Eof());
  EXPECT_TRUE(articles.Rows().empty());
}

TEST_F(DatasetTest, RecNoCountsAndMovesWithinTheRecords) {
  articles.Open();
  articles.SetRecNo(3);
  EXPECT_EQ(Cb(), "C");
  EXPECT_EQ(articles.RecNo(), 3);
  articles.SetRecNo(0);
  articles.SetRecNo(9);
  EXPECT_EQ(Cb(), "C");
  EXPECT_EQ(articles.RecordCount(), 3);
}

TEST_F(DatasetTest, RefreshRereadsTheCurrentRecord) {
  articles.Open();
  articles.Next();
  articles.Refresh();
  EXPECT_EQ(Cb(), "B");
  articles.addRow(articleRow(4, "D"));
  EXPECT_EQ(Cb(), "B");
  EXPECT_EQ(allCb(), "ABCD");
}

TEST_F(DatasetTest, FieldsAreFoundWithoutRegardToCase) {
  MemoryDataset accented(
      {{"R\xC9"
        "F",
        TFieldType::ftString, 3}});
  accented.Open();
  EXPECT_EQ(accented.FindField("r\xE9"
                               "f"),
            &accented.Fields(0));
  articles.Open();
  EXPECT_EQ(&articles.FieldByName("Cb"), &articles.Fields(1));
  EXPECT_EQ(articles.FindField("NUM"), &articles.Fields(0));
  EXPECT_EQ(articles.Fields(1).Index(), 1);
  EXPECT_EQ(articles.FindField("prix"), nullptr);
  EXPECT_EQ(ErrorText([&] { articles.FieldByName("prix"); }), "Champ 'prix' non trouv\xE9");
}

TEST_F(DatasetTest, ThePlatformTextsAreRaisedInFrench) {
  EXPECT_EQ(ErrorText([&] { articles.First(); }),
            "Impossible d'effectuer cette op\xE9ration sur un ensemble de donn\xE9"
            "es ferm\xE9");
  EXPECT_EQ(ErrorText([&] { articles.Append(); }),
            "Impossible d'effectuer cette op\xE9ration sur un ensemble de donn\xE9"
            "es ferm\xE9");
  EXPECT_EQ(ErrorText([&] { (void)articles.RecordCount(); }),
            "Impossible d'effectuer cette op\xE9ration sur un ensemble de donn\xE9"
            "es ferm\xE9");

  articles.Open();
  EXPECT_EQ(ErrorText([&] { articles.FieldByName("cb").setAsString("X"); }),
            "L'ensemble de donn\xE9"
            "es n'est pas en mode Edition ou Insertion");
  EXPECT_EQ(ErrorText([&] { articles.FieldByName("cb").Clear(); }),
            "L'ensemble de donn\xE9"
            "es n'est pas en mode Edition ou Insertion");
  EXPECT_EQ(Cb(), "A");

  TField& cb = articles.FieldByName("cb");
  cb.setReadOnly(true);
  cb.setDisplayLabel("Code barre");
  articles.Edit();
  EXPECT_EQ(ErrorText([&] { cb.setAsString("X"); }), "Impossible de modifier le champ 'Code barre'");
  articles.Cancel();
  EXPECT_EQ(Cb(), "A");

  articles.setReadOnly(true);
  const std::string readOnly =
      "Impossible de modifier un ensemble de donn\xE9"
      "es en lecture seule";
  EXPECT_FALSE(articles.CanModify());
  EXPECT_EQ(ErrorText([&] { articles.Edit(); }), readOnly);
  EXPECT_EQ(ErrorText([&] { articles.Append(); }), readOnly);
  EXPECT_EQ(ErrorText([&] { articles.Insert(); }), readOnly);
  EXPECT_EQ(ErrorText([&] { articles.Delete(); }), readOnly);
  EXPECT_EQ(articles.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(articles.RecordCount(), 3);
}

TEST_F(DatasetTest, BookmarksReturnToTheirRecordAndAreOrdered) {
  articles.Open();
  articles.Next();
  TBookmark b = articles.GetBookmark();
  EXPECT_EQ(b.size(), 4u);
  // The copy without allocation holds the same bytes, and only at the bookmark's size.
  char copied[5] = {9, 9, 9, 9, 9};
  EXPECT_FALSE(articles.copyBookmark(copied, 5));
  EXPECT_EQ(copied[0], 9);
  EXPECT_TRUE(articles.copyBookmark(copied, 4));
  EXPECT_EQ(TBookmark(copied, copied + 4), b);
  articles.Last();
  TBookmark c = articles.GetBookmark();
  articles.First();
  articles.Insert();
  articles.FieldByName("cb").setAsString("0");
  articles.Post();
  articles.GotoBookmark(b);
  EXPECT_EQ(Cb(), "B");
  EXPECT_FALSE(articles.Eof());
  EXPECT_TRUE(articles.BookmarkValid(b));
  EXPECT_EQ(articles.CompareBookmarks(b, c), -1);
  EXPECT_EQ(articles.CompareBookmarks(c, b), 1);
  EXPECT_EQ(articles.CompareBookmarks(b, articles.GetBookmark()), 0);
  EXPECT_EQ(articles.CompareBookmarks(TBookmark(), b), -1);
  EXPECT_EQ(articles.CompareBookmarks(b, TBookmark()), 1);
  EXPECT_EQ(articles.CompareBookmarks(TBookmark(), TBookmark()), 0);

  articles.Delete();
  EXPECT_FALSE(articles.BookmarkValid(b));
  EXPECT_TRUE(articles.BookmarkValid(c));
  articles.FreeBookmark(c);
  EXPECT_TRUE(c.empty());
  EXPECT_FALSE(articles.BookmarkValid(c));

  // A bookmark of a deleted record leaves the cursor on the last record with Eof set.
  articles.First();
  articles.GotoBookmark(b);
  EXPECT_EQ(Cb(), "C");
  EXPECT_TRUE(articles.Eof());

  articles.Close();
  EXPECT_FALSE(articles.BookmarkValid(b));
}

TEST_F(DatasetTest, LocateFindsByValueWithTheOptionsAndStaysWhenNothingMatches) {
  articles.addRow(articleRow(4, "Caf\xE9"));
  articles.addRow(articleRow(5, "cafe"));
  articles.Open();
  articles.Next();
  EXPECT_FALSE(articles.Locate("cb", {std::string("caf")}, {}));
  EXPECT_EQ(Cb(), "B");
  EXPECT_TRUE(articles.Locate("cb", {std::string("caf")}, {TLocateOption::loPartialKey}));
  EXPECT_EQ(Cb(), "cafe");
  EXPECT_TRUE(articles.Locate("CB", {std::string("CAF\xC9")}, {TLocateOption::loCaseInsensitive}));
  EXPECT_EQ(articles.RecNo(), 4);
  EXPECT_TRUE(
      articles.Locate("cb", {std::string("c")}, {TLocateOption::loCaseInsensitive, TLocateOption::loPartialKey}));
  EXPECT_EQ(Cb(), "C");
  EXPECT_FALSE(articles.Locate("cb", {std::string("C ")}, {TLocateOption::loPartialKey}));

  EXPECT_TRUE(articles.Locate("num;cb", {std::int64_t{5}, std::string("cafe")}, {}));
  EXPECT_FALSE(articles.Locate("num; cb", {std::int64_t{4}, std::string("cafe")}, {}));
  EXPECT_EQ(articles.RecNo(), 5);
  EXPECT_TRUE(articles.Locate("num", {std::string("2")}, {}));
  EXPECT_EQ(Cb(), "B");
  EXPECT_EQ(ErrorText([&] { articles.Locate("prix", {1.0}, {}); }), "Champ 'prix' non trouv\xE9");

  EXPECT_EQ(articles.Lookup("num", {std::int64_t{3}}, "cb;num"),
            (std::vector<Variant>{std::string("C"), std::int64_t{3}}));
  EXPECT_EQ(Cb(), "B");
  EXPECT_TRUE(articles.Lookup("num", {std::int64_t{9}}, "cb").empty());
  EXPECT_EQ(Cb(), "B");
}

// A store that opens but cannot describe its columns.
class UndescribedDataset : public MemoryDataset {
 public:
  UndescribedDataset() : MemoryDataset({{"cb", TFieldType::ftString, 5}}) {}
  bool storeOpen() const { return IsCursorOpen(); }

 protected:
  std::vector<TFieldDef> InternalInitFieldDefs() override { throw EDatabaseError("no columns"); }
};

TEST(DatasetOpenTest, AFailedOpenLeavesTheDatasetClosedAndRaisesTheStoresError) {
  UndescribedDataset dataset;
  EXPECT_EQ(ErrorText([&] { dataset.Open(); }), "no columns");
  EXPECT_FALSE(dataset.Active());
  EXPECT_FALSE(dataset.storeOpen());
  EXPECT_EQ(dataset.FieldCount(), 0);
}

TEST(DatasetNullTest, NullKeysMatchNullFields) {
  MemoryDataset rows({{"n", TFieldType::ftFloat, 0}, {"s", TFieldType::ftString, 4}});
  rows.addRow({1.5, std::string("a")});
  rows.addRow({std::monostate{}, std::string("b")});
  rows.Open();
  EXPECT_TRUE(rows.Locate("n", {Variant{}}, {}));
  EXPECT_EQ(rows.Fields(1).AsString(), "b");
  EXPECT_TRUE(rows.Locate("n", {1.5}, {}));
  EXPECT_EQ(rows.Fields(1).AsString(), "a");
}

}  // namespace
}  // namespace vekrano::dbase
