// The table dataset on the article table: activation, order, numbering, field rules, changes,
// Locate and the component's properties.
#include <gtest/gtest.h>

#include "common/format_settings.h"
#include "dbase/dataset/database_error.h"
#include "dbase/table/table_work_areas.h"
#include "dbase/table/table_test_support.h"

namespace vekrano::dbase::testing {
namespace {

using vekrano::testing::readFileBytes;

TEST(TableDatasetTest, ActivationInAnEmptyFolderCreatesTheTableAndIndexAndLaterCyclesLeaveThemAlone) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  EXPECT_TRUE(table.Eof());
  EXPECT_TRUE(table.Bof());
  EXPECT_TRUE(table.IsEmpty());
  EXPECT_EQ(table.RecordCount(), 0);
  EXPECT_TRUE(table.indexActive());
  EXPECT_FALSE(table.IsSequenced());
  ASSERT_EQ(table.FieldCount(), 6);
  EXPECT_EQ(table.Fields(0).FieldName(), "NUM");
  EXPECT_EQ(table.Fields(0).DataType(), TFieldType::ftInteger);
  EXPECT_EQ(table.Fields(1).FieldName(), "CB");
  EXPECT_EQ(table.Fields(1).Size(), 50);
  EXPECT_EQ(table.Fields(4).FieldName(), "QUANTITE");
  EXPECT_EQ(table.Fields(4).Size(), 3);
  table.Close();

  const std::string afterFirst = readFileBytes(f.dbf());
  ASSERT_EQ(afterFirst.size(), 226u);
  EXPECT_EQ(afterFirst[28], 1);
  const std::string mdx = readFileBytes(f.mdx());
  ASSERT_GT(mdx.size(), 2048u);
  EXPECT_NE(mdx.find("CB"), std::string::npos);

  for (int cycle = 0; cycle < 2; ++cycle) {
    table.Open();
    table.Close();
  }
  EXPECT_EQ(readFileBytes(f.dbf()), afterFirst);
  EXPECT_EQ(readFileBytes(f.mdx()), mdx);
}

TEST(TableDatasetTest, RecordsFollowTheIndexOrderAndRecNoIsThePhysicalNumber) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  appendArticle(table, 1, "C");
  EXPECT_EQ(table.FieldByName("cb").AsString(), "C");
  appendArticle(table, 2, "A");
  appendArticle(table, 3, "B");
  EXPECT_EQ(table.FieldByName("cb").AsString(), "B");  // the cursor is on the posted record
  EXPECT_EQ(table.RecNo(), 3);

  std::vector<int> numbers;
  std::vector<std::string> seen;
  for (table.First(); !table.Eof(); table.Next()) {
    seen.push_back(table.FieldByName("cb").AsString());
    numbers.push_back(table.RecNo());
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(numbers, (std::vector<int>{2, 3, 1}));
  EXPECT_EQ(table.FieldByName("cb").AsString(), "C");  // Next from the last record stays on it

  table.Last();
  EXPECT_EQ(table.FieldByName("cb").AsString(), "C");
  table.Prior();
  EXPECT_EQ(table.FieldByName("cb").AsString(), "B");
  EXPECT_EQ(table.MoveBy(-5), -1);
  EXPECT_TRUE(table.Bof());
  EXPECT_EQ(table.FieldByName("cb").AsString(), "A");

  table.SetRecNo(2);
  EXPECT_EQ(table.FieldByName("cb").AsString(), "A");
  EXPECT_FALSE(table.Eof());
  table.Next();
  EXPECT_EQ(table.FieldByName("cb").AsString(), "B");  // and the order goes on from there
  for (int outside : {0, 4, 1000}) {
    table.SetRecNo(2);
    table.SetRecNo(outside);
    EXPECT_TRUE(table.Eof()) << outside;
    EXPECT_EQ(table.FieldByName("cb").AsString(), "C") << outside;
  }

  // A changed key moves the record to its new place and the cursor with it.
  table.First();
  table.Edit();
  table.FieldByName("cb").setAsString("D");
  table.Post();
  EXPECT_EQ(table.FieldByName("cb").AsString(), "D");
  EXPECT_EQ(table.RecNo(), 2);
  table.Next();
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"B", "C", "D"}));
  table.Close();

  table.Open();
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"B", "C", "D"}));
  EXPECT_EQ(table.RecordCount(), 3);
}

TEST(TableDatasetTest, DeletedRecordsAreHiddenButCountedAndCanBeShownAgain) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  appendArticle(table, 1, "ONLY");
  table.Delete();
  EXPECT_TRUE(table.IsEmpty());
  EXPECT_TRUE(table.Eof());
  EXPECT_TRUE(table.Bof());
  EXPECT_EQ(table.RecordCount(), 1);
  EXPECT_TRUE(table.FieldByName("cb").IsNull());

  appendArticle(table, 2, "A");
  appendArticle(table, 3, "B");
  appendArticle(table, 4, "C");
  table.First();
  table.Next();
  table.Delete();  // B: the cursor goes to the record that followed
  EXPECT_EQ(table.FieldByName("cb").AsString(), "C");
  table.Delete();  // C was the last: the cursor goes back
  EXPECT_EQ(table.FieldByName("cb").AsString(), "A");
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A"}));

  table.setHideDeletedRecs(false);
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A", "B", "C", "ONLY"}));
  table.First();
  table.Next();
  table.Restore();
  table.setHideDeletedRecs(true);
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A", "B"}));

  // The current record becoming hidden moves the cursor off it.
  table.setHideDeletedRecs(false);
  table.SetRecNo(4);
  EXPECT_EQ(table.FieldByName("cb").AsString(), "C");
  table.setHideDeletedRecs(true);
  EXPECT_NE(table.FieldByName("cb").AsString(), "C");
}

TEST(TableDatasetTest, FieldsReadBlanksAsEmptyValuesAndAreNeverNullOnARecord) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  EXPECT_TRUE(table.FieldByName("num").IsNull());  // no current record
  table.Append();
  table.FieldByName("cb").setAsString("X1   ");
  // Long runs of blanks and control characters pad it too.
  table.FieldByName("lib1").setAsString("  inner  blanks" + std::string(17, ' ') + "\x01\t" + std::string(9, ' '));
  table.FieldByName("lib2").setAsString(std::string(150, 'z'));
  table.Post();
  table.Close();
  table.Open();
  EXPECT_EQ(table.FieldByName("cb").AsString(), "X1");
  EXPECT_EQ(table.FieldByName("lib1").AsString(), "  inner  blanks");
  EXPECT_EQ(table.FieldByName("lib2").AsString(), std::string(100, 'z'));
  EXPECT_EQ(table.FieldByName("num").AsInteger(), 0);
  EXPECT_EQ(table.FieldByName("quantite").AsString(), "0");
  EXPECT_EQ(table.FieldByName("topp").AsString(), "");
  for (int i = 0; i < table.FieldCount(); ++i) EXPECT_FALSE(table.Fields(i).IsNull()) << i;

  table.Edit();
  table.FieldByName("quantite").Clear();
  table.FieldByName("cb").Clear();
  table.Post();
  EXPECT_EQ(table.FieldByName("cb").AsString(), "");
  EXPECT_FALSE(table.FieldByName("cb").IsNull());
  EXPECT_THROW(table.FieldByName("cb").setAsString("no"), EDatabaseError);  // browsing
}

TEST(TableDatasetTest, LocateSearchesTheIndexWhateverTheFieldName) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  appendArticle(table, 1, "B200", "first");
  appendArticle(table, 2, "A100", "B200");
  appendArticle(table, 3, "C300", "third");
  table.First();

  EXPECT_FALSE(table.Locate("cb", {std::string("ZZZ")}, {}));
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.FieldByName("cb").AsString(), "C300");

  EXPECT_TRUE(table.Locate("lib1", {std::string("B200")}, {}));
  EXPECT_EQ(table.FieldByName("cb").AsString(), "B200");
  EXPECT_EQ(table.RecNo(), 1);
  EXPECT_FALSE(table.Locate("cb", {std::string("A1")}, {}));
  EXPECT_TRUE(table.Locate("cb", {std::string("A1")}, {TLocateOption::loPartialKey}));
  EXPECT_EQ(table.FieldByName("cb").AsString(), "A100");

  table.First();
  const auto values = table.Lookup("cb", {std::string("C300")}, "lib1;num");
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(std::get<std::string>(values[0]), "third");
  EXPECT_EQ(std::get<std::int64_t>(values[1]), 3);
  EXPECT_EQ(table.FieldByName("cb").AsString(), "A100");  // back where it started
}

TEST(TableDatasetTest, WithoutAnIndexLocateScansRecordsComparingFieldTexts) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.IndexList.clear();
  table.Open();
  EXPECT_FALSE(table.indexActive());
  EXPECT_TRUE(table.IsSequenced());
  appendArticle(table, 7, "Zebra", "Stripes");
  appendArticle(table, 8, "apple", "Red");
  appendArticle(table, 9, "Apple", "Green");
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"Zebra", "apple", "Apple"}));

  table.First();
  EXPECT_TRUE(table.Locate("cb", {std::string("Apple")}, {}));
  EXPECT_EQ(table.RecNo(), 3);
  EXPECT_TRUE(table.Locate("cb", {std::string("APPLE")}, {TLocateOption::loCaseInsensitive}));
  EXPECT_EQ(table.RecNo(), 2);
  EXPECT_TRUE(table.Locate("cb;lib1", {std::string("apple"), std::string("Gr")},
                           {TLocateOption::loCaseInsensitive, TLocateOption::loPartialKey}));
  EXPECT_EQ(table.RecNo(), 3);
  EXPECT_TRUE(table.Locate("num", {std::int64_t{7}}, {}));
  EXPECT_EQ(table.FieldByName("cb").AsString(), "Zebra");
  EXPECT_FALSE(table.Locate("cb", {std::string("App")}, {}));
  EXPECT_EQ(table.FieldByName("cb").AsString(), "Zebra");  // stays on the record it was on
  EXPECT_FALSE(table.Eof());
}

TEST(TableDatasetTest, BookmarksAreRecordNumbers) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  appendArticle(table, 1, "B");
  appendArticle(table, 2, "A");
  table.First();
  const TBookmark a = table.GetBookmark();
  table.Next();
  const TBookmark b = table.GetBookmark();
  ASSERT_EQ(a.size(), 4u);
  EXPECT_EQ(table.CompareBookmarks(a, b), 1);  // A is record 2, B record 1
  EXPECT_EQ(table.CompareBookmarks(TBookmark(), a), -1);
  EXPECT_EQ(table.CompareBookmarks(TBookmark(), TBookmark()), 0);
  table.GotoBookmark(a);
  EXPECT_EQ(table.FieldByName("cb").AsString(), "A");
  EXPECT_TRUE(table.BookmarkValid(b));
  TBookmark beyond(4, 0);
  beyond[0] = 9;
  EXPECT_FALSE(table.BookmarkValid(beyond));
  table.Delete();
  EXPECT_TRUE(table.BookmarkValid(a));  // a deleted record still counts
}

TEST(TableDatasetTest, EditReReadsTheRecordAndCancelRestoresIt) {
  TableFolder f;
  TTzDbf table("tarticle");
  TTzDbf other("second");
  configureArticleTable(table, f.folder());
  configureArticleTable(other, f.folder());
  table.Open();
  appendArticle(table, 1, "A", "old");
  other.Open();
  other.Edit();
  other.FieldByName("lib1").setAsString("changed elsewhere");
  other.Post();
  EXPECT_EQ(table.FieldByName("lib1").AsString(), "old");
  table.Edit();
  EXPECT_EQ(table.FieldByName("lib1").AsString(), "changed elsewhere");
  table.FieldByName("lib1").setAsString("mine");
  table.Cancel();
  EXPECT_EQ(table.FieldByName("lib1").AsString(), "changed elsewhere");
  table.Refresh();
  EXPECT_EQ(table.FieldByName("lib1").AsString(), "changed elsewhere");
}

TEST(TableDatasetTest, ChangingTheFileNameOrExclusiveReopensTheTable) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  appendArticle(table, 1, "FIRST");
  table.setDbfFileName("  " + f.dir.file("other") + "  ");
  EXPECT_EQ(table.DbfFileName(), f.dir.file("other.DBF"));
  EXPECT_TRUE(table.Active());
  EXPECT_TRUE(table.IsEmpty());
  EXPECT_TRUE(std::filesystem::exists(f.dir.file("other.DBF")));
  EXPECT_TRUE(std::filesystem::exists(f.dir.file("other.MDX")));

  table.setDbfFileName(f.dbf());
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"FIRST"}));
  table.setExclusive(true);
  EXPECT_TRUE(table.Active());
  TTzDbf other("second");
  configureArticleTable(other, f.folder());
  try {
    other.Open();
    FAIL() << "an exclusive table was opened again";
  } catch (const common::Exception& error) {
    EXPECT_EQ(std::string(error.what()).rfind("Dataset error: Error # 32 (File sharing violation)\r\n", 0), 0u)
        << error.what();
  }
  table.setExclusive(false);
  other.Open();
  EXPECT_EQ(Barcodes(other), (std::vector<std::string>{"FIRST"}));
}

TEST(TableDatasetTest, CheckRoutineTexts) {
  TableFolder f;
  TTzDbf table("tarticle");
  try {
    table.Open();
    FAIL();
  } catch (const common::Exception& error) {
    EXPECT_STREQ(error.what(), "Missing DbfFilename property");
  }
  for (int code : {1401, 1402, 1403}) {
    try {
      tzCheck(code);
      FAIL();
    } catch (const common::Exception& error) {
      EXPECT_EQ(std::string(error.what()), "Dataset error: " + std::to_string(code));
    }
  }
  EXPECT_NO_THROW(tzCheck(0));

  // A table that cannot be created: a box, then the open fails with code 2.
  table.setDbfFileName(f.dir.file("missing/folder/article.dbf"));
  try {
    table.Open();
    FAIL();
  } catch (const common::Exception& error) {
    EXPECT_EQ(std::string(error.what()), "Dataset error: Error # 2 (File not found)\r\nFailure to open " +
                                             f.dir.file("missing/folder/article.dbf") + " [USE/OpenDbf]");
  }
  EXPECT_EQ(f.shownTexts().back(), "Could not create \"" + f.dir.file("missing/folder/article.dbf") + "\"");
  EXPECT_FALSE(table.Active());

  try {
    table.Restore();
    FAIL();
  } catch (const EDatabaseError&) {
  }
}

TEST(TableDatasetTest, ThirtyThreeWorkAreasAtMost) {
  TableFolder f;
  std::vector<std::unique_ptr<TTzDbf>> tables;
  for (int i = 0; i < kPublicWorkAreas; ++i) {
    tables.push_back(std::make_unique<TTzDbf>("t" + std::to_string(i)));
    configureArticleTable(*tables.back(), f.folder());
    tables.back()->Open();
  }
  TTzDbf extra("extra");
  configureArticleTable(extra, f.folder());
  try {
    extra.Open();
    FAIL();
  } catch (const common::Exception& error) {
    EXPECT_STREQ(error.what(),
                 "Dataset error: Error # 220 (Invalid parameter)\r\nNo free workarea available [Select(0)]");
  }
  tables[5]->Close();
  extra.Open();
  EXPECT_TRUE(extra.Active());

  tables[6]->Close();
  TTzDbf sameAlias("T0");
  configureArticleTable(sameAlias, f.folder());
  try {
    sameAlias.Open();
    FAIL();
  } catch (const common::Exception& error) {
    EXPECT_STREQ(error.what(),
                 "Dataset error: Error # 220 (Invalid parameter)\r\nAlias name \"T0\" already in use. [USE]");
  }
}

class RecordingProgress : public TTzIndexProgress {
 public:
  void Begin(const std::string& caption) override { events.push_back("begin " + caption); }
  void Advance(int percent) override { last = percent; }
  void End() override { events.push_back("end"); }
  std::vector<std::string> events;
  int last = -1;
};

TEST(TableDatasetTest, CreateIndexStatesDecideWhenTheIndexIsBuilt) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  RecordingProgress progress;
  table.IndexProgress = &progress;
  std::vector<std::string> built;
  table.OnAfterMakeIndex = [&](const std::string& name) { built.push_back(name); };
  table.Open();
  appendArticle(table, 1, "B");
  appendArticle(table, 2, "A");
  table.Close();
  ASSERT_EQ(built.size(), 1u);
  EXPECT_EQ(progress.events, (std::vector<std::string>{"begin Indexing " + f.mdx() + "...", "end"}));

  table.Open();  // ciNotFound: the index exists
  table.Close();
  table.CreateIndex = TCreateIndexType::ciVerifyHeader;
  table.Open();  // same tags
  table.Close();
  EXPECT_EQ(built.size(), 1u);
  table.IndexList = {"CB,T,F,cb", ""};
  table.Open();  // descending now: rebuilt
  EXPECT_EQ(built.size(), 2u);
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"B", "A"}));
  EXPECT_EQ(progress.last, 100);
  table.Close();

  table.CreateIndex = TCreateIndexType::ciAlways;
  table.IndexList = {"CB,F,F,cb", ""};
  table.OnBeforeMakeIndex = [&](const std::string& name, bool& canMake) {
    EXPECT_EQ(name, f.mdx());
    EXPECT_TRUE(canMake);
    canMake = false;
  };
  table.Open();  // skipped: the table is used without index, in record order
  EXPECT_EQ(built.size(), 2u);
  EXPECT_FALSE(table.indexActive());
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"B", "A"}));
  table.Close();
  EXPECT_EQ(readFileBytes(f.dbf())[28], 0);

  table.OnBeforeMakeIndex = nullptr;
  std::filesystem::remove(f.mdx());
  table.CreateIndex = TCreateIndexType::ciNotFound;
  table.Open();  // a missing index is built
  EXPECT_EQ(built.size(), 3u);
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A", "B"}));
}

TEST(TableDatasetTest, DatesAreShownInTheShortFormatAndInvalidOnesAreRefused) {
  TableFolder f;
  common::formatSettings().shortDateFormat = "dd/MM/yyyy";
  TTzDbf table("dated");
  table.DbfFields = {"name,C,10,0", "born,D,8,0", "price,N,8,2", "ok,L,1,0"};
  table.setDbfFileName(f.dir.file("dated.dbf"));
  table.Open();
  EXPECT_EQ(table.FieldByName("price").DataType(), TFieldType::ftFloat);
  table.Append();
  table.FieldByName("born").setAsString("05/03/2024");
  table.FieldByName("price").setAsFloat(12.345);
  table.FieldByName("ok").setAsBoolean(true);
  table.Post();
  table.Append();
  table.FieldByName("born").setAsString("31/02/2024");
  table.Post();
  EXPECT_EQ(f.shownTexts(), (std::vector<std::string>{"        Invalid date       "}));
  table.Close();
  table.Open();
  EXPECT_EQ(table.FieldByName("born").AsString(), "05/03/2024");
  EXPECT_DOUBLE_EQ(table.FieldByName("price").AsFloat(), 12.35);
  EXPECT_TRUE(table.FieldByName("ok").AsBoolean());
  table.Edit();
  table.FieldByName("born").setAsString("  /  /    ");
  table.Post();
  EXPECT_EQ(table.FieldByName("born").AsString(), "");
  EXPECT_FALSE(table.FieldByName("born").IsNull());
  table.Next();
  EXPECT_EQ(table.FieldByName("born").AsString(), "");
  EXPECT_FALSE(table.FieldByName("ok").AsBoolean());
}

}  // namespace
}  // namespace vekrano::dbase::testing
