// The label print run: the query of the records to print, fed label by label into the sheets of
// the chosen layout, each sheet sent as one job. The Printing page and vekrano-labels run it.
#pragma once

#include <string>
#include <vector>

#include "list/sort_state.h"
#include "printing/print_run.h"

namespace vekrano::sql {
class TSqlQuery;
}  // namespace vekrano::sql

namespace vekrano::printing {

// What a run reads from the Printing page, the criteria controls and the list at its start.
struct PrintRequest {
  std::string labelTypeEntry;  // the selected entry of the label type list (display name, number)
  // A catalog or own sheet kept by addSheetLayout; when set, it is printed on instead of the
  // label type of the entry.
  std::string sheetName;
  std::string printerName;     // ANSI; empty for the system's default printer
  LabelTextOptions text;
  // The first free position on the first sheet, 1 to the layout's positions.
  int firstPosition = 1;
  bool printEveryRecord = false;
  std::string criteriaText;  // list::CriteriaText of the criteria controls, may be empty
  list::SortState sort;
  // When not empty, the records of these numbers are printed instead, in the order of `sort`;
  // the criteria and printEveryRecord then play no part.
  std::vector<int> recordNumbers;
};

// Runs the print run with `query` (the statements' query over the alias "article") and the
// layout set `report`, opened as `programDirectory` + "docvkb.rav". Returns the jobs sent: none
// when the entry carries no type number (and no sheet is named) or no record is selected. Raises EReportError, before
// anything is done, when the first position is not on the layout's sheet. Raises the query's
// and the report's errors, which end the run; the jobs already sent stay sent. The query and the layout
// set are closed however the run ends. When `nextFreePosition` is given and a job was sent, it
// receives the first free position of the last sheet, 1 when that sheet was filled.
int PrintLabels(sql::TSqlQuery& query, LabelJobSink& report, const std::string& programDirectory,
                const PrintRequest& request, int* nextFreePosition = nullptr);

}  // namespace vekrano::printing
