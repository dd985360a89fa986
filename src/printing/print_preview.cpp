// Kept pages of a run and their later output.
#include "printing/print_preview.h"

#include "common/process_events.h"
#include "printing/label_painter.h"

namespace vekrano::printing {

void PreviewDestination::printPage(const TLabelLayout& layout, const std::string& printerName,
                                   const PagePainter& paint) {
  pages_.push_back({&layout, printerName, paint});
}

QImage renderKeptPage(const KeptPage& page, const PrinterCalibrations& calibrations, int dotsPerInch) {
  PagePainter paint = page.paint;
  if (const auto* sheet = page.paint.target<SheetPainter>()) {
    paint = SheetPainter{sheet->sheet, true};
  }
  return renderPageImage(*page.layout, dotsPerInch, calibratedForPrinter(calibrations, page.printerName, paint));
}

int printKeptPages(const std::vector<KeptPage>& pages, PageDestination& destination, ReportStatus* status) {
  int jobs = 0;
  for (const KeptPage& page : pages) {
    {
      StatusOfJob job(status);
      destination.printPage(*page.layout, page.printerName, page.paint);
    }
    ++jobs;
    common::processEvents();
  }
  return jobs;
}

}  // namespace vekrano::printing
