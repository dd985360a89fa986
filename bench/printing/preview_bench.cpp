// Opening the preview of 10,000 labels from the record table, as the Printing page's preview
// button does (the query, the sheets kept, the window shown with its first page painted), beside
// printing one page (a sheet of 10 labels, run and written as a PDF job), timed in the same
// iterations. The goal: the preview opens in about a second, holds a few page images at most,
// and its memory is far below that of the sheets as images.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>

#include "bench_article_table.h"
#include "common/process_events.h"
#include "languages/interface_texts.h"
#include "list/list_criteria.h"
#include "printing/label_print_run.h"
#include "printing/page_destinations.h"
#include "printing/print_preview_window.h"

namespace {

using namespace vekrano;
using Clock = std::chrono::steady_clock;

constexpr int kLabelType = 2;  // 24 labels a sheet: 417 sheets for 10,000 labels

printing::PrintRequest requestFor(const std::string& barcodePrefix) {
  printing::PrintRequest request;
  request.labelTypeEntry = bench::typeEntry(kLabelType);
  request.criteriaText = list::criteriaText({barcodePrefix, "", "", {}});
  return request;
}

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void BM_OpenPreviewBesideOnePage(benchmark::State& state) {
  records::ArticleData& data = bench::table().data;
  const printing::PrintRequest everyLabel = requestFor("VK0");
  const printing::PrintRequest onePage = requestFor("VK0000");
  const printing::PrinterCalibrations calibrations = {{"", {1.0, -0.5, 99.0}}};
  const std::string pdfPath = bench::table().directory.filePath("page.pdf").toStdString();

  double previewSeconds = 0;
  double onePageSeconds = 0;
  double growthMegabytes = 0;
  std::size_t pages = 0;
  std::size_t imagesHeld = 0;
  for (auto _ : state) {
    const double residentBefore = bench::statusMegabytes("VmRSS:");
    bench::resetPeakMemory();
    const auto previewStart = Clock::now();
    {
      printing::PreviewDestination preview;
      printing::LabelReport report(preview);
      printing::PrintLabels(data.sqlqueryfonction, report, data.programDirectory(), everyLabel);
      printing::LabelPreviewWindow window(preview.pages(), calibrations);
      window.show();
      QCoreApplication::processEvents();
      pages = preview.pages().size();
      imagesHeld = window.imagesHeld();
      previewSeconds += secondsSince(previewStart);
      growthMegabytes = bench::statusMegabytes("VmHWM:") - residentBefore;
    }

    const auto pageStart = Clock::now();
    {
      printing::PdfDestination pdf(pdfPath);
      printing::LabelReport report(pdf);
      printing::PrintLabels(data.sqlqueryfonction, report, data.programDirectory(), onePage);
      pdf.finish();
    }
    onePageSeconds += secondsSince(pageStart);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["pages"] = static_cast<double>(pages);
  state.counters["images_held"] = static_cast<double>(imagesHeld);
  state.counters["preview_ms"] = previewSeconds / runs * 1000;
  state.counters["one_page_ms"] = onePageSeconds / runs * 1000;
  state.counters["preview_vs_one_page"] = previewSeconds / onePageSeconds;
  state.counters["preview_growth_MB"] = growthMegabytes;
}
BENCHMARK(BM_OpenPreviewBesideOnePage)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  languages::setLanguageNumber(languages::kFrench);
  common::setProcessEventsHook([] { QCoreApplication::processEvents(); });
  bench::table();  // built before the timing starts
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  common::setProcessEventsHook({});
  return 0;
}
