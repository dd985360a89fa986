// The label print run: the query of the records to print, fed label by label into the sheets of
// the chosen layout, each sheet sent as one job. The Printing page and vekrano-labels run it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "list/sort_state.h"
#include "printing/print_run.h"

namespace vekrano::sql {
class TSqlQuery;
}  // namespace vekrano::sql

namespace vekrano::printing {

// The selected records whose barcodes the chosen sheet cannot print as themselves.
struct UnprintableRecords {
  int count = 0;
  std::vector<std::string> firstBarcodes;  // ANSI, at most kListedUnprintable
};
inline constexpr std::size_t kListedUnprintable = 5;

// Asked once, before anything is printed, when some records cannot be printed: true prints the
// others and leaves the labels of these blank, false prints nothing.
using AgreeToSkip = std::function<bool(const UnprintableRecords&)>;

// What a run reads from the Printing page, the criteria controls and the list at its start.
struct PrintRequest {
  std::string labelTypeEntry;  // the selected entry of the label type list (display name, number)
  // A catalog or own sheet kept by addSheetLayout; when set, it is printed on instead of the
  // label type of the entry.
  std::string sheetName;
  std::string printerName;  // ANSI; empty for the system's default printer
  LabelTextOptions text;
  // The first free position on the first sheet, 1 to the layout's positions.
  int firstPosition = 1;
  bool printEveryRecord = false;
  std::string criteriaText;  // list::criteriaText of the criteria controls, may be empty
  list::SortState sort;
  // Without it a run with unprintable records prints nothing.
  AgreeToSkip agreeToSkip;
  // When not empty, the records of these numbers are printed instead, in the order of `sort`;
  // the criteria and printEveryRecord then play no part.
  std::vector<int> recordNumbers;
};

// Their count and text 173, then their first barcodes, one per line ("..." when there are more).
std::string unprintableList(const UnprintableRecords& records);
// UnprintableList and the question whether to print the others (text 174).
std::string unprintableQuestion(const UnprintableRecords& records);

// Runs the print run with `query` (the statements' query over the alias "article") and the
// layout set `report`, opened as `programDirectory` + "docvkb.rav". Returns the jobs sent: none
// when the entry carries no type number (and no sheet is named), no record is selected, or
// records cannot be printed as themselves and request.agreeToSkip does not agree. Raises EReportError, before
// anything is done, when the first position is not on the layout's sheet. Raises the query's
// and the report's errors, which end the run; the jobs already sent stay sent. The query and the layout
// set are closed however the run ends. When `nextFreePosition` is given and a job was sent, it
// receives the first free position of the last sheet, 1 when that sheet was filled.
int PrintLabels(sql::TSqlQuery& query, LabelJobSink& report, const std::string& programDirectory,
                const PrintRequest& request, int* nextFreePosition = nullptr);

}  // namespace vekrano::printing
