// The dataset events on the table dataset, and asking a table for its field definitions.
#include <filesystem>

#include <gtest/gtest.h>

#include "dbase/dataset/database_error.h"
#include "support/memory_dataset.h"
#include "dbase/table/table_test_support.h"

namespace vekrano::dbase::testing {
namespace {

using vekrano::testing::ErrorText;
using vekrano::testing::readFileBytes;
using vekrano::testing::writeFileBytes;

TEST(TableEventsTest, TheTableCallsTheDatasetEventsInOrder) {
  TableFolder f;
  std::string log;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  const auto logAs = [&log](const char* name) { return [&log, name](TDataSet&) { log += std::string(name) + " "; }; };
  table.BeforeOpen = logAs("BeforeOpen");
  table.AfterOpen = logAs("AfterOpen");
  table.BeforeScroll = logAs("BeforeScroll");
  table.AfterScroll = logAs("AfterScroll");
  table.BeforeInsert = logAs("BeforeInsert");
  table.OnNewRecord = [&log](TDataSet& dataSet) {
    log += "OnNewRecord ";
    dataSet.FieldByName("quantite").setAsInteger(1);
  };
  table.AfterInsert = logAs("AfterInsert");
  table.BeforePost = logAs("BeforePost");
  table.AfterPost = logAs("AfterPost");
  table.BeforeDelete = logAs("BeforeDelete");
  table.AfterDelete = logAs("AfterDelete");
  table.BeforeClose = logAs("BeforeClose");
  table.AfterClose = logAs("AfterClose");

  // An empty table: nothing to scroll to after opening.
  table.Open();
  EXPECT_EQ(log, "BeforeOpen AfterOpen ");
  log.clear();
  appendArticle(table, 1, "B");
  appendArticle(table, 2, "A");
  EXPECT_EQ(log,
            "BeforeInsert BeforeScroll OnNewRecord AfterInsert AfterScroll BeforePost AfterPost "
            "BeforeInsert BeforeScroll OnNewRecord AfterInsert AfterScroll BeforePost AfterPost ");
  EXPECT_EQ(table.FieldByName("quantite").AsInteger(), 1);

  log.clear();
  // An index search that finds nothing still moves: to the end.
  EXPECT_FALSE(table.Locate("cb", {std::string("Z")}, {}));
  EXPECT_TRUE(table.Locate("cb", {std::string("B")}, {}));
  EXPECT_EQ(log, "BeforeScroll AfterScroll BeforeScroll AfterScroll ");
  log.clear();
  EXPECT_EQ(table.Lookup("cb", {std::string("A")}, "num"), std::vector<Variant>{Variant(std::int64_t{2})});
  EXPECT_EQ(log, "");
  table.Delete();
  table.Close();
  EXPECT_EQ(log, "BeforeDelete BeforeScroll AfterDelete AfterScroll BeforeClose AfterClose ");
}

TEST(TableEventsTest, APostThatFailsGoesToOnPostErrorWhichMayRetryIt) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  appendArticle(table, 1, "A");
  const std::string stored = readFileBytes(f.dbf());

  // The record vanishes under the table (a damaged file): reading it back for the post fails
  // until the handler puts the file right and asks for another attempt.
  int calls = 0;
  std::string error;
  table.OnPostError = [&](TDataSet&, const common::Exception& e, TDataAction& action) {
    ++calls;
    error = e.what();
    writeFileBytes(f.dbf(), stored);
    action = TDataAction::daRetry;
  };
  table.Edit();
  table.FieldByName("lib1").setAsString("changed");
  std::filesystem::resize_file(f.dbf(), 225);
  table.Post();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(error.rfind("Dataset error: ", 0), 0u) << error;
  EXPECT_EQ(table.State(), TDataSetState::dsBrowse);
  table.Refresh();
  EXPECT_EQ(table.FieldByName("lib1").AsString(), "changed");

  // Without a handler the error reaches the caller and the edit stays pending.
  table.OnPostError = nullptr;
  table.Edit();
  table.FieldByName("lib1").setAsString("again");
  std::filesystem::resize_file(f.dbf(), 225);
  EXPECT_EQ(ErrorText([&] { table.Post(); }).rfind("Dataset error: ", 0), 0u);
  EXPECT_EQ(table.State(), TDataSetState::dsEdit);
  writeFileBytes(f.dbf(), stored);
  table.Cancel();
  EXPECT_EQ(table.FieldByName("lib1").AsString(), "");
}

TEST(TableEventsTest, FieldDefinitionsOfATableNeverOpenedAreUndefined) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  EXPECT_EQ(ErrorText([&] { table.updateFieldDefs(); }), "tarticle.DbfFields undefined. Set Active to TRUE");
  EXPECT_THROW(table.updateFieldDefs(), EDatabaseError);

  // Once opened, the table tells them, also after it was closed.
  table.Open();
  table.Close();
  EXPECT_TRUE(table.FieldDefs().empty());
  table.updateFieldDefs();
  ASSERT_EQ(table.FieldDefs().size(), 6u);
  EXPECT_EQ(table.FieldDefs()[1].Name, "CB");
  EXPECT_EQ(table.FieldDefs()[1].Size, 50);
}

}  // namespace
}  // namespace vekrano::dbase::testing
