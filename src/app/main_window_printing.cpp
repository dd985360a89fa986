// The main window's Printing page: the print run to the chosen printer or into a PDF file, its
// preview, the first free position of a used sheet (remembered after a run on paper), and the
// chosen printer's calibration.
#include <QComboBox>
#include <QItemSelectionModel>
#include <QSpinBox>
#include <QTableView>
#include <optional>

#include "app/desktop.h"
#include "app/label_count.h"
#include "app/main_window.h"
#include "app/printing_page.h"
#include "app/qt_prompts.h"
#include "app/work_feedback.h"
#include "common/prompts.h"
#include "common/wait_cursor.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"
#include "list/list_criteria.h"
#include "list/record_list_model.h"
#include "printing/chosen_sheet.h"
#include "printing/label_print_run.h"
#include "printing/label_types.h"
#include "printing/page_destinations.h"
#include "printing/print_preview_window.h"
#include "printing/remembered_position.h"
#include "printing/report_status_window.h"
#include "printing/sheet_chooser_window.h"
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

// The run as the Printing page and the records page stand now; no label type when no entry of
// the list is selected.
printing::PrintRequest currentRequest(const TFprincip& window) {
  printing::PrintRequest request = window.printingPage().printRequest();
  request.criteriaText = list::criteriaText(window.criteria());
  if (window.printingPage().printsPickedRecords()) request.recordNumbers = window.selectedRecordNumbers();
  request.sort = list::sortState();
  return request;
}

// The layout of the chosen label type; nullptr when no entry with a type is selected.
const printing::TLabelLayout* chosenLayout(const TFprincip& window) {
  const QComboBox* types = &window.printingPage().labelTypes();
  if (types->currentData() == printing::kListedSheetEntry) return printing::listedSheetLayout();
  const auto number = printing::labelTypeAt(*types, types->currentIndex());
  const auto type = number ? printing::LabelType(*number) : std::nullopt;
  return type ? printing::Layout(type->layoutName) : nullptr;
}

std::string chosenPrinter(const TFprincip& window) {
  const QComboBox* printers = &window.printingPage().printers();
  return printers->currentIndex() < 0 ? std::string() : languages::fromQt(printers->currentText());
}

std::string positionFile(const TFprincip& window) { return window.programDirectory() + printing::kPositionFileName; }

// The label type and the printer the jobs of a run go to, as the page stands now.
printing::SheetKey chosenSheet(const TFprincip& window) {
  const QComboBox* types = &window.printingPage().labelTypes();
  const std::string printer = printing::calibratedPrinterName(chosenPrinter(window));
  if (types->currentData() == printing::kListedSheetEntry && printing::listedSheetLayout()) {
    return {printing::listedSheetLayout()->name, printer};
  }
  const auto number = printing::labelTypeAt(*types, types->currentIndex());
  return {number ? std::to_string(*number) : std::string(), printer};
}

// Offers the first free position remembered for the chosen type and printer, 1 without one.
void offerRememberedPosition(TFprincip& window) {
  const printing::TLabelLayout* layout = chosenLayout(window);
  if (layout == nullptr) return;
  window.printingPage().firstPosition().setValue(printing::offeredPosition(
      printing::readPositionFile(positionFile(window)), chosenSheet(window), layout->labelsPerSheet()));
}

// A run on paper used its sheets up to `nextPosition`: the next run on that type and printer
// continues there, in this session and the next ones.
void paperRunEnded(TFprincip& window, int nextPosition) {
  window.printingPage().firstPosition().setValue(nextPosition);
  try {
    printing::rememberPosition(positionFile(window), chosenSheet(window), nextPosition);
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
    printing::PrintRequest request = currentRequest(window);
    if (request.labelTypeEntry.empty()) return std::nullopt;
    // A user who declined to skip unprintable records was answered already.
    bool declined = false;
    request.agreeToSkip = [&declined](const printing::UnprintableRecords& unprintable) {
      declined = !common::askYesNo(printing::unprintableQuestion(unprintable), "Vekrano");
      return !declined;
    };
    printing::ReportStatusWindow status(&window);
    printing::LabelReport report(destination, &status);
    CountingLabelSink counted(report);
    int nextPosition = 1;
    if (printing::PrintLabels(window.data().sqlqueryfonction, counted, window.programDirectory(), request,
                              &nextPosition) == 0) {
      if (!declined) common::showMessage(languages::GetText(kNoLabelText), "Vekrano");
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
      printing::PrintLabels(window.data().sqlqueryfonction, counted, window.programDirectory(), request, &nextPosition);
      labels = counted.labels();
    }
    if (preview.pages().empty()) {
      common::showMessage(languages::GetText(kNoLabelText), "Vekrano");
      return;
    }
    printing::LabelPreviewWindow shown(preview.pages(), calibrations, &window,
                                       unprintable.count > 0 ? printing::unprintableList(unprintable) : std::string());
    if (window.desktop().runModal(shown) != QDialog::Accepted) return;
    if (unprintable.count > 0 && !common::askYesNo(printing::unprintableQuestion(unprintable), "Vekrano")) {
      return;
    }
    printing::PrinterDestination printer(calibrations);
    printing::ReportStatusWindow status(&window);
    printing::printKeptPages(preview.pages(), printer, &status);
    paperRunEnded(window, nextPosition);
    showFeedback(window,
                 printedText(labels, static_cast<int>(preview.pages().size()), languages::toQt(request.printerName)));
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

// The sheet remembered from an earlier run, listed after the twelve types; the catalog is read
// only when the remembered sheet comes from it.
void listRememberedSheet(QComboBox& types, const std::string& programDirectory) {
  const auto chosen = printing::readChosenSheet(programDirectory + printing::kChosenSheetFileName);
  const printing::OwnSheets own = printing::readOwnSheetsFile(programDirectory + printing::kOwnSheetsFileName);
  const printing::SheetCatalog none;
  const bool fromCatalog = chosen && chosen->source == printing::SheetSource::Catalog;
  printing::setListedSheet(
      chosen ? printing::findChosenSheet(*chosen, own, fromCatalog ? printing::installedCatalog() : none) : nullptr);
  printing::BuildLabelTypeList(types);
}

// "Autres planches…": the chooser, and the sheet chosen there listed, selected and remembered.
// Left without a choice, the list shows the remembered sheet as the chooser left it (own sheets
// may have been changed or deleted there) and the entry chosen before, when it is still listed.
void chooseOtherSheet(TFprincip& window, QComboBox& types) {
  const int before = types.currentIndex();
  const std::string directory = window.programDirectory();
  const bool installed = !printing::installedCatalogDirectory().empty();
  {
    const common::WaitCursor busy;  // the catalog is read at the first use
    printing::installedCatalog();
  }
  printing::SheetChooserWindow chooser(
      printing::installedCatalog(), installed, directory + printing::kOwnSheetsFileName,
      [&window](QDialog& dialog) { return window.desktop().runModal(dialog); }, &window);
  if (const auto remembered = printing::readChosenSheet(directory + printing::kChosenSheetFileName)) {
    chooser.select(*remembered);
  }
  const bool accepted = window.desktop().runModal(chooser) == QDialog::Accepted;
  const std::optional<printing::LabelSheetSpec> sheet = chooser.chosenSheet();
  const std::optional<printing::ChosenSheet> chosen = chooser.chosen();
  if (!accepted || !sheet || !chosen) {
    listRememberedSheet(types, directory);
    if (before < types.count() && types.itemData(before) != printing::kOtherSheetsEntry) {
      types.setCurrentIndex(before);
    }
    return;
  }
  printing::setListedSheet(&*sheet);
  printing::BuildLabelTypeList(types);
  types.setCurrentIndex(types.findData(printing::kListedSheetEntry));
  try {
    printing::writeChosenSheet(directory + printing::kChosenSheetFileName, *chosen);
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
}

}  // namespace

void TFprincip::connectPrintingPage() {
  const std::string calibrationFile = programDirectory_ + printing::kCalibrationFileName;
  calibrations_ = printing::readCalibrationFile(calibrationFile);

  connect(printingPage_, &PrintingPage::printRequested, this, [this] {
    printing::PrinterDestination printer(calibrations_);
    if (const auto sent = runPrint(*this, printer)) {
      paperRunEnded(*this, sent->nextPosition);
      showFeedback(*this, printedText(sent->labels, sent->sheets, languages::toQt(chosenPrinter(*this))));
    }
  });
  connect(printingPage_, &PrintingPage::pdfRequested, this, [this] {
    const QString chosen =
        desktop().saveFileName(this, languages::textOf(kPdfDialogTitle), languages::textOf(kPdfFilter));
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
  connect(printingPage_, &PrintingPage::previewRequested, this, [this] { runPreview(*this, calibrations_); });
  connect(printingPage_, &PrintingPage::testSheetRequested, this, [this] { printTestSheet(*this, calibrations_); });

  // "Autres planches…" is never left selected: the list goes back to the entry before it, and
  // the chooser opens when the user picked it.
  listRememberedSheet(*combListeEtiquette_, programDirectory_);
  auto lastType = std::make_shared<int>(combListeEtiquette_->currentIndex());
  connect(combListeEtiquette_, &QComboBox::currentIndexChanged, this, [this, lastType](int index) {
    if (combListeEtiquette_->itemData(index) != printing::kOtherSheetsEntry) {
      *lastType = index;
      return;
    }
    const QSignalBlocker quiet(combListeEtiquette_);
    combListeEtiquette_->setCurrentIndex(*lastType);
  });
  connect(combListeEtiquette_, &QComboBox::activated, this, [this](int index) {
    if (combListeEtiquette_->itemData(index) != printing::kOtherSheetsEntry) return;
    chooseOtherSheet(*this, *combListeEtiquette_);
  });

  // The first position runs from 1 to the positions of the chosen sheet.
  const auto limitFirstPosition = [this] {
    const printing::TLabelLayout* layout = chosenLayout(*this);
    printingPage_->firstPosition().setMaximum(layout ? layout->labelsPerSheet() : 1);
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
    printingPage_->showCalibration(printing::calibrationOf(calibrations_, name), !name.empty());
  };
  connect(combImprimante_, &QComboBox::currentIndexChanged, this, showCalibration);
  showCalibration();
  const auto keepCalibration = [this, calibrationFile] {
    const std::string name = printing::calibratedPrinterName(chosenPrinter(*this));
    if (name.empty()) return;
    calibrations_[name] = printingPage_->calibration();
    try {
      printing::writeCalibrationFile(calibrationFile, calibrations_);
      calibrationWriteFailed_ = false;
    } catch (const std::exception& error) {
      // One message for a folder that cannot be written, not one for every step of a box.
      if (calibrationWriteFailed_) return;
      calibrationWriteFailed_ = true;
      showApplicationError(common::Exception(languages::GetText(kCalibrationNotSavedText) + error.what()));
    }
  };
  connect(printingPage_, &PrintingPage::calibrationChanged, this, keepCalibration);

  connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TFprincip::offerSelectedRecords);
  connect(listModel_, &QAbstractItemModel::modelReset, this, &TFprincip::offerSelectedRecords);
  offerSelectedRecords();
}

void TFprincip::offerSelectedRecords() {
  const sql::TSqlQuery& list = data_.sqlQuery1;
  // A pick ends with the rows it was made on (the list displayed again, or nothing selected):
  // the run goes back to the criteria rather than print rows the user did not choose.
  printingPage_->offerPickedRecords(list.Active() && list.RecordCount() > 0 && grid_->selectionModel()->hasSelection());
}

}  // namespace vekrano::app
