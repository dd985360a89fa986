// vekrano-labels DIR [OPTION...]: the label print run of the Printing page without a window,
// to a printer chosen by name or into a PDF file.
#include <unistd.h>

#include <QGuiApplication>
#include <QPrinterInfo>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/program/kept_freed_memory.h"
#include "app/program/vekrano_labels_options.h"
#include "common/code_page.h"
#include "dbase/dbase_error.h"
#include "languages/interface_texts.h"
#include "printing/label_print_run.h"
#include "printing/label_report.h"
#include "printing/chosen_sheet.h"
#include "printing/label_types.h"
#include "printing/page_destinations.h"
#include "printing/sheet_layout.h"
#include "printing/remembered_position.h"
#include "records/article_data.h"

namespace {

using namespace vekrano;

// Sheet counts on standard error, on a terminal only, so that scripts read clean output.
class TerminalProgress : public printing::ReportStatus {
 public:
  void pageStarted(int) override { std::fprintf(stderr, "\rprinting sheet %d", ++sheets_); }
  void jobEnded() override {}
  ~TerminalProgress() override {
    if (sheets_ > 0) std::fputc('\n', stderr);
  }

 private:
  int sheets_ = 0;
};

std::string typeEntry(int number) {
  for (const std::string& entry : printing::labelTypeEntries()) {
    if (printing::LabelTypeOfEntry(entry) == number) return entry;
  }
  return {};
}

void listTypes() {
  for (int number = 1; number <= printing::kLabelTypeCount; ++number) {
    const printing::TLabelType type = *printing::LabelType(number);
    std::printf("%d\t%d\t%s\n", number, type.labelsPerSheet, common::ansiToUtf8(type.displayName).c_str());
  }
}

std::string withSeparator(const std::string& directory) {
  return directory.ends_with('/') ? directory : directory + "/";
}

printing::OwnSheets ownSheetsOf(const std::string& directory) {
  if (directory.empty()) return {};
  return printing::readOwnSheetsFile(withSeparator(directory) + printing::kOwnSheetsFileName);
}

// One line per sheet: name, labels, label size, page, description; own sheets first.
void listSheets(const std::string& directory) {
  const auto print = [](const printing::LabelSheetSpec& sheet) {
    const std::string page =
        sheet.pageName.empty() ? printing::sizeText(sheet.pageWidthMm, sheet.pageHeightMm) : sheet.pageName;
    std::printf("%s\t%d\t%s mm\t%s\t%s\n", sheet.name.c_str(), sheet.labelCount(),
                printing::sizeText(sheet.labelWidthMm, sheet.labelHeightMm).c_str(), page.c_str(),
                sheet.description.c_str());
  };
  for (const auto& sheet : ownSheetsOf(directory).sheets) print(sheet);
  for (const auto& sheet : printing::installedCatalog().sheets) print(sheet);
  if (printing::installedCatalogDirectory().empty()) {
    std::fprintf(stderr, "vekrano-labels: the vendors' catalog is not installed (package %s)\n",
                 printing::kCatalogPackage);
  }
}

// The layout of the sheet the command line names, or a reason (exit status 2) why it cannot
// be printed on.
const printing::TLabelLayout& sheetLayoutOf(const app::LabelsOptions& options) {
  const printing::OwnSheets own = ownSheetsOf(options.directory);
  const printing::LabelSheetSpec* sheet = printing::findSheet(options.sheet, own, printing::installedCatalog());
  if (sheet == nullptr) {
    std::string reason = "no label sheet is named \"" + options.sheet + "\" (see --list-sheets)";
    if (printing::installedCatalogDirectory().empty()) {
      reason += "; the vendors' catalog is not installed (package " + std::string(printing::kCatalogPackage) + ")";
    }
    throw app::ELabelsUsage(reason);
  }
  const printing::TLabelLayout& layout = printing::addSheet(*sheet);
  if (options.firstPosition > layout.labelsPerSheet()) {
    throw app::ELabelsUsage("--start takes a position from 1 to " + std::to_string(layout.labelsPerSheet()) +
                            " on sheet " + sheet->name + ", not " + std::to_string(options.firstPosition));
  }
  return layout;
}

// The records whose barcodes would print as another value, or not fit their labels.
void listUnprintable(const printing::UnprintableRecords& unprintable, bool skipped) {
  std::fprintf(stderr,
               "vekrano-labels: %d record(s) with a barcode that cannot print as itself "
               "(a character outside Code 39, or too long for the label):\n",
               unprintable.count);
  for (const std::string& barcode : unprintable.firstBarcodes) {
    std::fprintf(stderr, "  %s\n", common::ansiToUtf8(barcode).c_str());
  }
  if (unprintable.count > static_cast<int>(unprintable.firstBarcodes.size())) std::fputs("  ...\n", stderr);
  std::fputs(skipped ? "vekrano-labels: their labels are left blank\n"
                     : "vekrano-labels: nothing printed; --skip-unprintable prints the others\n",
             stderr);
}

int print(const app::LabelsOptions& options) {
  if (!std::filesystem::is_regular_file(std::filesystem::path(options.directory) / "article.dbf")) {
    std::fprintf(stderr, "vekrano-labels: no record table article.dbf in %s\n", options.directory.c_str());
    return 1;
  }
  const printing::TLabelLayout* sheetLayout = options.sheet.empty() ? nullptr : &sheetLayoutOf(options);
  records::ArticleData data(options.directory);
  data.sqlqueryfonction.AutoDisableControls = false;
  data.openData();
  printing::PrintRequest request;
  request.labelTypeEntry = typeEntry(options.type);
  if (sheetLayout != nullptr) request.sheetName = sheetLayout->name;
  request.printerName = options.printer;
  request.text = options.text;
  request.firstPosition = options.firstPosition;
  request.printEveryRecord = options.printEveryRecord;
  request.criteriaText = list::criteriaText(options.criteria);
  request.sort = options.sort;
  bool refused = false;
  request.agreeToSkip = [&](const printing::UnprintableRecords& unprintable) {
    listUnprintable(unprintable, options.skipUnprintable);
    refused = !options.skipUnprintable;
    return options.skipUnprintable;
  };
  request.recordNumbers = options.recordNumbers;

  const std::string directory = withSeparator(data.programDirectory());
  const std::string positionFile = directory + printing::kPositionFileName;
  // Naming the default printer asks the print server: only runs on paper need the key.
  const auto sheet = [&] {
    return printing::SheetKey{sheetLayout != nullptr ? sheetLayout->name : std::to_string(options.type),
                              printing::calibratedPrinterName(options.printer)};
  };
  if (options.continueSheet) {
    const int positions =
        sheetLayout != nullptr ? sheetLayout->labelsPerSheet() : printing::LabelType(options.type)->labelsPerSheet;
    request.firstPosition = printing::offeredPosition(printing::readPositionFile(positionFile), sheet(), positions);
  }
  std::unique_ptr<printing::PageDestination> destination;
  printing::PdfDestination* pdf = nullptr;
  if (options.pdf.empty()) {
    destination = std::make_unique<printing::PrinterDestination>(
        printing::readCalibrationFile(directory + printing::kCalibrationFileName));
  } else {
    destination = std::make_unique<printing::PdfDestination>(options.pdf);
    pdf = static_cast<printing::PdfDestination*>(destination.get());
  }
  std::unique_ptr<TerminalProgress> progress;
  if (isatty(STDERR_FILENO)) progress = std::make_unique<TerminalProgress>();
  printing::LabelReport report(*destination, progress.get());
  int nextPosition = 1;
  const int jobs = printing::PrintLabels(data.sqlqueryfonction, report, directory, request, &nextPosition);
  if (pdf != nullptr) pdf->finish();
  // Paper was used: the next run on this type and printer may continue on the last sheet.
  if (pdf == nullptr && jobs > 0) printing::rememberPosition(positionFile, sheet(), nextPosition);
  data.closeData();
  if (refused) return 1;
  if (jobs == 0) std::fprintf(stderr, "vekrano-labels: no record to print\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  app::keepFreedMemory();
  // The criteria's refusals are interface texts, read while the arguments are.
  languages::setLanguageNumber(languages::kFrench);
  app::LabelsOptions options;
  try {
    options = app::parseLabelsOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const app::ELabelsUsage& error) {
    std::fprintf(stderr, "vekrano-labels: %s\n%s", error.what(), app::kLabelsUsage);
    return 2;
  }
  if (options.action == app::LabelsOptions::Action::Help) {
    std::fputs(app::kLabelsUsage, stdout);
    return 0;
  }
  if (options.action == app::LabelsOptions::Action::Version) {
    std::puts("vekrano-labels 1.11");
    return 0;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  // The table engine reports its errors to us instead of showing a box and ending the process.
  dbase::setAutoErrorReporting(false);
  try {
    if (options.action == app::LabelsOptions::Action::ListTypes) {
      listTypes();
      return 0;
    }
    if (options.action == app::LabelsOptions::Action::ListSheets) {
      listSheets(options.directory);
      return 0;
    }
    if (options.action == app::LabelsOptions::Action::ListPrinters) {
      for (const QString& name : QPrinterInfo::availablePrinterNames()) {
        std::puts(name.toStdString().c_str());
      }
      return 0;
    }
    return print(options);
  } catch (const app::ELabelsUsage& error) {
    std::fprintf(stderr, "vekrano-labels: %s\n", error.what());
    return 2;
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "vekrano-labels: %s\n", common::ansiToUtf8(error.what()).c_str());
    return 1;
  }
}
