// The preview of a print run: the run's pages kept instead of printed, painted on demand when
// they are shown, and sent to the printer afterwards if the user wants them.
#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "printing/label_report.h"
#include "printing/page_destinations.h"

namespace vekrano::printing {

// A page of a run, kept with the printer it was meant for.
struct KeptPage {
  const TLabelLayout* layout = nullptr;
  std::string printerName;
  PagePainter paint;
};

// Keeps every page it is given; nothing is painted until a page is shown.
class PreviewDestination : public PageDestination {
 public:
  void printPage(const TLabelLayout& layout, const std::string& printerName, const PagePainter& paint) override;
  const std::vector<KeptPage>& pages() const { return pages_; }

 private:
  std::vector<KeptPage> pages_;
};

// The page as printing it on its printer paints it (with that printer's calibration among
// `calibrations`), the places of unprintable barcodes crossed out, rendered at `dotsPerInch` as
// renderPageImage does.
QImage renderKeptPage(const KeptPage& page, const PrinterCalibrations& calibrations, int dotsPerInch);

// Sends the pages to `destination` in order, one job each, with the feedback of `status` (may
// be nullptr), letting pending events through between pages. Returns the jobs sent. Raises the
// destination's errors; the pages already sent stay sent.
int printKeptPages(const std::vector<KeptPage>& pages, PageDestination& destination, ReportStatus* status);

}  // namespace vekrano::printing
