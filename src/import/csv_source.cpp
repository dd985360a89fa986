// Reading and splitting the lines of a CSV file.
#include "import/csv_source.h"

#include "languages/text_file.h"

namespace vekrano::import {

std::vector<std::string> splitPlain(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (static_cast<int>(fields.size()) < kUsedFieldCount) {
    const std::size_t end = line.find(separator, start);
    fields.push_back(line.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return fields;
}

CsvFile::CsvFile(const std::string& path, const CsvOptions& options)
    : options_(options), text_(languages::readUtf8Text(path)) {
  for (int skipped = 0; skipped < options_.headerLines;) {
    while (skipBlankLine()) {
    }
    if (at_ >= text_.size()) break;
    if (options_.quoted) {
      quotedFields();
    } else {
      plainLine();
    }
    ++skipped;
  }
}

bool CsvFile::atEndOfLine() const { return text_[at_] == '\r' || text_[at_] == '\n'; }

void CsvFile::skipEndOfLine() {
  if (at_ >= text_.size()) return;
  if (text_[at_] == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n') ++at_;
  ++at_;
  ++line_;
}

// Skips one blank line at the current position; false when the line there is not blank.
bool CsvFile::skipBlankLine() {
  std::size_t end = at_;
  while (end < text_.size() && (text_[end] == ' ' || text_[end] == '\t')) ++end;
  if (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') return false;
  if (end >= text_.size() && end == at_) return false;
  at_ = end;
  skipEndOfLine();
  return true;
}

std::string CsvFile::plainLine() {
  const std::size_t start = at_;
  while (at_ < text_.size() && !atEndOfLine()) ++at_;
  std::string line = text_.substr(start, at_ - start);
  skipEndOfLine();
  return line;
}

std::vector<std::string> CsvFile::quotedFields() {
  std::vector<std::string> fields;
  for (;;) {
    std::string field = quotedField();
    if (static_cast<int>(fields.size()) < kUsedFieldCount) fields.push_back(std::move(field));
    if (at_ < text_.size() && text_[at_] == options_.separator) {
      ++at_;
      continue;
    }
    skipEndOfLine();
    return fields;
  }
}

// One field from the current position to the next separator or line end outside quotes. A
// field that opens with a double quote runs to the matching one, doubled quotes standing for
// one; text after that closing quote is kept as written; a quote never closed takes the rest of
// the file.
std::string CsvFile::quotedField() {
  std::string field;
  if (at_ < text_.size() && text_[at_] == '"') {
    ++at_;
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') {
        if (at_ < text_.size() && text_[at_] == '"') {
          field += '"';
          ++at_;
          continue;
        }
        break;
      }
      if (c == '\n' || (c == '\r' && (at_ >= text_.size() || text_[at_] != '\n'))) ++line_;
      field += c;
    }
  }
  while (at_ < text_.size() && text_[at_] != options_.separator && !atEndOfLine()) {
    field += text_[at_++];
  }
  return field;
}

bool CsvFile::Next(CsvRecord& record) {
  while (skipBlankLine()) {
  }
  if (at_ >= text_.size()) return false;
  record.line = line_;
  record.fields = options_.quoted ? quotedFields() : splitPlain(plainLine(), options_.separator);
  return true;
}

}  // namespace vekrano::import
