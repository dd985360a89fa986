// The print run over a real record table: its statement texts, the records it selects, the
// sheets and jobs it sends, and a PDF of a run read back by zbarimg.
#include "printing/label_print_run.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <map>
#include <set>
#include <sstream>

#include "page_measure.h"
#include "recording_sink.h"
#include "common/process_events.h"
#include "languages/interface_texts.h"
#include "printing/code39.h"
#include "printing/label_layouts.h"
#include "printing/label_types.h"
#include "printing/print_statement.h"
#include "records/article_data.h"
#include "records/record_statements.h"
#include "sql/query/query.h"
#include "support/temp_dir.h"

namespace vekrano::printing {
namespace {

using list::SortColumn;
using list::SortState;

TEST(PrintStatement, EveryOrderingAndOptionHasItsExactText) {
  const std::string head = "select * from article";
  const std::string plain = head + " where quantite > 0 and length(cb)>0 ";
  const std::map<SortColumn, std::pair<std::string, std::string>> orders = {
      {SortColumn::None, {"order by num", "order by num"}},
      {SortColumn::Barcode, {" order by cb ", " order by cb  desc"}},
      {SortColumn::Text1, {" order by lib1 ", " order by lib1  desc"}},
      {SortColumn::Text2, {" order by lib2 ", " order by lib2  desc"}},
      {SortColumn::Quantity, {" order by quantite  , cb", " order by quantite  desc , cb"}},
      {SortColumn::Top, {" order by topp  , cb ", " order by topp  desc , cb "}},
  };
  for (const auto& [column, texts] : orders) {
    EXPECT_EQ(printStatement(false, "", {column, false}), plain + " " + texts.first);
    EXPECT_EQ(printStatement(false, "", {column, true}), plain + " " + texts.second);
  }
  EXPECT_EQ(printStatement(false, "", {SortColumn::Quantity, true}),
            "select * from article where quantite > 0 and length(cb)>0   order by quantite  desc , cb");
  EXPECT_EQ(printStatement(false, " cb like \"AB%\" and  topp=\"O\"", {SortColumn::Text1, false}),
            "select * from article where  cb like \"AB%\" and  topp=\"O\" and quantite>0 and "
            "length(cb)>0   order by lib1 ");
  // Every record: the criteria and the order of the list do not count.
  for (bool descending : {false, true}) {
    EXPECT_EQ(printStatement(true, " cb like \"A%\"", {SortColumn::Barcode, descending}),
              "select * from article where  quantite>0 and length(cb)>0 ");
  }
}

// The label type list's entry for type `number`, as the Printing page shows it.
std::string entryOf(int number) {
  for (const std::string& entry : labelTypeEntries()) {
    if (LabelTypeOfEntry(entry) == number) return entry;
  }
  return {};
}

class PrintRunTable : public ::testing::Test {
 protected:
  PrintRunTable() { data.openData(); }

  void add(const std::string& cb, int quantite, const std::string& topp = "O", const std::string& lib1 = "",
           const std::string& lib2 = "") {
    const int num = data.NextRecordNumber();
    data.executeStatement(records::newRecordStatement(
        {num, cb, lib1.empty() ? "first " + cb : lib1, lib2.empty() ? "second " + cb : lib2, quantite, topp}));
  }

  PrintRequest request(int type, std::string criteriaText = {}, SortState sort = {}) const {
    PrintRequest request;
    request.labelTypeEntry = entryOf(type);
    request.printerName = "Office";
    request.criteriaText = std::move(criteriaText);
    request.sort = sort;
    return request;
  }

  int print(const PrintRequest& request) {
    return PrintLabels(data.sqlqueryfonction, sink, data.programDirectory(), request);
  }

  vekrano::testing::TempDir directory;
  records::ArticleData data{directory.path().string() + "/"};
  RecordingSink sink;
};

TEST_F(PrintRunTable, FullSheetsAndTheLastSheetWithoutItsEmptyBarcodes) {
  add("A", 12);
  EXPECT_EQ(print(request(1)), 1);
  ASSERT_EQ(sink.jobs.size(), 1u);
  EXPECT_EQ(sink.jobs[0].layoutName, "etiquette1");
  EXPECT_EQ(sink.jobs[0].printer, "Office");
  EXPECT_TRUE(sink.jobs[0].removed.empty());
  EXPECT_EQ(sink.jobs[0].values.at("cb12"), "A");
  EXPECT_EQ(sink.calls, (std::vector<std::string>{"open " + data.programDirectory() + "docvkb.rav", "close"}));
  EXPECT_FALSE(data.sqlqueryfonction.Active());

  data.executeStatement("update article set quantite=13");
  sink.jobs.clear();
  EXPECT_EQ(print(request(1)), 2);
  ASSERT_EQ(sink.jobs.size(), 2u);
  EXPECT_EQ(sink.jobs[1].values.at("cb1"), "A");
  EXPECT_EQ(sink.jobs[1].values.at("cb2"), "");
  EXPECT_EQ(sink.jobs[1].removed, range(2, 12));
}

TEST_F(PrintRunTable, TwoSingleLabelsOnTheFortyFourLabelSheet) {
  add("A", 1);
  add("B", 1);
  EXPECT_EQ(print(request(9)), 1);
  ASSERT_EQ(sink.jobs.size(), 1u);
  EXPECT_EQ(sink.jobs[0].layoutName, "etiquette9");
  EXPECT_EQ(sink.jobs[0].values.at("cb1"), "A");
  EXPECT_EQ(sink.jobs[0].values.at("cb2"), "B");
  EXPECT_EQ(sink.jobs[0].removed, range(3, 44));
}

// The windows paint at a steady pace during a run, not after every record: a long run would
// spend much of its time on pending events.
TEST_F(PrintRunTable, PendingEventsAreProcessedAtAPaceNotAfterEveryRecord) {
  for (int i = 0; i < 300; ++i) add("R" + std::to_string(i), 1);
  int calls = 0;
  const auto previous = common::setProcessEventsHook([&] { ++calls; });
  const int jobs = print(request(9));
  common::setProcessEventsHook(previous);
  EXPECT_EQ(jobs, 7);  // 300 labels on sheets of 44
  EXPECT_GE(calls, 1);
  EXPECT_LT(calls, 100);
}

TEST_F(PrintRunTable, UnprintableBarcodesAreListedAndPrintOnlyWhenTheUserAgrees) {
  languages::setLanguageNumber(languages::kFrench);
  add("OK-1", 1);
  add("low-abc1", 2);
  add("SP\xC9#CIAL@1", 1);
  add(std::string(30, 'L'), 1);  // too long for any label of the 44-label sheet
  for (int i = 0; i < 4; ++i) add("A*" + std::to_string(i), 1);
  std::vector<UnprintableRecords> asked;
  PrintRequest refused = request(9);
  refused.agreeToSkip = [&asked](const UnprintableRecords& found) {
    asked.push_back(found);
    return false;
  };
  EXPECT_EQ(print(refused), 0);
  EXPECT_TRUE(sink.jobs.empty());
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].count, 7);
  EXPECT_EQ(asked[0].firstBarcodes,
            (std::vector<std::string>{"low-abc1", "SP\xC9#CIAL@1", std::string(30, 'L'), "A*0", "A*1"}));
  EXPECT_EQ(unprintableQuestion(asked[0]),
            "7 fiche(s) dont le code barre ne peut pas s'imprimer tel quel sur ces \xE9tiquettes "
            "(caract\xE8re absent du Code 39, ou trop long pour l'\xE9tiquette) :\n"
            "    low-abc1\n    SP\xC9#CIAL@1\n    " +
                std::string(30, 'L') +
                "\n    A*0\n    A*1\n    ...\n"
                "Imprimer les autres fiches ? Les \xE9tiquettes de celles-ci resteront blanches.");
  // Without anyone to ask, nothing is printed either.
  EXPECT_EQ(print(request(9)), 0);
  EXPECT_TRUE(sink.jobs.empty());

  PrintRequest agreed = request(9);
  agreed.agreeToSkip = [](const UnprintableRecords&) { return true; };
  EXPECT_EQ(print(agreed), 1);
  ASSERT_EQ(sink.jobs.size(), 1u);
  // The records keep their places; the painter leaves those labels blank.
  EXPECT_EQ(sink.jobs[0].values.at("cb1"), "OK-1");
  EXPECT_EQ(sink.jobs[0].values.at("cb2"), "low-abc1");
}

TEST_F(PrintRunTable, NoQuantityOrNoBarcodeIsNeverPrinted) {
  add("ZERO", 0);
  add("NEG", -2);
  add("", 5);
  add("   ", 5);  // stored as blanks: the table gives an empty barcode
  for (bool every : {false, true}) {
    PrintRequest all = request(1);
    all.printEveryRecord = every;
    EXPECT_EQ(print(all), 0) << every;
  }
  EXPECT_TRUE(sink.jobs.empty());
  // Nothing selected: the layout set is opened and closed and no slot is touched.
  EXPECT_EQ(sink.calls.size(), 4u);
  add("OK", 2);
  EXPECT_EQ(print(request(1)), 1);
  EXPECT_EQ(sink.jobs[0].values.at("cb2"), "OK");
  EXPECT_EQ(sink.jobs[0].values.at("cb3"), "");
}

TEST_F(PrintRunTable, CriteriaAndOrderOfTheListOrEveryRecordInTableOrder) {
  add("B1", 1, "O");
  add("A1", 3, "N");
  add("A2", 2, "O");
  add("C1", 2, "N");
  // Matching records only, by descending quantity and then barcode: A1 A1 A1 A2 A2 C1 C1 B1.
  const auto barcodes = [](const RecordingSink::Job& job) {
    std::string text;
    for (int p = 1; p <= 12 && !job.values.at("cb" + std::to_string(p)).empty(); ++p) {
      text += job.values.at("cb" + std::to_string(p)) + " ";
    }
    return text;
  };
  EXPECT_EQ(print(request(1, "", {SortColumn::Quantity, true})), 1);
  EXPECT_EQ(barcodes(sink.jobs.back()), "A1 A1 A1 A2 A2 C1 C1 B1 ");
  EXPECT_EQ(print(request(1, " cb like \"A%\"", {SortColumn::Barcode, true})), 1);
  EXPECT_EQ(barcodes(sink.jobs.back()), "A2 A2 A1 A1 A1 ");
  EXPECT_EQ(print(request(1, " topp=\"N\"", {SortColumn::None, true})), 1);
  EXPECT_EQ(barcodes(sink.jobs.back()), "A1 A1 A1 C1 C1 ");
  PrintRequest every = request(1, " topp=\"N\"", {SortColumn::Quantity, true});
  every.printEveryRecord = true;
  EXPECT_EQ(print(every), 1);
  EXPECT_EQ(sink.jobs.back().removed, range(9, 12));
}

TEST_F(PrintRunTable, TextSwitchesAndTheDefaultPrinter) {
  add("A", 2, "O", "un", "deux");
  PrintRequest noText1 = request(3);
  noText1.text.printText1 = false;
  noText1.printerName.clear();
  EXPECT_EQ(print(noText1), 1);
  const auto& values = sink.jobs.at(0).values;
  EXPECT_EQ(values.at("cb2"), "A");
  EXPECT_EQ(values.at("cbliba2"), "");
  EXPECT_EQ(values.at("cblibb2"), "deux");
  EXPECT_EQ(sink.jobs[0].printer, "");
}

TEST_F(PrintRunTable, NoTypeNumberDoesNothing) {
  add("A", 1);
  PrintRequest none = request(1);
  for (const std::string entry : {"", "12 etiquettes", "L7159 (24 etiquettes : 3X8)"}) {
    none.labelTypeEntry = entry;
    EXPECT_EQ(print(none), 0) << entry;
  }
  none.labelTypeEntry = "unknown" + std::string(150, ' ') + "13";
  EXPECT_EQ(print(none), 0);
  EXPECT_TRUE(sink.calls.empty());
}

TEST_F(PrintRunTable, ErrorsEndTheRunAndCloseTheQueryAndTheLayoutSet) {
  add("A", 12);
  add("B", 12);
  // A criterion typed with a double quote, pasted raw, breaks the statement.
  EXPECT_THROW(print(request(1, " cb like \"A\"%\"")), std::exception);
  EXPECT_TRUE(sink.jobs.empty());
  EXPECT_FALSE(sink.isOpen);
  EXPECT_FALSE(data.sqlqueryfonction.Active());

  sink.failAtJob = 2;
  EXPECT_THROW(print(request(1)), EReportError);
  EXPECT_EQ(sink.jobs.size(), 1u);  // the first sheet stays printed
  EXPECT_FALSE(sink.isOpen);
  EXPECT_FALSE(data.sqlqueryfonction.Active());
}

TEST_F(PrintRunTable, FirstPositionStartsTheRunOnAUsedSheetAndMustBeOnTheSheet) {
  add("A", 3);
  PrintRequest used = request(3);  // 21 positions
  used.firstPosition = 20;
  EXPECT_EQ(print(used), 2);
  EXPECT_EQ(sink.jobs[0].values.at("cb19"), "");
  EXPECT_EQ(sink.jobs[0].values.at("cb20"), "A");
  EXPECT_EQ(sink.jobs[0].values.at("cb21"), "A");
  EXPECT_EQ(sink.jobs[0].removed, range(1, 19));
  EXPECT_EQ(sink.jobs[1].values.at("cb1"), "A");
  EXPECT_EQ(sink.jobs[1].removed, range(2, 21));

  sink.jobs.clear();
  sink.calls.clear();
  for (int outside : {0, -1, 22, 1000}) {
    used.firstPosition = outside;
    EXPECT_THROW(
        {
          try {
            print(used);
          } catch (const EReportError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "The first position " + std::to_string(outside) + " is not on a sheet of 21 labels");
            throw;
          }
        },
        EReportError);
  }
  EXPECT_TRUE(sink.jobs.empty());
  EXPECT_TRUE(sink.calls.empty());
}

// Counts the jobs that reach the output and the printer each one was meant for.
class CountingDestination : public PageDestination {
 public:
  void printPage(const TLabelLayout& layout, const std::string& printerName, const PagePainter&) override {
    jobs.push_back(layout.name + "@" + printerName);
  }
  std::vector<std::string> jobs;
};

TEST_F(PrintRunTable, ThroughTheReportEveryJobReachesTheDestination) {
  add("A", 20);
  add("B", 5);
  CountingDestination destination;
  LabelReport report(destination);
  EXPECT_EQ(PrintLabels(data.sqlqueryfonction, report, data.programDirectory(), request(6)), 2);
  EXPECT_EQ(destination.jobs, (std::vector<std::string>{"etiquette6@Office", "etiquette6@Office"}));
  EXPECT_FALSE(report.isOpen());
}

// The symbols of every position of a rendered sheet, decoded one position at a time in
// position order ("" where zbarimg finds none).
std::vector<std::string> decodePositions(const QImage& page, const TLabelLayout& layout, int dpi,
                                         const vekrano::testing::TempDir& dir) {
  using testing::px;
  std::vector<std::string> files;
  for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
    const TLabelPosition& at = layout.positions[p - 1];
    const QImage label =
        page.copy(px(at.barLeft - 4, dpi), px(at.barTop - 1, dpi), px(50, dpi), px(at.barHeight + 2, dpi));
    files.push_back(dir.file("position" + std::to_string(p) + ".png"));
    EXPECT_TRUE(label.save(QString::fromStdString(files.back())));
  }
  std::vector<std::string> decoded;
  for (const std::string& file : files) {
    int exitCode = 0;
    std::string text = testing::runProgram({"zbarimg", "-q", "--raw", file}, &exitCode);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    decoded.push_back(exitCode == 0 ? text : "");
  }
  return decoded;
}

TEST_F(PrintRunTable, APdfOfTheRunDecodesPositionByPositionAcrossSheets) {
  // 15 positions per sheet (type 8): 17 labels give a full sheet and two labels on the next.
  for (int i = 1; i <= 13; ++i) add("VK-" + std::to_string(100 + i), 1);
  add("abc-9", 2);  // would scan as -9: its two labels stay blank
  add("Z.Z", 2);
  const std::string pdf = directory.file("run.pdf");
  {
    PdfDestination destination(pdf);
    LabelReport report(destination);
    PrintRequest agreed = request(8);
    agreed.agreeToSkip = [](const UnprintableRecords&) { return true; };
    EXPECT_EQ(PrintLabels(data.sqlqueryfonction, report, data.programDirectory(), agreed), 2);
    EXPECT_EQ(destination.pages(), 2);
  }
  int exitCode = 0;
  testing::runProgram({"pdftoppm", "-r", "300", "-gray", "-png", pdf, directory.file("sheet")}, &exitCode);
  ASSERT_EQ(exitCode, 0);
  std::vector<std::string> expected;
  for (int i = 1; i <= 13; ++i) expected.push_back("VK-" + std::to_string(100 + i));
  expected.insert(expected.end(), {"", "", "Z.Z", "Z.Z"});
  expected.resize(30);  // the second sheet's empty positions print no symbol

  std::vector<std::string> decoded;
  const TLabelLayout& layout = *Layout("etiquette8");
  for (const char* file : {"sheet-1.png", "sheet-2.png"}) {
    const QImage page(QString::fromStdString(directory.file(file)));
    ASSERT_FALSE(page.isNull()) << file;
    for (const std::string& text : decodePositions(page, layout, 300, directory)) {
      decoded.push_back(text);
    }
  }
  EXPECT_EQ(decoded, expected);
}

}  // namespace
}  // namespace vekrano::printing
