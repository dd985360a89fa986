// Renders label runs on the 24-label A4 sheet (etiquette5) into one PDF file and reports
// labels per second and the process's peak memory; the peak must not grow with the number of
// sheets, since every page is written out as soon as it is printed. Then one sheet as an image.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "printing/label_layouts.h"
#include "printing/label_painter.h"
#include "printing/label_report.h"
#include "printing/print_run.h"

namespace {

using namespace vekrano::printing;

constexpr int kLabelsPerRecord = 5;

std::vector<LabelRecord> records(int labels) {
  std::vector<LabelRecord> list;
  for (int i = 0; list.size() * kLabelsPerRecord < static_cast<std::size_t>(labels); ++i) {
    const std::string number = std::to_string(1000000 + i);
    list.push_back({"VK-" + number + " 01.2", "Article " + number, "Rayon " + std::to_string(i % 40) + " / " + number,
                    kLabelsPerRecord});
  }
  return list;
}

double peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

void BM_RenderLabelsToPdf(benchmark::State& state) {
  const int labels = static_cast<int>(state.range(0));
  const std::vector<LabelRecord> list = records(labels);
  QTemporaryDir dir;
  int jobs = 0;
  for (auto _ : state) {
    PdfDestination destination(dir.filePath("labels.pdf").toStdString());
    LabelReport report(destination);
    report.open(kLayoutFileName);
    jobs = fillLabelSheets(report, "etiquette5", 24, "", list, {});
    report.close();
    destination.finish();
  }
  state.counters["labels_per_second"] =
      benchmark::Counter(static_cast<double>(labels) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["sheets"] = jobs;
  state.counters["peak_memory_MB"] = peakMegabytes();
}
// Smaller runs first: the process's peak after the 10,000-label run shows any growth per sheet.
BENCHMARK(BM_RenderLabelsToPdf)->Arg(240)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// One full sheet of the same labels painted on a 600 dpi image, as the preview shows a page.
void BM_RenderSheetImage(benchmark::State& state) {
  const TLabelLayout& layout = *Layout("etiquette5");
  const std::vector<LabelRecord> list = records(layout.labelsPerSheet());
  auto sheet = std::make_shared<LabelSheet>();
  sheet->layout = &layout;
  for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
    const LabelRecord& record = list[(p - 1) / kLabelsPerRecord];
    sheet->values[barcodeSlot(p)] = record.cb;
    sheet->values[text1Slot(p)] = record.lib1;
    sheet->values[text2Slot(p)] = record.lib2;
  }
  const SheetPainter painter{sheet};
  for (auto _ : state) {
    const QImage image = renderPageImage(layout, 600, painter);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["sheets_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderSheetImage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
