// The CSV export. Texts are kept in the engine's Windows-1252 and converted line by line, so a
// large list never sits in memory twice.
#include "list/list_export.h"

#include <array>

#include "common/code_page.h"
#include "common/safe_file_writer.h"
#include "dbase/dataset/dataset.h"
#include "dbase/dataset/field.h"
#include "sql/query/query.h"

namespace vekrano::list {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";
constexpr int kRowsBetweenProgress = 500;
constexpr std::size_t kColumnCount = std::size(kExportColumns);

std::string encoded(const std::string& ansi, CsvEncoding encoding) {
  return encoding == CsvEncoding::Utf8 ? common::ansiToUtf8(ansi) : ansi;
}

template <typename ValueOf>
std::string csvLine(char separator, ValueOf valueOf) {
  std::string line;
  for (std::size_t column = 0; column < kColumnCount; ++column) {
    if (column > 0) line += separator;
    line += csvField(valueOf(column), separator);
  }
  return line.append(kLineEnd);
}

// Closes the query when the export ends, normally or not.
class ClosedAtEnd {
 public:
  explicit ClosedAtEnd(sql::TSqlQuery& query) : query_(query) {}
  ~ClosedAtEnd() {
    try {
      query_.Close();
    } catch (...) {
    }
  }
  ClosedAtEnd(const ClosedAtEnd&) = delete;
  ClosedAtEnd& operator=(const ClosedAtEnd&) = delete;

 private:
  sql::TSqlQuery& query_;
};

}  // namespace

std::string csvField(std::string_view value, char separator) {
  const char special[] = {separator, '"', '\r', '\n', '\0'};
  if (value.find_first_of(special) == std::string_view::npos) return std::string(value);
  std::string field = "\"";
  for (const char c : value) {
    if (c == '"') field += '"';
    field += c;
  }
  return field += '"';
}

int exportRows(dbase::TDataSet& rows, const std::string& path, const CsvExportOptions& options,
               const ExportProgress& progress) {
  std::array<dbase::TField*, kColumnCount> fields{};
  for (std::size_t column = 0; column < kColumnCount; ++column) {
    fields[column] = &rows.FieldByName(kExportColumns[column]);
  }
  const int total = rows.RecordCount();
  common::SafeFileWriter file(path);
  if (options.encoding == CsvEncoding::Utf8) file.write(kByteOrderMark);
  file.write(csvLine(options.separator, [](std::size_t column) { return kExportColumns[column]; }));
  int written = 0;
  for (rows.First(); !rows.Eof(); rows.Next()) {
    const std::string line =
        csvLine(options.separator, [&fields](std::size_t column) { return fields[column]->AsString(); });
    file.write(encoded(line, options.encoding));
    if (++written % kRowsBetweenProgress == 0 && progress) progress(written, total);
  }
  file.commit();
  if (progress) progress(written, total);
  return written;
}

int exportStatement(sql::TSqlQuery& query, const std::string& statement, const std::string& path,
                    const CsvExportOptions& options, const ExportProgress& progress) {
  const ClosedAtEnd closed(query);
  query.Close();
  query.SQL().Clear();
  query.SQL().Add(statement);
  query.Open();
  return exportRows(query, path, options, progress);
}

}  // namespace vekrano::list
