// The import loop: every data line of a source becomes one new record through one INSERT, the
// same for the wizard and for vekrano-sql's .import.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "import/csv_source.h"
#include "import/import_mapping.h"

namespace vekrano::records {
class ArticleData;
}  // namespace vekrano::records

namespace vekrano::import {

// How many file line numbers of failed lines an import keeps for its report.
inline constexpr std::size_t kReportedFailedLines = 10;

struct ImportResult {
  int read = 0;  // data lines read
  int stored = 0;  // records the table took
  int failed = 0;  // lines not stored
  std::vector<int> firstFailedLines;  // file line numbers, at most kReportedFailedLines
  // Lines refused for a character: "line N - " and the reason (ANSI), at most
  // kReportedFailedLines of them.
  std::vector<std::string> firstRefusals;
  int converted = 0;  // lines stored with characters written another way
  std::vector<int> firstConvertedLines;  // their file line numbers, at most kReportedFailedLines
  bool numbersExhausted = false;  // stopped: the next record number was above 99999
  std::string firstTableError;  // the table's message for the first INSERT it refused (ANSI)
  // The file line at which the import stopped because the table could not write any more (a
  // full disk, no permission); 0 when it did not.
  int stoppedAtLine = 0;
};

// Called before each data line with its count k from 1; the wizard shows its progress and lets
// the interface process pending events there.
using LineCallback = std::function<void(int k)>;

// Imports every data line of `source`: the record of recordFromFields, numbered with the next
// record number, inserted through the statement runner. A line whose quantity does not fit,
// that holds a character refused, or whose INSERT fails is not stored and counts as failed. The
// import stops at a line whose number would be above 99999, or whose INSERT the table refused for
// a cause the next lines would meet too (a full disk, no permission), counted failed. A read error
// or a failure of the next-number query ends the import by its exception; the records stored
// before stay.
ImportResult runImport(CsvSource& source, const FieldMapping& mapping, bool quoted, records::ArticleData& data,
                       const LineCallback& onLine = {});

// The final message of the wizard: text 131, a blank and the count stored; when lines failed,
// the count of failed lines and their first file line numbers on further lines, then the first
// lines refused for a character with their reasons (texts 264, 265); the count of lines whose
// characters were written another way and their first line numbers (text 266); when numbers
// ran out, a line that says so; when the table could not write any more, the line it stopped at
// (text 185) and the table's message.
std::string importEndMessage(const ImportResult& result);

// Text 131 followed by a blank and `count`: the progress line and the start of the message.
std::string importedCountText(int count);

}  // namespace vekrano::import
