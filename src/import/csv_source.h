// The data lines of a CSV file, each split into its fields: plainly at the separator, or by the
// usual CSV quoting rules (fields in double quotes may hold the separator, doubled quotes and
// line breaks).
#pragma once

#include <string>
#include <vector>

namespace vekrano::import {

// Only the first fields of a line are ever used.
inline constexpr int kUsedFieldCount = 10;

struct CsvOptions {
  char separator = ',';
  int headerLines = 0;  // non-blank lines skipped at the start
  bool quoted = false;  // true: fields read by the CSV quoting rules
};

// One data line: its first fields (fewer when the line has fewer) and the number of the file
// line where it starts, counted from 1 over every line, blank ones included.
struct CsvRecord {
  std::vector<std::string> fields;
  int line = 0;
};

// Where the import takes its data lines from.
class CsvSource {
 public:
  virtual ~CsvSource() = default;
  // Fills `record` with the next data line and returns true; false at the end.
  // Throws languages::ETextFileError when the file cannot be read.
  virtual bool Next(CsvRecord& record) = 0;
};

// Fields 1 to kUsedFieldCount of `line` split at `separator`, nothing trimmed or unquoted.
std::vector<std::string> splitPlain(const std::string& line, char separator);

// The lines of a file read whole, decoded as the text reader decodes (UTF-8 when valid, else
// Windows-1252), held as UTF-8 so that the import's conversion sees every character. Blank lines (empty, or only blanks
// and tabs) are skipped and never counted, then the first `headerLines` non-blank lines.
class CsvFile : public CsvSource {
 public:
  // Throws languages::ETextFileError ("Could not open the file ...") when it cannot be read.
  CsvFile(const std::string& path, const CsvOptions& options);
  bool Next(CsvRecord& record) override;

 private:
  bool atEndOfLine() const;
  void skipEndOfLine();
  bool skipBlankLine();
  std::string plainLine();
  std::vector<std::string> quotedFields();
  std::string quotedField();

  CsvOptions options_;
  std::string text_;
  std::size_t at_ = 0;
  int line_ = 1;
};

}  // namespace vekrano::import
