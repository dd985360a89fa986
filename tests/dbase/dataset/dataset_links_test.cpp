// Notifications of data links, pushing pending control values, and painting another record
// through a copy of its buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "common/prompts.h"
#include "dbase/dataset/data_source.h"
#include "dbase/dataset/database_error.h"
#include "dbase/dataset/dataset.h"
#include "support/memory_dataset.h"

namespace vekrano::dbase {
namespace {

using testing::MemoryDataset;

// Records the notifications it receives; may push a pending value or fail on request.
class RecordingLink : public TDataLink {
 public:
  void dataEvent(TDataEvent event, const TField* field) override {
    events.push_back(event);
    fields.push_back(field);
    if (event == TDataEvent::deUpdateRecord && !pendingText.empty()) {
      DataSet()->FieldByName("cb").setAsString(pendingText);
    }
    if (failOn == event) {
      throw EDatabaseError("link failed");
    }
  }
  int Count(TDataEvent event) const { return static_cast<int>(std::count(events.begin(), events.end(), event)); }

  std::vector<TDataEvent> events;
  std::vector<const TField*> fields;
  std::string pendingText;
  std::optional<TDataEvent> failOn;
};

class DatasetLinksTest : public ::testing::Test {
 protected:
  DatasetLinksTest() : articles({{"cb", TFieldType::ftString, 10}}) {
    for (const char* cb : {"A", "B", "C"}) {
      articles.addRow({std::string(cb)});
    }
    source.setDataSet(&articles);
    link.setDataSource(&source);
    link.events.clear();
  }

  MemoryDataset articles;
  TDataSource source;
  RecordingLink link;
};

TEST_F(DatasetLinksTest, ChangesReachTheLinksAndTheSourceHandlers) {
  int stateChanges = 0;
  int dataChanges = 0;
  source.OnStateChange = [&](TDataSource&) { ++stateChanges; };
  source.OnDataChange = [&](TDataSource&, const TField*) { ++dataChanges; };
  EXPECT_FALSE(link.Active());
  articles.Open();
  EXPECT_TRUE(link.Active());
  EXPECT_EQ(link.DataSet(), &articles);
  EXPECT_EQ(link.Count(TDataEvent::deUpdateState), 1);
  EXPECT_EQ(link.Count(TDataEvent::deDataSetChange), 1);
  articles.Next();
  EXPECT_EQ(link.Count(TDataEvent::deDataSetScroll), 1);
  articles.Edit();
  EXPECT_EQ(link.Count(TDataEvent::deUpdateState), 2);
  articles.FieldByName("cb").setAsString("Z");
  EXPECT_EQ(link.events.back(), TDataEvent::deFieldChange);
  EXPECT_EQ(link.fields.back(), &articles.FieldByName("cb"));
  articles.Post();
  EXPECT_EQ(link.Count(TDataEvent::deUpdateRecord), 1);
  EXPECT_EQ(link.Count(TDataEvent::deUpdateState), 3);
  EXPECT_EQ(link.events.back(), TDataEvent::deDataSetChange);
  EXPECT_EQ(stateChanges, 3);
  EXPECT_GE(dataChanges, 4);

  source.setEnabled(false);
  EXPECT_FALSE(link.Active());
  link.events.clear();
  articles.Next();
  EXPECT_TRUE(link.events.empty());
  source.setEnabled(true);

  articles.Close();
  EXPECT_EQ(link.events.back(), TDataEvent::deUpdateState);
  EXPECT_FALSE(link.Active());
}

TEST_F(DatasetLinksTest, DisabledControlsHearNothingUntilEnabledAgain) {
  articles.Open();
  link.events.clear();
  articles.DisableControls();
  articles.DisableControls();
  EXPECT_TRUE(articles.controlsDisabled());
  articles.Last();
  articles.Prior();
  articles.Delete();
  articles.EnableControls();
  EXPECT_TRUE(link.events.empty());
  articles.EnableControls();
  EXPECT_FALSE(articles.controlsDisabled());
  EXPECT_EQ(link.events, std::vector<TDataEvent>{TDataEvent::deDataSetChange});

  // A state left changed while disabled is reported too.
  link.events.clear();
  articles.DisableControls();
  articles.Edit();
  articles.EnableControls();
  EXPECT_EQ(link.events, (std::vector<TDataEvent>{TDataEvent::deUpdateState, TDataEvent::deDataSetChange}));
  articles.EnableControls();
  EXPECT_EQ(link.events.size(), 2u);
}

TEST_F(DatasetLinksTest, UpdateRecordPushesPendingValuesBeforeAPost) {
  articles.Open();
  articles.Edit();
  link.pendingText = "typed";
  articles.DisableControls();
  articles.Post();
  articles.EnableControls();
  EXPECT_EQ(articles.FieldByName("cb").AsString(), "typed");
  EXPECT_EQ(std::get<std::string>(articles.Rows()[0][0]), "typed");
  EXPECT_THROW(articles.UpdateRecord(), EDatabaseError);

  // A control that refuses its value stops the post.
  link.pendingText.clear();
  link.failOn = TDataEvent::deUpdateRecord;
  articles.Edit();
  articles.FieldByName("cb").setAsString("lost");
  EXPECT_THROW(articles.Post(), EDatabaseError);
  EXPECT_EQ(articles.State(), TDataSetState::dsEdit);
  EXPECT_EQ(std::get<std::string>(articles.Rows()[0][0]), "typed");
}

TEST_F(DatasetLinksTest, AFailingLinkIsReportedAndTheOperationCompletes) {
  common::ScopedScriptedPrompts prompts;
  articles.Open();
  link.failOn = TDataEvent::deDataSetScroll;
  articles.Next();
  EXPECT_EQ(articles.FieldByName("cb").AsString(), "B");
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "link failed");
  EXPECT_EQ(prompts.shown[0].caption, "Vekrano");
}

TEST_F(DatasetLinksTest, DestroyingEitherSideDetaches) {
  {
    RecordingLink shortLived;
    shortLived.setDataSource(&source);
  }
  auto other = std::make_unique<TDataSource>();
  other->setDataSet(&articles);
  RecordingLink orphan;
  orphan.setDataSource(other.get());
  other.reset();
  EXPECT_EQ(orphan.DataSource(), nullptr);
  articles.Open();
  EXPECT_EQ(link.Count(TDataEvent::deUpdateState), 1);
}

// A source detaching itself while it handles an event leaves the others notified, with few
// sources as with many.
TEST_F(DatasetLinksTest, EverySourceHearsAnEventEvenWhenOneDetachesMeanwhile) {
  articles.Open();
  for (const std::size_t count : {std::size_t{3}, std::size_t{6}}) {
    std::vector<std::unique_ptr<TDataSource>> sources;
    std::vector<std::unique_ptr<RecordingLink>> links;
    for (std::size_t i = 0; i < count; ++i) {
      sources.push_back(std::make_unique<TDataSource>());
      sources.back()->setDataSet(&articles);
      links.push_back(std::make_unique<RecordingLink>());
      links.back()->setDataSource(sources.back().get());
    }
    articles.First();
    for (const auto& each : links) each->events.clear();
    sources.front()->OnDataChange = [](TDataSource& self, const TField*) { self.setDataSet(nullptr); };
    articles.Next();
    for (const auto& each : links) EXPECT_EQ(each->Count(TDataEvent::deDataSetScroll), 1) << count;
    articles.Next();
    EXPECT_EQ(links.front()->Count(TDataEvent::deDataSetScroll), 1) << count;
    EXPECT_EQ(links.back()->Count(TDataEvent::deDataSetScroll), 2) << count;
  }
}

TEST_F(DatasetLinksTest, ARecordCopyMadeActiveIsReadThroughTheSameFields) {
  articles.Open();
  std::vector<TRecordCopy> rows = articles.copyAllRecordBuffers();
  ASSERT_EQ(rows.size(), 3u);
  articles.Next();
  TField& cb = articles.FieldByName("cb");
  {
    TActiveRecord painting(articles, rows[2]);
    EXPECT_EQ(cb.AsString(), "C");
    EXPECT_THROW(cb.setAsString("X"), EDatabaseError);
    articles.GotoBookmark(articles.GetBookmark());
  }
  EXPECT_EQ(cb.AsString(), "C");
  articles.SetRecNo(2);
  TRecordCopy current = articles.copyActiveBuffer();
  {
    TActiveRecord painting(articles, rows[0]);
    EXPECT_EQ(cb.AsString(), "A");
  }
  EXPECT_EQ(cb.AsString(), "B");
  articles.Next();
  EXPECT_EQ(cb.AsString(), "C");
  TActiveRecord painting(articles, current);
  EXPECT_EQ(cb.AsString(), "B");
}

TEST_F(DatasetLinksTest, CopyingAllRowsDuringAnEditLeavesThePostInPlace) {
  articles.Open();
  articles.Next();
  articles.Edit();
  articles.FieldByName("cb").setAsString("E");
  EXPECT_EQ(articles.copyAllRecordBuffers().size(), 3u);
  articles.Post();
  EXPECT_EQ(std::get<std::string>(articles.Rows()[1][0]), "E");

  articles.Insert();
  articles.FieldByName("cb").setAsString("I");
  articles.copyAllRecordBuffers();
  articles.Post();
  EXPECT_EQ(std::get<std::string>(articles.Rows()[1][0]), "I");
  EXPECT_EQ(articles.RecNo(), 2);
}

TEST_F(DatasetLinksTest, OneRowCopiedDuringAnEditLeavesTheCursorAndThePostInPlace) {
  articles.Open();
  articles.Next();
  articles.Edit();
  articles.FieldByName("cb").setAsString("E");
  TRecordCopy row;
  ASSERT_TRUE(articles.copyRecordBuffer(3, row));
  EXPECT_FALSE(articles.copyRecordBuffer(4, row));
  EXPECT_EQ(articles.State(), TDataSetState::dsEdit);
  EXPECT_EQ(articles.RecNo(), 2);
  articles.Post();
  EXPECT_EQ(std::get<std::string>(articles.Rows()[1][0]), "E");
  EXPECT_EQ(std::get<std::string>(articles.Rows()[2][0]), "C");
  ASSERT_TRUE(articles.copyRecordBuffer(3, row));
  TActiveRecord painting(articles, row);
  EXPECT_EQ(articles.FieldByName("cb").AsString(), "C");
}

}  // namespace
}  // namespace vekrano::dbase
