// The main window's Printing page: the print run to the chosen printer, or into a PDF file.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include "app/desktop.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"
#include "list/list_criteria.h"
#include "printing/label_print_run.h"
#include "printing/page_destinations.h"
#include "printing/report_status_window.h"
#include "records/article_data.h"

namespace vekrano::app {
namespace {

constexpr int kPdfButtonText = 155;
constexpr int kPdfDialogTitle = 156;
constexpr int kPdfFilter = 157;

// The run as the Printing page and the criteria controls stand now; no label type when no entry
// of the list is selected.
printing::PrintRequest currentRequest(const TFprincip& window) {
  printing::PrintRequest request;
  const auto* types = window.findChild<QComboBox*>("CombListeEtiquette");
  if (types->currentIndex() >= 0) request.labelTypeEntry = languages::fromQt(types->currentText());
  const auto* printers = window.findChild<QComboBox*>("CombImprimante");
  if (printers->currentIndex() >= 0) request.printerName = languages::fromQt(printers->currentText());
  request.text.printText1 = window.findChild<QCheckBox*>("topimpTexte1")->isChecked();
  request.text.printText2 = window.findChild<QCheckBox*>("topimpTexte2")->isChecked();
  request.printEveryRecord = window.findChild<QRadioButton*>("Ratoutefiche")->isChecked();
  request.criteriaText = list::CriteriaText(window.criteria());
  request.sort = list::sortState();
  return request;
}

// Runs the print run to `destination` with the "Report Status" window; failures reach the
// general error display.
void runPrint(TFprincip& window, printing::PageDestination& destination) {
  const printing::PrintRequest request = currentRequest(window);
  if (request.labelTypeEntry.empty()) return;
  try {
    printing::ReportStatusWindow status(&window);
    printing::LabelReport report(destination, &status);
    printing::PrintLabels(window.data().sqlqueryfonction, report, window.programDirectory(),
                          request);
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
}

}  // namespace

void TFprincip::connectPrintingPage() {
  connect(findChild<QPushButton*>("btimprime"), &QPushButton::clicked, this, [this] {
    printing::PrinterDestination printer;
    runPrint(*this, printer);
  });
  connect(findChild<QPushButton*>("btimprimePdf"), &QPushButton::clicked, this, [this] {
    const QString path = desktop().saveFileName(this, languages::textOf(kPdfDialogTitle),
                                                languages::textOf(kPdfFilter));
    if (path.isEmpty()) return;
    try {
      printing::PdfDestination pdf(path.toStdString());
      runPrint(*this, pdf);
      pdf.finish();
    } catch (const std::exception& error) {
      showApplicationError(error);
    }
  });
}

}  // namespace vekrano::app
