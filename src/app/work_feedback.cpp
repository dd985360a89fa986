#include "app/work_feedback.h"

#include <QLocale>
#include <QMainWindow>
#include <QPrinterInfo>
#include <QStatusBar>
#include <filesystem>

#include "app/filled_text.h"
#include "backup/backup_commands.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"
#include "records/article_data.h"

namespace vekrano::app {
namespace {

constexpr int kOneLabelText = 280;
constexpr int kLabelsOnOneSheetText = 281;
constexpr int kLabelsOnSheetsText = 282;
constexpr int kDefaultPrinterText = 283;
constexpr int kPdfWrittenText = 284;
constexpr int kOneFileBackupText = 285;
constexpr int kFilesBackupText = 286;
constexpr int kOneRecordRestoredText = 287;
constexpr int kRecordsRestoredText = 288;
constexpr int kBytesText = 290;
constexpr int kKilobytesText = 291;  // followed by MB and GB

constexpr const char* kCountStatement = "select count(*) as nb from article";

// The number format of the interface language: "1,5" in French, "1.5" in English.
QLocale languageLocale() {
  switch (languages::languageNumber()) {
    case languages::kFrench: return QLocale(QLocale::French);
    case languages::kPortuguese: return QLocale(QLocale::Portuguese, QLocale::Portugal);
    case languages::kSpanish: return QLocale(QLocale::Spanish);
    default: return QLocale(QLocale::English);
  }
}

int recordsOfTable(records::ArticleData& data) {
  sql::TSqlQuery& query = data.sqlqueryfonction;
  query.Close();
  query.SQL().Clear();
  query.SQL().Add(kCountStatement);
  query.Open();
  query.First();
  const int records = query.FieldByName("nb").AsInteger();
  query.Close();
  return records;
}

}  // namespace

QString dataSizeText(std::uintmax_t bytes) {
  const QLocale locale = languageLocale();
  if (bytes < 1024) {
    return fillIn(languages::textOf(kBytesText), {locale.toString(qulonglong(bytes))});
  }
  double size = static_cast<double>(bytes) / 1024;
  int unit = kKilobytesText;
  for (; size >= 1024 && unit < kKilobytesText + 2; ++unit) size /= 1024;
  return fillIn(languages::textOf(unit), {locale.toString(size, 'f', 1)});
}

QString printedText(int labels, int sheets, const QString& printerName) {
  QString printer = printerName.isEmpty() ? QPrinterInfo::defaultPrinterName() : printerName;
  if (printer.isEmpty()) printer = languages::textOf(kDefaultPrinterText);
  const int id = labels == 1 ? kOneLabelText : sheets == 1 ? kLabelsOnOneSheetText : kLabelsOnSheetsText;
  return fillIn(languages::textOf(id), {QString::number(labels), QString::number(sheets), printer});
}

QString pdfWrittenText(const QString& path) { return fillIn(languages::textOf(kPdfWrittenText), {path}); }

QString backupWrittenText(const backup::CommandResult& result) {
  std::uintmax_t bytes = 0;
  for (const std::string& volume : result.volumes) {
    std::error_code unreadable;
    const std::uintmax_t size = std::filesystem::file_size(volume, unreadable);
    if (!unreadable) bytes += size;
  }
  const int files = static_cast<int>(result.files.size());
  return fillIn(languages::textOf(files == 1 ? kOneFileBackupText : kFilesBackupText),
                {QString::number(files), dataSizeText(bytes)});
}

QString restoredText(int records) {
  return fillIn(languages::textOf(records == 1 ? kOneRecordRestoredText : kRecordsRestoredText),
                {QString::number(records)});
}

void showFeedback(QMainWindow& window, const QString& text) { window.statusBar()->showMessage(text); }

void showBackupWritten(QMainWindow& window, const backup::CommandResult& result) {
  if (result.done()) showFeedback(window, backupWrittenText(result));
}

void showRestored(QMainWindow& window, const backup::CommandResult& result, records::ArticleData& data) {
  if (!result.done()) return;
  // A table that does not open again is reported by the command that reopens it.
  try {
    showFeedback(window, restoredText(recordsOfTable(data)));
  } catch (const std::exception&) {
  }
}

}  // namespace vekrano::app
