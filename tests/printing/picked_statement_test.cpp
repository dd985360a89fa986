// Printing records picked by number: the statement's text, and the run it makes over a table
// sorted as the list is.
#include "printing/picked_statement.h"

#include <gtest/gtest.h>

#include <vector>

#include "recording_sink.h"
#include "type1_run_table.h"

namespace vekrano::printing {
namespace {

using list::SortColumn;

TEST(PickedStatement, NumbersAndRangesWithTheRunsOrderingTexts) {
  const std::string tail = " and quantite>0 and length(cb)>0  ";
  EXPECT_EQ(pickedRecordsStatement(std::vector{7}, {}),
            "select * from article where (num in (7))" + tail + "order by num");
  // Any order and repeats; consecutive numbers become one range, lone ones one list.
  EXPECT_EQ(pickedRecordsStatement(std::vector{20, 3, 12, 7, 13, 14, 3, 15, 16, 17, 18, 19}, {}),
            "select * from article where (num in (3,7) or num between 12 and 20)" + tail + "order by num");
  EXPECT_EQ(pickedRecordsStatement(std::vector{5, 4}, {SortColumn::Quantity, true}),
            "select * from article where (num between 4 and 5)" + tail + " order by quantite  desc , cb");
  EXPECT_EQ(pickedRecordsStatement(std::vector{1, 3}, {SortColumn::Top, false}),
            "select * from article where (num in (1,3))" + tail + " order by topp  , cb ");
}

class PickedRun : public Type1RunTable {
 protected:
  // The barcodes of the labels of a run over type 1, in position order sheet after sheet.
  std::vector<std::string> labelsOf(std::vector<int> numbers, list::SortState sort) {
    PrintRequest request = type1Request();
    request.recordNumbers = std::move(numbers);
    request.sort = sort;
    request.criteriaText = " cb like \"NOTHING%\"";  // picked records ignore the criteria
    RecordingSink sink;
    PrintLabels(data.sqlqueryfonction, sink, data.programDirectory(), request);
    std::vector<std::string> labels;
    for (const RecordingSink::Job& job : sink.jobs) {
      for (int p = 1; p <= 12; ++p) {
        if (job.removed.count(p) == 0) labels.push_back(job.values.at("cb" + std::to_string(p)));
      }
    }
    return labels;
  }
};

TEST_F(PickedRun, OnlyThePickedRecordsEachAsManyTimesAsItsQuantityInTheListOrder) {
  for (const auto& [cb, quantite] : std::vector<std::pair<std::string, int>>{
           {"K", 1}, {"B", 2}, {"Z", 1}, {"A", 3}, {"Q", 0}, {"M", 1}, {"C", 2}, {"", 4}, {"D", 1}}) {
    add(cb, quantite);
  }
  // Records 2, 4, 5 (no label), 6, 8 (no barcode) and 9, in barcode order, then descending.
  const std::vector<int> picked{9, 2, 4, 5, 6, 8};
  EXPECT_EQ(labelsOf(picked, {SortColumn::Barcode, false}),
            (std::vector<std::string>{"A", "A", "A", "B", "B", "D", "M"}));
  EXPECT_EQ(labelsOf(picked, {SortColumn::Barcode, true}),
            (std::vector<std::string>{"M", "D", "B", "B", "A", "A", "A"}));
  EXPECT_EQ(labelsOf({1, 3, 7, 7}, {}), (std::vector<std::string>{"K", "Z", "C", "C"}));
  EXPECT_TRUE(labelsOf({42}, {}).empty());
}

}  // namespace
}  // namespace vekrano::printing
