// The import loop and the message that reports it.
#include "import/import_run.h"

#include "common/exception.h"
#include "common/scope_exit.h"
#include "dbase/dbase_error.h"
#include "dbase/table/table_dataset.h"
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

void noteRefusal(ImportResult& result, int line, const std::string& refusal) {
  if (result.firstRefusals.size() >= kReportedFailedLines) return;
  result.firstRefusals.push_back(languages::GetText(kLineWordId) + " " + std::to_string(line) + " - " + refusal);
}

void noteConverted(ImportResult& result, int line) {
  ++result.converted;
  if (result.firstConvertedLines.size() < kReportedFailedLines) {
    result.firstConvertedLines.push_back(line);
  }
}

std::string numberList(const std::vector<int>& numbers) {
  std::string list;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) list += ", ";
    list += std::to_string(numbers[i]);
  }
  return list;
}

}  // namespace

ImportResult runImport(CsvSource& source, const FieldMapping& mapping, bool quoted, records::ArticleData& data,
                       const LineCallback& onLine) {
  ImportResult result;
  CsvRecord line;
  // The lines are appended as one run: the locks stay held from one record to the next.
  data.tarticle.beginAppendRun();
  const common::ScopeExit runEnded([&] { data.tarticle.endAppendRun(); });
  while (source.Next(line)) {
    ++result.read;
    if (onLine) onLine(result.read);
    LineRecord fromLine = recordFromFields(line.fields, mapping, quoted);
    if (fromLine.refusal) noteRefusal(result, line.line, *fromLine.refusal);
    std::optional<records::BarcodeRecord>& record = fromLine.record;
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
      if (data.executeStatement(records::newRecordStatement(*record)) == 1) {
        ++result.stored;
        if (!fromLine.replacements.empty()) noteConverted(result, line.line);
        continue;
      }
    } catch (const common::Exception& error) {
      // The table refused this line; its cause (a full disk, a lock) is kept so that the user
      // learns why. A cause that every later line would meet too ends the import here.
      if (result.firstTableError.empty()) result.firstTableError = error.what();
      const auto* refused = dynamic_cast<const dbase::ETzCheckError*>(&error);
      if (refused != nullptr && dbase::lastingWriteFailure(refused->code())) {
        result.stoppedAtLine = line.line;
        result.firstTableError = error.what();
      }
    }
    countFailed(result, line.line);
    if (result.stoppedAtLine > 0) break;
  }
  return result;
}

std::string importedCountText(int count) { return languages::GetText(kImportedCountId) + " " + std::to_string(count); }

std::string importEndMessage(const ImportResult& result) {
  std::string message = importedCountText(result.stored);
  if (result.failed > 0) {
    message += "\n" + languages::GetText(kFailedCountId) + " " + std::to_string(result.failed);
    message += "\n" + languages::GetText(kFirstFailedLinesId) + " " + numberList(result.firstFailedLines);
  }
  if (!result.firstRefusals.empty()) {
    message += "\n" + languages::GetText(kRefusedLinesId);
    for (const std::string& refusal : result.firstRefusals) message += "\n" + refusal;
  }
  if (result.converted > 0) {
    message += "\n" + languages::GetText(kConvertedLinesId) + " " + std::to_string(result.converted) + " (" +
               numberList(result.firstConvertedLines) + ")";
  }
  if (result.numbersExhausted) message += "\n" + languages::GetText(kNumbersExhaustedId);
  if (result.stoppedAtLine > 0)
    message += "\n" + languages::GetText(kTableCannotWriteId) + " " + std::to_string(result.stoppedAtLine);
  if (!result.firstTableError.empty()) message += "\n" + result.firstTableError;
  return message;
}

}  // namespace vekrano::import
