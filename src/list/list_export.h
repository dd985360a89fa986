// Taking the records of the list out as a CSV file that spreadsheets open and the import wizard
// reads back (fields quoted by the usual CSV rules). The records page's "Export the list" and
// vekrano-sql's .export run it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "records/article_fields.h"

namespace vekrano::dbase {
class TDataSet;
}  // namespace vekrano::dbase

namespace vekrano::sql {
class TSqlQuery;
}  // namespace vekrano::sql

namespace vekrano::list {

enum class CsvEncoding { Utf8, Windows1252 };

struct CsvExportOptions {
  char separator = ',';  // ',' or ';'
  CsvEncoding encoding = CsvEncoding::Utf8;  // UTF-8 files begin with a byte-order mark
};

// The columns written, in the list's order; the header line holds these names.
inline constexpr const char* kExportColumns[] = {records::kCbField, records::kLib1Field, records::kLib2Field,
                                                 records::kQuantiteField, records::kToppField};

// `value` as one CSV field: between double quotes, each double quote in it doubled, when it
// holds the separator, a double quote, a carriage return or a line feed; as it is otherwise.
std::string csvField(std::string_view value, char separator);

// Called with the rows written so far and the rows to write, now and then during a long export
// and once at its end.
using ExportProgress = std::function<void(int written, int total)>;

// Writes the header line and one line per row of `rows` (an open dataset with the fields of
// kExportColumns), from its first row in its order; lines end with CR LF, texts are written in
// the chosen encoding. The file at `path` is only replaced once it is whole: a failure throws
// common::EFileWriteError, or the dataset's error, and leaves any file of that name as it was.
// Returns the number of rows written; the dataset's cursor is left after its last row.
int exportRows(dbase::TDataSet& rows, const std::string& path, const CsvExportOptions& options,
               const ExportProgress& progress = {});

// Opens `statement` (a SELECT of the table's records) in `query`, exports its rows as exportRows
// does and closes the query again, however the export ends.
int exportStatement(sql::TSqlQuery& query, const std::string& statement, const std::string& path,
                    const CsvExportOptions& options, const ExportProgress& progress = {});

}  // namespace vekrano::list
