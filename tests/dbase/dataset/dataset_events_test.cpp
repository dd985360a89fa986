// The generic dataset's events: the order in which each operation calls them, and the error events
// deciding whether a failed store operation fails, aborts or is retried.
#include <gtest/gtest.h>

#include "dbase/dataset/database_error.h"
#include "dbase/dataset/dataset.h"
#include "support/memory_dataset.h"

namespace vekrano::dbase {
namespace {

using testing::ErrorText;
using testing::MemoryDataset;

class DatasetEventsTest : public ::testing::Test {
 protected:
  DatasetEventsTest() : articles({{"num", TFieldType::ftInteger, 0}, {"cb", TFieldType::ftString, 10}}) {
    articles.addRow({std::int64_t{1}, std::string("A")});
    articles.addRow({std::int64_t{2}, std::string("B")});
    const std::pair<TDataSetNotifyEvent*, const char*> events[] = {
        {&articles.BeforeOpen, "BeforeOpen"},     {&articles.AfterOpen, "AfterOpen"},
        {&articles.BeforeClose, "BeforeClose"},   {&articles.AfterClose, "AfterClose"},
        {&articles.BeforeInsert, "BeforeInsert"}, {&articles.AfterInsert, "AfterInsert"},
        {&articles.OnNewRecord, "OnNewRecord"},   {&articles.BeforeEdit, "BeforeEdit"},
        {&articles.AfterEdit, "AfterEdit"},       {&articles.BeforePost, "BeforePost"},
        {&articles.AfterPost, "AfterPost"},       {&articles.BeforeCancel, "BeforeCancel"},
        {&articles.AfterCancel, "AfterCancel"},   {&articles.BeforeDelete, "BeforeDelete"},
        {&articles.AfterDelete, "AfterDelete"},   {&articles.BeforeScroll, "BeforeScroll"},
        {&articles.AfterScroll, "AfterScroll"},
    };
    for (const auto& [event, name] : events) {
      *event = [this, name = std::string(name)](TDataSet& sender) {
        EXPECT_EQ(&sender, &articles);
        log += name + " ";
      };
    }
  }

  // The events logged by `operation`.
  template <typename Operation>
  std::string logged(Operation operation) {
    log.clear();
    operation();
    return log;
  }

  std::string Cb() const { return articles.FieldByName("cb").AsString(); }

  MemoryDataset articles;
  std::string log;
};

TEST_F(DatasetEventsTest, EachOperationCallsItsEventsInOrder) {
  EXPECT_EQ(logged([&] { articles.Open(); }), "BeforeOpen AfterOpen AfterScroll ");
  EXPECT_EQ(logged([&] { articles.Next(); }), "BeforeScroll AfterScroll ");
  // A move that cannot go further still scrolls.
  EXPECT_EQ(logged([&] { articles.Next(); }), "BeforeScroll AfterScroll ");
  EXPECT_EQ(logged([&] { articles.First(); }), "BeforeScroll AfterScroll ");
  EXPECT_EQ(logged([&] { articles.Last(); }), "BeforeScroll AfterScroll ");
  EXPECT_EQ(logged([&] { articles.SetRecNo(1); }), "BeforeScroll AfterScroll ");

  EXPECT_EQ(logged([&] { articles.Edit(); }), "BeforeEdit AfterEdit ");
  articles.FieldByName("cb").setAsString("Z");
  EXPECT_EQ(logged([&] { articles.Post(); }), "BeforePost AfterPost ");
  EXPECT_EQ(logged([&] {
              articles.Edit();
              articles.Cancel();
            }),
            "BeforeEdit AfterEdit BeforeCancel AfterCancel ");

  EXPECT_EQ(logged([&] { articles.Append(); }), "BeforeInsert BeforeScroll OnNewRecord AfterInsert AfterScroll ");
  articles.FieldByName("cb").setAsString("C");
  // Navigating posts the new record first.
  EXPECT_EQ(logged([&] { articles.First(); }), "BeforePost AfterPost BeforeScroll AfterScroll ");
  EXPECT_EQ(logged([&] { articles.Delete(); }), "BeforeDelete BeforeScroll AfterDelete AfterScroll ");
  EXPECT_EQ(Cb(), "B");

  const TBookmark mark = articles.GetBookmark();
  EXPECT_EQ(logged([&] { articles.GotoBookmark(mark); }), "BeforeScroll AfterScroll ");
  EXPECT_EQ(logged([&] { articles.Locate("cb", {std::string("C")}, {}); }), "BeforeScroll AfterScroll ");
  // Nothing found: the cursor did not move.
  EXPECT_EQ(logged([&] { articles.Locate("cb", {std::string("X")}, {}); }), "BeforeScroll ");
  EXPECT_EQ(logged([&] { articles.Lookup("cb", {std::string("B")}, "num"); }), "");

  EXPECT_EQ(logged([&] { articles.Close(); }), "BeforeClose AfterClose ");
  EXPECT_EQ(logged([&] { articles.Close(); }), "");
}

TEST_F(DatasetEventsTest, ABeforeEventThatRaisesStopsItsOperation) {
  articles.BeforeOpen = [](TDataSet&) { throw EDatabaseError("not now"); };
  EXPECT_EQ(ErrorText([&] { articles.Open(); }), "not now");
  EXPECT_FALSE(articles.Active());
  EXPECT_EQ(articles.openCount(), 0);
  articles.BeforeOpen = nullptr;
  articles.Open();

  articles.BeforePost = [](TDataSet&) { throw common::EAbort(); };
  articles.Edit();
  articles.FieldByName("cb").setAsString("Z");
  EXPECT_EQ(ErrorText([&] { articles.Post(); }), "Operation aborted");
  EXPECT_EQ(articles.State(), TDataSetState::dsEdit);
  EXPECT_EQ(articles.Rows()[0][1], Variant(std::string("A")));

  articles.BeforeDelete = [](TDataSet&) { throw common::EAbort(); };
  articles.Cancel();
  EXPECT_EQ(ErrorText([&] { articles.Delete(); }), "Operation aborted");
  EXPECT_EQ(articles.Rows().size(), 2u);

  articles.BeforeClose = [](TDataSet&) { throw EDatabaseError("still busy"); };
  EXPECT_EQ(ErrorText([&] { articles.Close(); }), "still busy");
  EXPECT_TRUE(articles.Active());
  articles.BeforeClose = nullptr;
}

TEST_F(DatasetEventsTest, OnNewRecordDefaultsAreNotAChange) {
  articles.OnNewRecord = [](TDataSet& dataSet) { dataSet.FieldByName("num").setAsInteger(99); };
  articles.Open();
  articles.Append();
  EXPECT_EQ(articles.FieldByName("num").AsInteger(), 99);
  EXPECT_FALSE(articles.modified());
  // Nothing else assigned: leaving the record cancels it.
  articles.First();
  EXPECT_EQ(articles.Rows().size(), 2u);

  articles.Append();
  articles.FieldByName("cb").setAsString("C");
  articles.Post();
  EXPECT_EQ(articles.Rows().back()[0], Variant(std::int64_t{99}));

  // A failing OnNewRecord leaves the dataset browsing where it was.
  articles.First();
  articles.OnNewRecord = [](TDataSet&) { throw EDatabaseError("no default"); };
  EXPECT_EQ(ErrorText([&] { articles.Insert(); }), "no default");
  EXPECT_EQ(articles.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(Cb(), "A");
}

TEST_F(DatasetEventsTest, ErrorEventsFailAbortOrRetryTheStoreOperation) {
  articles.Open();
  std::string seen;
  TDataAction answer = TDataAction::daFail;
  const TDataSetErrorEvent onError = [&](TDataSet& sender, const common::Exception& error, TDataAction& action) {
    EXPECT_EQ(&sender, &articles);
    EXPECT_EQ(action, TDataAction::daFail);
    seen += std::string(error.what()) + ";";
    action = answer;
  };
  articles.OnEditError = articles.OnPostError = articles.OnDeleteError = onError;

  // Fail: the store's error is raised and the edit stays pending.
  articles.Edit();
  articles.FieldByName("cb").setAsString("Z");
  articles.failNextStores(1);
  EXPECT_EQ(ErrorText([&] { articles.Post(); }), "Store failure");
  EXPECT_EQ(seen, "Store failure;");
  EXPECT_EQ(articles.State(), TDataSetState::dsEdit);

  // Retry: the operation runs again until it succeeds.
  answer = TDataAction::daRetry;
  seen.clear();
  articles.failNextStores(2);
  articles.Post();
  EXPECT_EQ(seen, "Store failure;Store failure;");
  EXPECT_EQ(articles.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(articles.Rows()[0][1], Variant(std::string("Z")));

  // Abort: the silent exception replaces the store's error.
  answer = TDataAction::daAbort;
  seen.clear();
  articles.failNextStores(1);
  EXPECT_THROW(articles.Delete(), common::EAbort);
  EXPECT_EQ(articles.Rows().size(), 2u);
  articles.failNextStores(1);
  EXPECT_EQ(ErrorText([&] { articles.Edit(); }), "Operation aborted");
  EXPECT_EQ(articles.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(seen, "Store failure;Store failure;");

  // A new record's post goes to OnPostError too; without a handler the error is raised.
  answer = TDataAction::daRetry;
  seen.clear();
  articles.Append();
  articles.FieldByName("cb").setAsString("C");
  articles.failNextStores(1);
  articles.Post();
  EXPECT_EQ(seen, "Store failure;");
  EXPECT_EQ(articles.Rows().size(), 3u);
  articles.OnDeleteError = nullptr;
  articles.failNextStores(1);
  EXPECT_EQ(ErrorText([&] { articles.Delete(); }), "Store failure");
  EXPECT_EQ(articles.Rows().size(), 3u);
}

TEST_F(DatasetEventsTest, OnCalcFieldsRunsInItsStateForEachCurrentRecordAndEachChange) {
  std::string calculated;
  articles.OnCalcFields = [&](TDataSet& dataSet) {
    EXPECT_EQ(dataSet.State(), TDataSetState::dsCalcFields);
    calculated += dataSet.FieldByName("cb").AsString();
    // A data field cannot be assigned while calculating.
    EXPECT_EQ(ErrorText([&] { dataSet.FieldByName("cb").setAsString("X"); }),
              "L'ensemble de donn\xE9"
              "es n'est pas en mode Edition ou Insertion");
  };
  articles.Open();
  articles.Next();
  EXPECT_EQ(calculated, "AB");
  articles.Edit();
  articles.FieldByName("cb").setAsString("Y");
  EXPECT_EQ(calculated, "ABY");
  EXPECT_EQ(articles.State(), TDataSetState::dsEdit);
  articles.AutoCalcFields = false;
  articles.FieldByName("cb").setAsString("W");
  EXPECT_EQ(calculated, "ABY");
  articles.Cancel();
  EXPECT_EQ(calculated, "ABYB");
}

}  // namespace
}  // namespace vekrano::dbase
