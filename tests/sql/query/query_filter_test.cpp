// The filter of an open query over an in-memory table, and the wait cursor around runs.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/wait_cursor.h"
#include "sql/query/query.h"
#include "sql/query/query_rows.h"
#include "support/memory_dataset.h"

namespace vekrano::sql {
namespace {

using dbase::TFieldType;
using testing::ErrorText;
using testing::MemoryDataset;

class FilteredQuery : public ::testing::Test {
 protected:
  FilteredQuery() {
    const char* names[] = {"Ann", "Bob", "Cid", "Dan", "Eve"};
    const std::int64_t quantities[] = {5, 2, 7, 1, 9};
    for (int i = 0; i < 5; ++i) items.addRow({std::int64_t{i + 1}, std::string(names[i]), quantities[i]});
    query.DataSets().Add("items", &items);
    query.SQL().Add("select * from items");
  }

  // The names of the rows the cursor visits from the first to the last.
  Rows Forward() {
    Rows names;
    for (query.First(); !query.Eof(); query.Next()) names.push_back(query.FieldByName("name").AsString());
    return names;
  }
  Rows Backward() {
    Rows names;
    for (query.Last(); !query.Bof(); query.Prior()) names.push_back(query.FieldByName("name").AsString());
    return names;
  }

  MemoryDataset items{
      {{"id", TFieldType::ftInteger}, {"name", TFieldType::ftString, 10}, {"qty", TFieldType::ftInteger}}};
  TSqlQuery query;
};

TEST_F(FilteredQuery, RowsThatFailAreSkippedAndNotCounted) {
  query.Open();
  query.setFilter("qty > 4");
  EXPECT_EQ(query.RecordCount(), 5);  // not filtered yet
  query.setFiltered(true);
  EXPECT_EQ(query.FieldByName("name").AsString(), "Ann");
  EXPECT_EQ(Forward(), (Rows{"Ann", "Cid", "Eve"}));
  EXPECT_EQ(Backward(), (Rows{"Eve", "Cid", "Ann"}));
  EXPECT_EQ(query.RecordCount(), 3);
  EXPECT_EQ(query.CurrentResultSet()->RecordCount(), 5);
  std::vector<int> numbers;
  for (query.First(); !query.Eof(); query.Next()) numbers.push_back(query.RecNo());
  EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3}));
  query.SetRecNo(2);
  EXPECT_EQ(query.FieldByName("name").AsString(), "Cid");
  query.SetRecNo(4);  // beyond the rows kept: stays
  EXPECT_EQ(query.FieldByName("name").AsString(), "Cid");
  query.SetRecNo(0);
  EXPECT_EQ(query.FieldByName("name").AsString(), "Cid");
}

TEST_F(FilteredQuery, ChangingTheFilterWhileOpenAppliesItAtOnce) {
  query.setFilter("name < 'C'");
  query.setFiltered(true);
  query.Open();  // set before opening: applied by Open
  EXPECT_EQ(Forward(), (Rows{"Ann", "Bob"}));
  query.Last();
  query.setFilter("qty < 3 or name = 'Eve'");
  EXPECT_EQ(query.FieldByName("name").AsString(), "Bob");  // back on the first row kept
  EXPECT_EQ(Forward(), (Rows{"Bob", "Dan", "Eve"}));
  query.setFiltered(false);
  EXPECT_EQ(query.RecordCount(), 5);
  EXPECT_EQ(Forward(), (Rows{"Ann", "Bob", "Cid", "Dan", "Eve"}));
  // No row kept: the query is empty but open.
  query.setFilter("qty > 100");
  query.setFiltered(true);
  EXPECT_TRUE(query.IsEmpty());
  EXPECT_EQ(query.RecordCount(), 0);
  EXPECT_EQ(Forward(), Rows{});
}

TEST_F(FilteredQuery, OnFilterRecordJudgesEachRowWithTheFilterText) {
  query.OnFilterRecord = [](dbase::TDataSet& dataSet, bool& accept) {
    accept = dataSet.FieldByName("id").AsInteger() % 2 == 1;
  };
  query.setFiltered(true);
  query.Open();
  EXPECT_EQ(Forward(), (Rows{"Ann", "Cid", "Eve"}));
  query.setFilter("qty < 8");  // both must keep the row
  EXPECT_EQ(Forward(), (Rows{"Ann", "Cid"}));
  EXPECT_EQ(query.RecordCount(), 2);
  // The grid's copies of every row are the rows kept too.
  EXPECT_EQ(query.copyAllRecordBuffers().size(), 2u);
}

TEST_F(FilteredQuery, AFilterThatIsNoBooleanExpressionIsRefused) {
  query.Open();
  query.setFiltered(true);
  EXPECT_EQ(ErrorText([&] { query.setFilter("qty + 1"); }), "Cannot read Integer as boolean");
  EXPECT_EQ(query.Filter(), "");
  EXPECT_EQ(ErrorText([&] { query.setFilter("nosuch = 1"); }),
            " Unknown Identifier nosuch at line : 1, Column: 7, token: =");
  EXPECT_EQ(ErrorText([&] { query.setFilter("qty >"); }).find("syntax error"), 1u);
  EXPECT_EQ(Forward().size(), 5u);
  // Refused when switched on, and at Open.
  query.setFiltered(false);
  query.setFilter("name");
  EXPECT_EQ(ErrorText([&] { query.setFiltered(true); }), "Cannot read String as boolean");
  EXPECT_FALSE(query.Filtered());
  query.Close();
  query.setFiltered(true);
  EXPECT_EQ(ErrorText([&] { query.Open(); }), "Cannot read String as boolean");
  EXPECT_FALSE(query.Active());
}

// Counts what the engine asks of the user interface's cursor.
class CountingWaitCursor : public ::testing::Test {
 protected:
  CountingWaitCursor() {
    previous = common::setWaitCursorHook({[this] { ++shown; }, [this] { ++restored; }});
    items.addRow({std::int64_t{1}});
    items.addRow({std::int64_t{2}});
    query.DataSets().Add("items", &items);
  }
  ~CountingWaitCursor() override { common::setWaitCursorHook(previous); }

  void Run(const std::string& sql, bool open) {
    query.Close();
    query.SQL().Clear();
    query.SQL().Add(sql);
    if (open) {
      query.Open();
    } else {
      query.ExecSQL();
    }
  }

  common::WaitCursorHook previous;
  int shown = 0;
  int restored = 0;
  MemoryDataset items{{{"id", TFieldType::ftInteger}}};
  TSqlQuery query;
};

TEST_F(CountingWaitCursor, ShownOncePerRunAndRestoredEvenWhenItFails) {
  // A join and a subquery take snapshots through queries of their own: still one cursor.
  Run("select a.id from items a, items b where a.id = b.id and a.id in (select id from items)", true);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(restored, 1);
  Run("update items set id = id + 10 where id = 1", false);
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(restored, 2);
  EXPECT_EQ(ErrorText([&] { Run("select nosuch from items", true); }), "Field nosuch was not found");
  EXPECT_EQ(shown, 3);
  EXPECT_EQ(restored, 3);
  query.ShowWaitCursor = false;
  Run("select id from items", true);
  EXPECT_EQ(shown, 3);
  EXPECT_EQ(restored, 3);
}

}  // namespace
}  // namespace vekrano::sql
