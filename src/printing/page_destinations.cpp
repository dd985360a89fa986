// Page output through QPrinter, QPdfWriter and QImage. Every device is set to full-page
// coordinates so that layout millimetres count from the paper's corner.
#include "printing/page_destinations.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QIODevice>
#include <QPrinter>
#include <QPrinterInfo>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <exception>
#include <filesystem>
#include <utility>
#include <vector>

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
  return QPageLayout(pageSizeOf(layout), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
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

PagePainter calibratedForPrinter(const PrinterCalibrations& calibrations, const std::string& printerName,
                                 PagePainter paint) {
  // Asking the print server for the default printer's name is kept to runs that need it.
  if (calibrations.empty()) return paint;
  const PrinterCalibration calibration = calibrationOf(calibrations, calibratedPrinterName(printerName));
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

// The PDF's bytes go to a new file beside the target through plain system calls, each one
// checked (Qt's own file reports a short write at its last flush as success). The file takes
// the target's name only when every byte and the sync went through.
class PdfOutputFile : public QIODevice {
 public:
  explicit PdfOutputFile(std::string target) : target_(std::move(target)) {}
  ~PdfOutputFile() override { discard(); }

  // Creates the file beside the target; throws EReportError with the cause when it cannot.
  void create() {
    const std::filesystem::path target(target_);
    partial_ = (target.parent_path() / ("." + target.filename().string() + "-XXXXXX")).string();
    fd_ = ::mkstemp(partial_.data());
    if (fd_ < 0) {
      partial_.clear();
      fail(errno);
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
    buffer_.reserve(kBufferSize);
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  }

  // Puts the file in the target's place; throws EReportError with the cause of the first
  // failed write, sync or rename, the file removed.
  void commit() {
    close();
    if (cause_ == 0) flushBuffer();
    int cause = cause_;
    if (cause == 0 && ::fsync(fd_) != 0) cause = errno;
    if (::close(std::exchange(fd_, -1)) != 0 && cause == 0) cause = errno;
    if (cause == 0 && ::rename(partial_.c_str(), target_.c_str()) != 0) cause = errno;
    if (cause == 0) partial_.clear();
    discard();
    if (cause != 0) fail(cause);
  }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  // The PDF writer hands over a few bytes at a time: they go to the file a buffer at once.
  qint64 writeData(const char* data, qint64 length) override {
    if (cause_ != 0) return -1;
    const auto size = static_cast<std::size_t>(length);
    if (buffer_.size() + size > kBufferSize && !flushBuffer()) return -1;
    if (size >= kBufferSize) return writeAll(data, size) ? length : -1;
    buffer_.insert(buffer_.end(), data, data + size);
    return length;
  }

 private:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  // False, with the cause kept, when the file took fewer bytes than given.
  bool writeAll(const char* data, std::size_t length) {
    for (std::size_t done = 0; done < length;) {
      const ssize_t n = ::write(fd_, data + done, length - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        if (cause_ == 0) cause_ = n < 0 ? errno : EIO;
        return false;
      }
      done += static_cast<std::size_t>(n);
    }
    return true;
  }
  bool flushBuffer() {
    const bool written = writeAll(buffer_.data(), buffer_.size());
    buffer_.clear();
    return written;
  }

  [[noreturn]] void fail(int cause) const {
    throw EReportError("Cannot write the PDF file " + target_ + ": " + std::strerror(cause));
  }
  void discard() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (!partial_.empty()) ::unlink(partial_.c_str());
    partial_.clear();
  }

  std::string target_;
  std::string partial_;
  int fd_ = -1;
  int cause_ = 0;  // errno of the first failed write
  std::vector<char> buffer_;  // bytes not yet written, at most kBufferSize
};

PdfDestination::PdfDestination(const std::string& path, int dotsPerInch) : path_(path), dotsPerInch_(dotsPerInch) {}

PdfDestination::~PdfDestination() {
  if (end_.unwinding()) {
    // An unfinished job: its pages are dropped and any earlier file stays as it was.
    if (painter_) painter_->end();
    painter_.reset();
    writer_.reset();
    file_.reset();
    return;
  }
  try {
    finish();
  } catch (const EReportError&) {
    // Nothing can be reported from here; the file was left as it was.
  }
}

void PdfDestination::printPage(const TLabelLayout& layout, const std::string&, const PagePainter& paint) {
  if (!painter_) {
    auto file = std::make_unique<PdfOutputFile>(path_);
    file->create();
    file_ = std::move(file);
    writer_ = std::make_unique<QPdfWriter>(file_.get());
    writer_->setResolution(dotsPerInch_);
    writer_->setTitle(QString::fromLatin1(kJobTitle));
    writer_->setPageLayout(fullPageLayout(layout));
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(writer_.get())) {
      painter_.reset();
      writer_.reset();
      file_.reset();
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
  if (!file_) return;
  const std::unique_ptr<PdfOutputFile> file = std::move(file_);
  file->commit();
}

QImage renderPageImage(const TLabelLayout& layout, int dotsPerInch, const PagePainter& paint) {
  const int width = static_cast<int>(std::lround(layout.pageWidthMm() / kMmPerInch * dotsPerInch));
  const int height = static_cast<int>(std::lround(layout.pageHeightMm() / kMmPerInch * dotsPerInch));
  QImage image(width, height, QImage::Format_Grayscale8);
  const int dotsPerMetre = static_cast<int>(std::lround(dotsPerInch / kMetresPerInch));
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(Qt::white);
  QPainter painter(&image);
  paint(painter);
  return image;
}

void ImageDestination::printPage(const TLabelLayout& layout, const std::string& printerName, const PagePainter& paint) {
  pages_.push_back(
      {renderPageImage(layout, dotsPerInch_, calibratedForPrinter(calibrations_, printerName, paint)), printerName});
}

}  // namespace vekrano::printing
