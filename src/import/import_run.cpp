// The import loop and the message that reports it.
#include "import/import_run.h"

#include "common/exception.h"
#include "import/import_texts.h"
#include "languages/interface_texts.h"
#include "records/article_data.h"
#include "records/record_statements.h"

namespace vekrano::import {

namespace {

void countFailed(ImportResult& result, int line) {
  ++result.failed;
  if (result.firstFailedLines.size() < kReportedFailedLines) result.firstFailedLines.push_back(line);
}

}  // namespace

ImportResult RunImport(CsvSource& source, const FieldMapping& mapping, bool quoted,
                       records::ArticleData& data, const LineCallback& onLine) {
  ImportResult result;
  CsvRecord line;
  while (source.Next(line)) {
    ++result.read;
    if (onLine) onLine(result.read);
    std::optional<records::BarcodeRecord> record = RecordFromFields(line.fields, mapping, quoted);
    if (!record) {
      countFailed(result, line.line);
      continue;
    }
    record->num = data.NextRecordNumber();
    if (record->num > records::kMaxRecordNumber) {
      countFailed(result, line.line);
      result.numbersExhausted = true;
      break;
    }
    try {
      if (data.ExecuteStatement(records::NewRecordStatement(*record)) == 1) {
        ++result.stored;
        continue;
      }
    } catch (const common::Exception&) {
      // The table refused this line; the next ones may still fit.
    }
    countFailed(result, line.line);
  }
  return result;
}

std::string ImportedCountText(int count) {
  return languages::GetText(kImportedCountId) + " " + std::to_string(count);
}

std::string ImportEndMessage(const ImportResult& result) {
  std::string message = ImportedCountText(result.stored);
  if (result.failed > 0) {
    message += "\n" + languages::GetText(kFailedCountId) + " " + std::to_string(result.failed);
    message += "\n" + languages::GetText(kFirstFailedLinesId) + " ";
    for (std::size_t i = 0; i < result.firstFailedLines.size(); ++i) {
      if (i > 0) message += ", ";
      message += std::to_string(result.firstFailedLines[i]);
    }
  }
  if (result.numbersExhausted) message += "\n" + languages::GetText(kNumbersExhaustedId);
  return message;
}

}  // namespace vekrano::import
