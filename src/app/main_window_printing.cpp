// The main window's Printing page: the print run to the chosen printer or into a PDF file, its
// preview, the first free position of a used sheet (remembered after a run on paper), and the
// chosen printer's calibration.
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <optional>

#include "app/desktop.h"
#include "app/label_count.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/work_feedback.h"
#include "common/prompts.h"
#include "common/wait_cursor.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"
#include "list/list_criteria.h"
#include "printing/label_print_run.h"
#include "printing/label_types.h"
#include "printing/page_destinations.h"
#include "printing/print_preview_window.h"
#include "printing/remembered_position.h"
#include "printing/report_status_window.h"
#include "printing/test_sheet.h"
#include "records/article_data.h"

namespace vekrano::app {
namespace {

constexpr int kPdfDialogTitle = 156;
constexpr int kPdfFilter = 157;
constexpr int kNoLabelText = 171;
constexpr int kCalibrationNotSavedText = 172;
constexpr int kPositionNotSavedText = 310;
const QString kPdfExtension = ".pdf";

// The run as the Printing page and the criteria controls stand now; no label type when no entry
// of the list is selected.
printing::PrintRequest currentRequest(const TFprincip& window) {
  printing::PrintRequest request;
  const auto* types = window.findChild<QComboBox*>("CombListeEtiquette");
  request.labelTypeEntry = printing::LabelTypeEntryAt(*types, types->currentIndex());
  const auto* printers = window.findChild<QComboBox*>("CombImprimante");
  if (printers->currentIndex() >= 0) request.printerName = languages::fromQt(printers->currentText());
  request.text.printText1 = window.findChild<QCheckBox*>("topimpTexte1")->isChecked();
  request.text.printText2 = window.findChild<QCheckBox*>("topimpTexte2")->isChecked();
  request.firstPosition = window.findChild<QSpinBox*>("SpinPremPos")->value();
  request.printEveryRecord = window.findChild<QRadioButton*>("Ratoutefiche")->isChecked();
  request.criteriaText = list::CriteriaText(window.criteria());
  request.sort = list::sortState();
  request.agreeToSkip = [](const printing::UnprintableRecords& unprintable) {
    return common::askYesNo(printing::UnprintableQuestion(unprintable), "Vekrano");
  };
  return request;
}

// The layout of the chosen label type; nullptr when no entry with a type is selected.
const printing::TLabelLayout* chosenLayout(const TFprincip& window) {
  const auto* types = window.findChild<QComboBox*>("CombListeEtiquette");
  const auto number = printing::LabelTypeAt(*types, types->currentIndex());
  const auto type = number ? printing::LabelType(*number) : std::nullopt;
  return type ? printing::Layout(type->layoutName) : nullptr;
}

std::string chosenPrinter(const TFprincip& window) {
  const auto* printers = window.findChild<QComboBox*>("CombImprimante");
  return printers->currentIndex() < 0 ? std::string() : languages::fromQt(printers->currentText());
}

std::string positionFile(const TFprincip& window) {
  return window.programDirectory() + printing::kPositionFileName;
}

// The label type and the printer the jobs of a run go to, as the page stands now.
printing::SheetKey chosenSheet(const TFprincip& window) {
  const auto* types = window.findChild<QComboBox*>("CombListeEtiquette");
  const auto number = printing::LabelTypeAt(*types, types->currentIndex());
  return {number.value_or(0), printing::calibratedPrinterName(chosenPrinter(window))};
}

// Offers the first free position remembered for the chosen type and printer, 1 without one.
void offerRememberedPosition(TFprincip& window) {
  const printing::TLabelLayout* layout = chosenLayout(window);
  if (layout == nullptr) return;
  window.findChild<QSpinBox*>("SpinPremPos")
      ->setValue(printing::offeredPosition(printing::ReadPositionFile(positionFile(window)),
                                           chosenSheet(window), layout->labelsPerSheet()));
}

// A run on paper used its sheets up to `nextPosition`: the next run on that type and printer
// continues there, in this session and the next ones.
void paperRunEnded(TFprincip& window, int nextPosition) {
  window.findChild<QSpinBox*>("SpinPremPos")->setValue(nextPosition);
  try {
    printing::RememberPosition(positionFile(window), chosenSheet(window), nextPosition);
  } catch (const std::exception& error) {
    showApplicationError(common::Exception(languages::GetText(kPositionNotSavedText) + error.what()));
  }
}

// What a print run sent, and where its last sheet stopped.
struct SentLabels {
  int labels = 0;
  int sheets = 0;
  int nextPosition = 1;
};

// Runs the print run to `destination` with the "Report Status" window. Nothing when no label
// type is chosen; "No label to print" when no label was selected; failures reach the general
// error display. Returns what was sent, nothing in those cases.
std::optional<SentLabels> runPrint(TFprincip& window, printing::PageDestination& destination) {
  try {
    const printing::PrintRequest request = currentRequest(window);
    if (request.labelTypeEntry.empty()) return std::nullopt;
    printing::ReportStatusWindow status(&window);
    printing::LabelReport report(destination, &status);
    CountingLabelSink counted(report);
    int nextPosition = 1;
    if (printing::PrintLabels(window.data().sqlqueryfonction, counted, window.programDirectory(),
                              request, &nextPosition) == 0) {
      common::showMessage(languages::GetText(kNoLabelText), "Vekrano");
      return std::nullopt;
    }
    return SentLabels{counted.labels(), counted.sheets(), nextPosition};
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
  return std::nullopt;
}

// The run kept page by page and shown; printed to the chosen printer when the user asks.
void runPreview(TFprincip& window, const printing::PrinterCalibrations& calibrations) {
  try {
    printing::PrintRequest request = currentRequest(window);
    if (request.labelTypeEntry.empty()) return;
    // The preview shows the places of unprintable barcodes; the question comes before printing.
    printing::UnprintableRecords unprintable;
    request.agreeToSkip = [&unprintable](const printing::UnprintableRecords& found) {
      unprintable = found;
      return true;
    };
    printing::PreviewDestination preview;
    int nextPosition = 1;
    int labels = 0;
    {
      const common::WaitCursor busy;
      printing::LabelReport report(preview);
      CountingLabelSink counted(report);
      printing::PrintLabels(window.data().sqlqueryfonction, counted, window.programDirectory(),
                            request, &nextPosition);
      labels = counted.labels();
    }
    if (preview.pages().empty()) {
      common::showMessage(languages::GetText(kNoLabelText), "Vekrano");
      return;
    }
    printing::LabelPreviewWindow shown(
        preview.pages(), calibrations, &window,
        unprintable.count > 0 ? printing::UnprintableList(unprintable) : std::string());
    if (window.desktop().runModal(shown) != QDialog::Accepted) return;
    if (unprintable.count > 0 &&
        !common::askYesNo(printing::UnprintableQuestion(unprintable), "Vekrano")) {
      return;
    }
    printing::PrinterDestination printer(calibrations);
    printing::ReportStatusWindow status(&window);
    printing::printKeptPages(preview.pages(), printer, &status);
    paperRunEnded(window, nextPosition);
    showFeedback(window, printedText(labels, static_cast<int>(preview.pages().size()),
                                     languages::toQt(request.printerName)));
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
}

void printTestSheet(TFprincip& window, const printing::PrinterCalibrations& calibrations) {
  const printing::TLabelLayout* layout = chosenLayout(window);
  if (layout == nullptr) return;
  try {
    printing::PrinterDestination printer(calibrations);
    printing::ReportStatusWindow status(&window);
    printing::StatusOfJob job(&status);
    printer.printPage(*layout, chosenPrinter(window),
                      [layout](QPainter& painter) { printing::paintTestSheet(painter, *layout); });
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
}

struct CalibrationBoxes {
  QDoubleSpinBox* horizontal;
  QDoubleSpinBox* vertical;
  QDoubleSpinBox* scale;

  explicit CalibrationBoxes(const TFprincip& window)
      : horizontal(window.findChild<QDoubleSpinBox*>("SpinDecalH")),
        vertical(window.findChild<QDoubleSpinBox*>("SpinDecalV")),
        scale(window.findChild<QDoubleSpinBox*>("SpinEchelle")) {}

  printing::PrinterCalibration value() const {
    return printing::clampCalibration({horizontal->value(), vertical->value(), scale->value()});
  }
  // Shows `calibration` without taking it for a change of the user's.
  void show(const printing::PrinterCalibration& calibration, bool enabled) {
    for (auto [box, number] : {std::pair{horizontal, calibration.offsetXMm},
                               std::pair{vertical, calibration.offsetYMm},
                               std::pair{scale, calibration.scalePercent}}) {
      const QSignalBlocker quiet(box);
      box->setValue(number);
      box->setEnabled(enabled);
    }
  }
};

}  // namespace

void TFprincip::connectPrintingPage() {
  const std::string calibrationFile = programDirectory_ + printing::kCalibrationFileName;
  calibrations_ = printing::ReadCalibrationFile(calibrationFile);

  connect(findChild<QPushButton*>("btimprime"), &QPushButton::clicked, this, [this] {
    printing::PrinterDestination printer(calibrations_);
    if (const auto sent = runPrint(*this, printer)) {
      paperRunEnded(*this, sent->nextPosition);
      showFeedback(*this, printedText(sent->labels, sent->sheets,
                                      languages::toQt(chosenPrinter(*this))));
    }
  });
  connect(findChild<QPushButton*>("btimprimePdf"), &QPushButton::clicked, this, [this] {
    const QString chosen = desktop().saveFileName(this, languages::textOf(kPdfDialogTitle),
                                                  languages::textOf(kPdfFilter));
    if (chosen.isEmpty()) return;
    const QString path = withDefaultExtension(chosen, kPdfExtension);
    try {
      printing::PdfDestination pdf(path.toStdString());
      // No paper was used: the position offered stays the one remembered.
      if (!runPrint(*this, pdf)) return;
      offerRememberedPosition(*this);
      pdf.finish();
      showFeedback(*this, pdfWrittenText(path));
    } catch (const std::exception& error) {
      showApplicationError(error);
    }
  });
  connect(findChild<QPushButton*>("btApercu"), &QPushButton::clicked, this,
          [this] { runPreview(*this, calibrations_); });
  connect(findChild<QPushButton*>("btPageTest"), &QPushButton::clicked, this,
          [this] { printTestSheet(*this, calibrations_); });

  // The first position runs from 1 to the positions of the chosen sheet.
  const auto limitFirstPosition = [this] {
    const printing::TLabelLayout* layout = chosenLayout(*this);
    spinPremPos_->setMaximum(layout ? layout->labelsPerSheet() : 1);
  };
  connect(combListeEtiquette_, &QComboBox::currentIndexChanged, this, limitFirstPosition);
  limitFirstPosition();
  // Each type and printer offers the position where its last run on paper stopped.
  for (QComboBox* choice : {combListeEtiquette_, combImprimante_}) {
    connect(choice, &QComboBox::currentIndexChanged, this, [this] { offerRememberedPosition(*this); });
  }
  offerRememberedPosition(*this);

  // The calibration shown is that of the chosen printer (the default printer when none is).
  const auto showCalibration = [this] {
    const std::string name = printing::calibratedPrinterName(chosenPrinter(*this));
    CalibrationBoxes(*this).show(printing::calibrationOf(calibrations_, name), !name.empty());
  };
  connect(combImprimante_, &QComboBox::currentIndexChanged, this, showCalibration);
  showCalibration();
  const auto keepCalibration = [this, calibrationFile] {
    const std::string name = printing::calibratedPrinterName(chosenPrinter(*this));
    if (name.empty()) return;
    calibrations_[name] = CalibrationBoxes(*this).value();
    try {
      printing::WriteCalibrationFile(calibrationFile, calibrations_);
      calibrationWriteFailed_ = false;
    } catch (const std::exception& error) {
      // One message for a folder that cannot be written, not one for every step of a box.
      if (calibrationWriteFailed_) return;
      calibrationWriteFailed_ = true;
      showApplicationError(common::Exception(languages::GetText(kCalibrationNotSavedText) + error.what()));
    }
  };
  const CalibrationBoxes boxes(*this);
  for (QDoubleSpinBox* box : {boxes.horizontal, boxes.vertical, boxes.scale}) {
    connect(box, &QDoubleSpinBox::valueChanged, this, keepCalibration);
  }
}

}  // namespace vekrano::app
