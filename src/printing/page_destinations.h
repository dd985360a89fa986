// Where the label report's pages go: a printer chosen by name (one job per page), one PDF
// document, or images. All of them paint through the same page painter.
#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/exception.h"
#include "common/scope_exit.h"
#include "printing/label_layouts.h"
#include "printing/printer_calibration.h"

class QPainter;
class QPdfWriter;

namespace vekrano::printing {

// A failure of the report engine while printing or writing a page.
class EReportError : public common::Exception {
 public:
  using common::Exception::Exception;
};

// Draws one page on a painter whose origin is the page's top-left corner. The pages of the label
// report own what they draw: a destination may keep them and paint them again.
using PagePainter = std::function<void(QPainter&)>;

class PageDestination {
 public:
  virtual ~PageDestination() = default;
  // Puts one page of `layout` out as one job for `printerName` (empty: the default printer;
  // destinations that are not printers ignore it). Throws EReportError when the output fails.
  virtual void printPage(const TLabelLayout& layout, const std::string& printerName, const PagePainter& paint) = 0;
};

// Moves and scales what `painter` paints next as `calibration` says, about the page's corner.
// REQUIRES: the painter is active and its origin is the page's top-left corner.
void applyCalibration(QPainter& painter, const PrinterCalibration& calibration);

// `paint` preceded by the calibration of `printerName` among `calibrations`, as the printer
// destination paints its pages.
PagePainter calibratedForPrinter(const PrinterCalibrations& calibrations, const std::string& printerName,
                                 PagePainter paint);

// The name under which the calibration of `printerName` is kept: the name itself, or the name
// of the system's default printer (ANSI; empty when there is none) for the empty name.
std::string calibratedPrinterName(const std::string& printerName);

// Each page is a print job of its own, titled "Vekrano", sent without any dialog to the printer
// of that name, from the paper's corner, with that printer's calibration.
class PrinterDestination : public PageDestination {
 public:
  explicit PrinterDestination(PrinterCalibrations calibrations = {}) : calibrations_(std::move(calibrations)) {}
  void printPage(const TLabelLayout& layout, const std::string& printerName, const PagePainter& paint) override;

 private:
  PrinterCalibrations calibrations_;
};

// Every page goes to one PDF file, one PDF page per job. The pages are written beside the file
// and take its name only once all of them are on disk: a failed write (a full disk) leaves no
// truncated PDF, and any file of that name as it was.
class PdfDestination : public PageDestination {
 public:
  // Throws EReportError when the file cannot be created (at the first page).
  explicit PdfDestination(const std::string& path, int dotsPerInch = 600);
  // Completes the file as finish() does, failures unreported; while an exception is on its way
  // the pages are dropped instead.
  ~PdfDestination() override;
  void printPage(const TLabelLayout& layout, const std::string& printerName, const PagePainter& paint) override;
  // Completes the file; pages printed afterwards start a new file. Throws EReportError with
  // the cause when the file could not be written whole.
  void finish();
  int pages() const { return pages_; }

 private:
  std::string path_;
  int dotsPerInch_;
  std::unique_ptr<class PdfOutputFile> file_;
  std::unique_ptr<QPdfWriter> writer_;
  std::unique_ptr<QPainter> painter_;
  common::ScopeEnd end_;  // a job left by an exception is dropped
  int pages_ = 0;
};

// The page of `layout` rendered to a white grayscale image at `dotsPerInch`.
QImage renderPageImage(const TLabelLayout& layout, int dotsPerInch, const PagePainter& paint);

// Keeps every page as an image, with the printer it was meant for, painted with that printer's
// calibration as the printer destination paints it.
class ImageDestination : public PageDestination {
 public:
  explicit ImageDestination(int dotsPerInch, PrinterCalibrations calibrations = {})
      : dotsPerInch_(dotsPerInch), calibrations_(std::move(calibrations)) {}
  void printPage(const TLabelLayout& layout, const std::string& printerName, const PagePainter& paint) override;

  struct Page {
    QImage image;
    std::string printerName;
  };
  const std::vector<Page>& pages() const { return pages_; }

 private:
  int dotsPerInch_;
  PrinterCalibrations calibrations_;
  std::vector<Page> pages_;
};

}  // namespace vekrano::printing
