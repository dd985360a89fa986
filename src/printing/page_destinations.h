// Where the label report's pages go: a printer chosen by name (one job per page), one PDF
// document, or images. All of them paint through the same page painter.
#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/exception.h"
#include "printing/label_layouts.h"

class QPainter;
class QPdfWriter;

namespace vekrano::printing {

// A failure of the report engine while printing or writing a page.
class EReportError : public common::Exception {
 public:
  using common::Exception::Exception;
};

// Draws one page on a painter whose origin is the page's top-left corner.
using PagePainter = std::function<void(QPainter&)>;

class PageDestination {
 public:
  virtual ~PageDestination() = default;
  // Puts one page of `layout` out as one job for `printerName` (empty: the default printer;
  // destinations that are not printers ignore it). Throws EReportError when the output fails.
  virtual void printPage(const TLabelLayout& layout, const std::string& printerName,
                         const PagePainter& paint) = 0;
};

// Each page is a print job of its own, titled "Vekrano", sent without any dialog to the printer
// of that name, at 100 % from the paper's corner.
class PrinterDestination : public PageDestination {
 public:
  void printPage(const TLabelLayout& layout, const std::string& printerName,
                 const PagePainter& paint) override;
};

// Every page goes to one PDF file, one PDF page per job; pages are written out as they come.
class PdfDestination : public PageDestination {
 public:
  // Throws EReportError when the file cannot be created (at the first page).
  explicit PdfDestination(const std::string& path, int dotsPerInch = 600);
  ~PdfDestination() override;
  void printPage(const TLabelLayout& layout, const std::string& printerName,
                 const PagePainter& paint) override;
  // Completes the file; pages printed afterwards start a new file. Also done on destruction.
  void finish();
  int pages() const { return pages_; }

 private:
  std::string path_;
  int dotsPerInch_;
  std::unique_ptr<QPdfWriter> writer_;
  std::unique_ptr<QPainter> painter_;
  int pages_ = 0;
};

// The page of `layout` rendered to a white grayscale image at `dotsPerInch`.
QImage renderPageImage(const TLabelLayout& layout, int dotsPerInch, const PagePainter& paint);

// Keeps every page as an image, with the printer it was meant for.
class ImageDestination : public PageDestination {
 public:
  explicit ImageDestination(int dotsPerInch) : dotsPerInch_(dotsPerInch) {}
  void printPage(const TLabelLayout& layout, const std::string& printerName,
                 const PagePainter& paint) override;

  struct Page {
    QImage image;
    std::string printerName;
  };
  const std::vector<Page>& pages() const { return pages_; }

 private:
  int dotsPerInch_;
  std::vector<Page> pages_;
};

}  // namespace vekrano::printing
