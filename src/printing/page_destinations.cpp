// Page output through QPrinter, QPdfWriter and QImage. Every device is set to full-page
// coordinates so that layout millimetres count from the paper's corner.
#include "printing/page_destinations.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

#include "common/code_page.h"
#include "printing/device_scale.h"

namespace vekrano::printing {
namespace {

constexpr double kMetresPerInch = 0.0254;
const char* const kJobTitle = "Vekrano";

QPageSize pageSizeOf(const TLabelLayout& layout) {
  if (layout.page == PageSize::A4) return QPageSize(QPageSize::A4);
  return QPageSize(QSizeF(layout.pageWidthMm(), layout.pageHeightMm()), QPageSize::Millimeter);
}

QPageLayout fullPageLayout(const TLabelLayout& layout) {
  return QPageLayout(pageSizeOf(layout), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                     QPageLayout::Millimeter);
}

std::string describePrinter(const std::string& printerName) {
  return printerName.empty() ? "the default printer" : "printer \"" + printerName + "\"";
}

}  // namespace

void applyCalibration(QPainter& painter, const PrinterCalibration& calibration) {
  if (calibration.isIdentity()) return;
  painter.translate(DeviceScale(painter).at(calibration.offsetXMm, calibration.offsetYMm));
  painter.scale(calibration.scalePercent / 100.0, calibration.scalePercent / 100.0);
}

PagePainter calibratedForPrinter(const PrinterCalibrations& calibrations,
                                 const std::string& printerName, PagePainter paint) {
  // Asking the print server for the default printer's name is kept to runs that need it.
  if (calibrations.empty()) return paint;
  const PrinterCalibration calibration =
      calibrationOf(calibrations, calibratedPrinterName(printerName));
  if (calibration.isIdentity()) return paint;
  return [calibration, paint = std::move(paint)](QPainter& painter) {
    painter.save();
    applyCalibration(painter, calibration);
    paint(painter);
    painter.restore();
  };
}

std::string calibratedPrinterName(const std::string& printerName) {
  if (!printerName.empty()) return printerName;
  return common::utf8ToAnsi(QPrinterInfo::defaultPrinterName().toStdString());
}

void PrinterDestination::printPage(const TLabelLayout& layout, const std::string& printerName,
                                   const PagePainter& paint) {
  QPrinter printer(QPrinter::HighResolution);
  if (!printerName.empty()) {
    // With the print server running, Qt keeps its previous printer for a name it does not know.
    if (QPrinterInfo::printerInfo(QString::fromStdString(common::ansiToUtf8(printerName))).isNull()) {
      throw EReportError("Cannot print on " + describePrinter(printerName));
    }
    printer.setPrinterName(QString::fromStdString(common::ansiToUtf8(printerName)));
  }
  // Without such a printer Qt falls back to writing a PDF file; that is no print job.
  if (printer.outputFormat() != QPrinter::NativeFormat || !printer.isValid()) {
    throw EReportError("Cannot print on " + describePrinter(printerName));
  }
  printer.setDocName(QString::fromLatin1(kJobTitle));
  printer.setFullPage(true);
  printer.setPageLayout(fullPageLayout(layout));
  QPainter painter;
  if (!painter.begin(&printer)) {
    throw EReportError("Cannot start a print job on " + describePrinter(printerName));
  }
  calibratedForPrinter(calibrations_, printerName, paint)(painter);
  painter.end();
}

PdfDestination::PdfDestination(const std::string& path, int dotsPerInch)
    : path_(path), dotsPerInch_(dotsPerInch) {}

PdfDestination::~PdfDestination() { finish(); }

void PdfDestination::printPage(const TLabelLayout& layout, const std::string&,
                               const PagePainter& paint) {
  if (!painter_) {
    writer_ = std::make_unique<QPdfWriter>(QString::fromStdString(path_));
    writer_->setResolution(dotsPerInch_);
    writer_->setTitle(QString::fromLatin1(kJobTitle));
    writer_->setPageLayout(fullPageLayout(layout));
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(writer_.get())) {
      painter_.reset();
      writer_.reset();
      throw EReportError("Cannot write the PDF file " + path_);
    }
  } else {
    writer_->setPageLayout(fullPageLayout(layout));
    writer_->newPage();
  }
  paint(*painter_);
  ++pages_;
}

void PdfDestination::finish() {
  if (painter_) painter_->end();
  painter_.reset();
  writer_.reset();
}

QImage renderPageImage(const TLabelLayout& layout, int dotsPerInch, const PagePainter& paint) {
  const int width = static_cast<int>(std::lround(layout.pageWidthMm() / kMmPerInch * dotsPerInch));
  const int height =
      static_cast<int>(std::lround(layout.pageHeightMm() / kMmPerInch * dotsPerInch));
  QImage image(width, height, QImage::Format_Grayscale8);
  const int dotsPerMetre = static_cast<int>(std::lround(dotsPerInch / kMetresPerInch));
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(Qt::white);
  QPainter painter(&image);
  paint(painter);
  return image;
}

void ImageDestination::printPage(const TLabelLayout& layout, const std::string& printerName,
                                 const PagePainter& paint) {
  pages_.push_back(
      {renderPageImage(layout, dotsPerInch_, calibratedForPrinter(calibrations_, printerName, paint)),
       printerName});
}

}  // namespace vekrano::printing
