// The print run over the statements' query. Pending events are processed about twenty times a
// second, so that the windows keep painting during a long run without it waiting on them.
#include "printing/label_print_run.h"

#include "common/process_events.h"
#include "common/progress_pace.h"
#include "languages/interface_texts.h"
#include "printing/label_painter.h"
#include "printing/label_report.h"
#include "printing/label_layouts.h"
#include "printing/label_types.h"
#include "printing/picked_statement.h"
#include "printing/print_statement.h"
#include "records/article_fields.h"
#include "sql/query/query.h"

namespace vekrano::printing {
namespace {

// Closes the query and then the layout set when the run ends, normally or not.
class RunEnd {
 public:
  RunEnd(sql::TSqlQuery& query, LabelJobSink& report) : query_(query), report_(report) {}
  ~RunEnd() {
    try {
      query_.Close();
    } catch (...) {
    }
    report_.close();
  }
  RunEnd(const RunEnd&) = delete;
  RunEnd& operator=(const RunEnd&) = delete;

 private:
  sql::TSqlQuery& query_;
  LabelJobSink& report_;
};

LabelRecord currentRecord(const sql::TSqlQuery& query) {
  return {query.FieldByName(records::kCbField).AsString(), query.FieldByName(records::kLib1Field).AsString(),
          query.FieldByName(records::kLib2Field).AsString(), query.FieldByName(records::kQuantiteField).AsInteger()};
}

// The layout the run prints on: the named sheet, or that of the entry's label type.
const TLabelLayout* layoutOf(const PrintRequest& request) {
  if (!request.sheetName.empty()) return Layout(request.sheetName);
  const std::optional<int> number = LabelTypeOfEntry(request.labelTypeEntry);
  const std::optional<TLabelType> type = number ? LabelType(*number) : std::nullopt;
  return type ? Layout(type->layoutName) : nullptr;
}

constexpr int kUnprintableCountText = 173;
constexpr int kPrintOthersText = 174;

// A first pass over the result, so that nothing is printed before the user has agreed.
UnprintableRecords findUnprintable(sql::TSqlQuery& query, const TLabelLayout& layout) {
  UnprintableRecords found;
  for (query.First(); !query.Eof(); query.Next()) {
    const std::string barcode = query.FieldByName(records::kCbField).AsString();
    if (printableOn(layout, barcode)) continue;
    ++found.count;
    if (found.firstBarcodes.size() < kListedUnprintable) found.firstBarcodes.push_back(barcode);
  }
  return found;
}

}  // namespace

std::string unprintableList(const UnprintableRecords& records) {
  std::string text = std::to_string(records.count) + " " + languages::GetText(kUnprintableCountText);
  for (const std::string& barcode : records.firstBarcodes) text += "\n    " + barcode;
  if (records.count > static_cast<int>(records.firstBarcodes.size())) text += "\n    ...";
  return text;
}

std::string unprintableQuestion(const UnprintableRecords& records) {
  return unprintableList(records) + "\n" + languages::GetText(kPrintOthersText);
}

int PrintLabels(sql::TSqlQuery& query, LabelJobSink& report, const std::string& programDirectory,
                const PrintRequest& request, int* nextFreePosition) {
  const TLabelLayout* layout = layoutOf(request);
  if (layout == nullptr) return 0;
  if (request.firstPosition < 1 || request.firstPosition > layout->labelsPerSheet()) {
    throw EReportError("The first position " + std::to_string(request.firstPosition) + " is not on a sheet of " +
                       std::to_string(layout->labelsPerSheet()) + " labels");
  }
  const std::string statement = request.recordNumbers.empty()
                                    ? printStatement(request.printEveryRecord, request.criteriaText, request.sort)
                                    : pickedRecordsStatement(request.recordNumbers, request.sort);

  RunEnd end(query, report);
  report.open(programDirectory + kLayoutFileName);
  query.Close();
  query.SQL().Clear();
  query.SQL().Add(statement);
  query.Open();
  if (query.RecordCount() == 0) return 0;
  const UnprintableRecords unprintable = findUnprintable(query, *layout);
  if (unprintable.count > 0 && !(request.agreeToSkip && request.agreeToSkip(unprintable))) return 0;

  LabelSheetFiller filler(report, layout->name, layout->labelsPerSheet(), request.printerName, request.text,
                          request.firstPosition);
  common::ProgressPace pace;
  for (query.First(); !query.Eof(); query.Next()) {
    filler.addRecord(currentRecord(query));
    if (pace.Due()) common::processEvents();
  }
  filler.finish();
  if (nextFreePosition != nullptr && filler.jobsPrinted() > 0) *nextFreePosition = filler.nextPosition();
  return filler.jobsPrinted();
}

}  // namespace vekrano::printing
