#include "printing/print_run.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "page_measure.h"
#include "recording_sink.h"
#include "printing/label_layouts.h"
#include "printing/label_report.h"
#include "printing/report_status_window.h"

namespace vekrano::printing {
namespace {

LabelRecord record(const std::string& cb, int quantite) { return {cb, "first " + cb, "second " + cb, quantite}; }

int fill(RecordingSink& sink, int n, const std::vector<LabelRecord>& records, LabelTextOptions options = {}) {
  return fillLabelSheets(sink, "etiquette" + std::to_string(n),
                         Layout("etiquette" + std::to_string(n))->labelsPerSheet(), "Office", records, options);
}

TEST(PrintRun, FullSheetsAndTheLastPartialSheet) {
  RecordingSink exact;
  EXPECT_EQ(fill(exact, 1, {record("A", 12)}), 1);
  ASSERT_EQ(exact.jobs.size(), 1u);
  EXPECT_TRUE(exact.jobs[0].removed.empty());
  EXPECT_EQ(exact.jobs[0].values.at("cb12"), "A");
  EXPECT_EQ(exact.jobs[0].printer, "Office");

  RecordingSink over;
  EXPECT_EQ(fill(over, 1, {record("A", 13)}), 2);
  ASSERT_EQ(over.jobs.size(), 2u);
  EXPECT_TRUE(over.jobs[0].removed.empty());
  EXPECT_EQ(over.jobs[1].removed, range(2, 12));
  EXPECT_EQ(over.jobs[1].values.at("cb1"), "A");
  EXPECT_EQ(over.jobs[1].values.at("cb2"), "");
  EXPECT_EQ(over.jobs[1].values.at("cbliba2"), "");

  RecordingSink two;
  EXPECT_EQ(fill(two, 9, {record("A", 1), record("B", 1)}), 1);
  ASSERT_EQ(two.jobs.size(), 1u);
  EXPECT_EQ(two.jobs[0].removed, range(3, 44));
  EXPECT_EQ(two.jobs[0].values.at("cb1"), "A");
  EXPECT_EQ(two.jobs[0].values.at("cb2"), "B");
  EXPECT_EQ(two.slotsSet(), 3 * 44);
}

TEST(PrintRun, RecordsRunOverOntoTheNextSheet) {
  RecordingSink sink;
  EXPECT_EQ(fill(sink, 6, {record("A", 20), record("B", 5)}), 2);
  ASSERT_EQ(sink.jobs.size(), 2u);
  const auto& first = sink.jobs[0].values;
  EXPECT_EQ(first.at("cb1"), "A");
  EXPECT_EQ(first.at("cb20"), "A");
  EXPECT_EQ(first.at("cbliba20"), "first A");
  EXPECT_EQ(first.at("cb21"), "B");
  EXPECT_EQ(first.at("cblibb21"), "second B");
  const auto& second = sink.jobs[1].values;
  for (int p = 1; p <= 4; ++p) EXPECT_EQ(second.at("cb" + std::to_string(p)), "B");
  EXPECT_EQ(second.at("cb5"), "");
  EXPECT_EQ(second.at("cbliba5"), "");
  EXPECT_EQ(sink.jobs[1].removed, range(5, 21));

  // A run of L labels sends ceil(L / N) jobs.
  RecordingSink many;
  EXPECT_EQ(fill(many, 5, {record("A", 999), record("B", 0), record("C", 48)}), 44);
  EXPECT_EQ(many.jobs.back().removed, range(16, 24));  // 1047 = 43 x 24 + 15
}

TEST(PrintRun, NoLabelMeansNoJob) {
  RecordingSink none;
  EXPECT_EQ(fill(none, 1, {}), 0);
  EXPECT_EQ(none.slotsSet(), 0);
  RecordingSink zero;
  EXPECT_EQ(fill(zero, 1, {record("A", 0), record("B", -3)}), 0);
  EXPECT_TRUE(zero.jobs.empty());
}

TEST(PrintRun, TextSwitchesBlankTheirLineOnly) {
  RecordingSink sink;
  fill(sink, 1, {record("A", 2)}, {.printText1 = false, .printText2 = true});
  const auto& values = sink.jobs.at(0).values;
  EXPECT_EQ(values.at("cb2"), "A");
  EXPECT_EQ(values.at("cbliba2"), "");
  EXPECT_EQ(values.at("cblibb2"), "second A");
  RecordingSink neither;
  fill(neither, 1, {record("A", 1)}, {.printText1 = true, .printText2 = false});
  EXPECT_EQ(neither.jobs.at(0).values.at("cbliba1"), "first A");
  EXPECT_EQ(neither.jobs.at(0).values.at("cblibb1"), "");
}

int fillFrom(RecordingSink& sink, int n, int firstPosition, const std::vector<LabelRecord>& records) {
  const std::string layoutName = "etiquette" + std::to_string(n);
  return fillLabelSheets(sink, layoutName, Layout(layoutName)->labelsPerSheet(), "Office", records, {}, firstPosition);
}

// The positions that hold a barcode on a job, in order, as "p=value".
std::vector<std::string> filled(const RecordingSink::Job& job, int n) {
  std::vector<std::string> positions;
  for (int p = 1; p <= n; ++p) {
    const std::string& value = job.values.at("cb" + std::to_string(p));
    if (!value.empty()) positions.push_back(std::to_string(p) + "=" + value);
  }
  return positions;
}

TEST(PrintRun, FirstPositionOnAPartlyUsedSheet) {
  // layout number, positions N, first position P, labels L.
  struct Case {
    int layout;
    int n;
    int first;
    int labels;
  };
  for (const Case c :
       {Case{1, 12, 5, 3}, Case{1, 12, 12, 1}, Case{1, 12, 12, 2}, Case{1, 12, 4, 30}, Case{6, 21, 15, 7},
        Case{6, 21, 15, 8}, Case{6, 21, 2, 41}, Case{9, 44, 44, 45}, Case{9, 44, 37, 100}, Case{9, 44, 1, 44}}) {
    const std::string what =
        "N=" + std::to_string(c.n) + " P=" + std::to_string(c.first) + " L=" + std::to_string(c.labels);
    RecordingSink sink;
    const int jobs = fillFrom(sink, c.layout, c.first, {record("A", c.labels - 1), record("B", 1)});
    const int expectedJobs = (c.first - 1 + c.labels + c.n - 1) / c.n;
    EXPECT_EQ(jobs, expectedJobs) << what;
    ASSERT_EQ(static_cast<int>(sink.jobs.size()), expectedJobs) << what;

    // The first sheet: nothing before P, the labels from P on, the used positions without
    // barcode and text.
    const RecordingSink::Job& first = sink.jobs[0];
    const int lastOnFirst = std::min(c.n, c.first - 1 + c.labels);
    for (int p = 1; p < c.first; ++p) {
      EXPECT_EQ(first.values.at("cb" + std::to_string(p)), "") << what << " p=" << p;
      EXPECT_EQ(first.values.at("cbliba" + std::to_string(p)), "") << what << " p=" << p;
      EXPECT_EQ(first.values.at("cblibb" + std::to_string(p)), "") << what << " p=" << p;
    }
    EXPECT_EQ(filled(first, c.n).size(), static_cast<std::size_t>(lastOnFirst - c.first + 1)) << what;
    EXPECT_EQ(filled(first, c.n).front(), std::to_string(c.first) + "=" + (c.labels == 1 ? "B" : "A")) << what;
    std::set<int> removedOnFirst = range(1, c.first - 1);
    if (expectedJobs == 1) removedOnFirst.merge(range(lastOnFirst + 1, c.n));
    EXPECT_EQ(first.removed, removedOnFirst) << what;

    // The next sheets start at position 1 with every barcode back; the last loses its empty ones.
    const int labelsLeft = c.first - 1 + c.labels - c.n;
    for (int sheet = 1; sheet < expectedJobs; ++sheet) {
      const RecordingSink::Job& job = sink.jobs[sheet];
      const bool last = sheet == expectedJobs - 1;
      const int onSheet = last ? labelsLeft - (expectedJobs - 2) * c.n : c.n;
      EXPECT_EQ(job.values.at("cb1"), onSheet == 1 && last ? "B" : "A") << what << " sheet " << sheet;
      EXPECT_EQ(job.removed, last ? range(onSheet + 1, c.n) : std::set<int>{}) << what;
      EXPECT_EQ(filled(job, c.n).size(), static_cast<std::size_t>(onSheet)) << what;
    }
    EXPECT_EQ(filled(sink.jobs.back(), c.n).back().substr(filled(sink.jobs.back(), c.n).back().find('=')), "=B")
        << what;
  }
}

// The whole chain: a run through the label report onto page images.
TEST(PrintRun, ThroughTheReportEmptyPositionsLoseTheirBarcodes) {
  ImageDestination destination(150);
  LabelReport report(destination);
  report.open(kLayoutFileName);
  EXPECT_EQ(fillLabelSheets(report, "ETIQUETTE1", 12, "", std::vector{record("A", 13)}, {}), 2);
  ASSERT_EQ(destination.pages().size(), 2u);
  EXPECT_EQ(destination.pages()[1].printerName, "");
  const auto barAt = [](const QImage& image, int p) {
    const TLabelPosition& position = Layout("etiquette1")->positions[p - 1];
    return testing::anyDark(image, testing::px(position.barLeft, 150), testing::px(position.barTop + 1, 150),
                            testing::px(8, 150), 1);
  };
  for (int p = 1; p <= 12; ++p) EXPECT_TRUE(barAt(destination.pages()[0].image, p)) << p;
  EXPECT_TRUE(barAt(destination.pages()[1].image, 1));
  for (int p = 2; p <= 12; ++p) EXPECT_FALSE(barAt(destination.pages()[1].image, p)) << p;

  // Closing restores the barcodes and forgets the slots: an empty sheet prints every start/stop.
  report.close();
  EXPECT_THROW(report.printLayout("etiquette1"), EReportError);
  report.open(kLayoutFileName);
  report.printLayout("etiquette1");
  for (int p = 1; p <= 12; ++p) EXPECT_TRUE(barAt(destination.pages()[2].image, p)) << p;
  EXPECT_FALSE(testing::anyDark(destination.pages()[2].image, 0, testing::px(35, 150), testing::px(200, 150),
                                testing::px(10, 150)));
  EXPECT_THROW(report.printLayout("etiquette13"), EReportError);
}

// The report prints the used positions of the first sheet bare, and every barcode again on the
// next sheet.
TEST(PrintRun, ThroughTheReportOnlyTheFirstSheetSkipsItsUsedPositions) {
  ImageDestination destination(150);
  LabelReport report(destination);
  report.open(kLayoutFileName);
  EXPECT_EQ(fillLabelSheets(report, "etiquette1", 12, "", std::vector{record("A", 20)}, {}, 6), 3);
  ASSERT_EQ(destination.pages().size(), 3u);
  const auto barAt = [](const QImage& image, int p) {
    const TLabelPosition& position = Layout("etiquette1")->positions[p - 1];
    return testing::anyDark(image, testing::px(position.barLeft, 150), testing::px(position.barTop + 1, 150),
                            testing::px(8, 150), 1);
  };
  for (int p = 1; p <= 12; ++p) EXPECT_EQ(barAt(destination.pages()[0].image, p), p >= 6) << p;
  for (int p = 1; p <= 12; ++p) EXPECT_TRUE(barAt(destination.pages()[1].image, p)) << p;
  for (int p = 1; p <= 12; ++p) EXPECT_EQ(barAt(destination.pages()[2].image, p), p <= 1) << p;
}

// Checks that the status window is up, with its text, while the page is painted.
class WatchingDestination : public PageDestination {
 public:
  explicit WatchingDestination(const ReportStatusWindow& window) : window_(window) {}
  void printPage(const TLabelLayout&, const std::string&, const PagePainter&) override {
    visible = window_.isVisible();
    text = window_.statusText();
    title = window_.windowTitle();
  }
  bool visible = false;
  QString text;
  QString title;

 private:
  const ReportStatusWindow& window_;
};

TEST(PrintRun, StatusWindowShowsWhilePrinting) {
  ReportStatusWindow window;
  WatchingDestination destination(window);
  LabelReport report(destination, &window);
  report.open(kLayoutFileName);
  report.printLayout("etiquette3");
  EXPECT_TRUE(destination.visible);
  EXPECT_EQ(destination.text, QString("Printing page 1"));
  EXPECT_EQ(destination.title, QString("Report Status"));
  EXPECT_FALSE(window.isVisible());
  window.pageStarted(12);
  EXPECT_EQ(window.statusText(), QString("Printing page 12"));
}

// A printer that is not installed is reported, never silently turned into a file.
TEST(PrintRun, UnknownPrinterIsAnError) {
  PrinterDestination printer;
  LabelReport report(printer);
  report.open(kLayoutFileName);
  report.setLayoutPrinter("etiquette1", "No such printer 42");
  EXPECT_THROW(report.printLayout("etiquette1"), EReportError);
}

}  // namespace
}  // namespace vekrano::printing
