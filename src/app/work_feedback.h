// What the status bar says at the end of long work (a print run, a PDF, a backup, a restore),
// in the interface language.
#pragma once

#include <QString>
#include <cstdint>

class QMainWindow;

namespace vekrano::backup {
struct CommandResult;
}  // namespace vekrano::backup

namespace vekrano::records {
class ArticleData;
}  // namespace vekrano::records

namespace vekrano::app {

// `bytes` as the interface language writes a size: "512 bytes", "1.5 KB", "1.3 MB", in units
// of 1024, one decimal from KB on.
QString dataSizeText(std::uintmax_t bytes);

// "N labels on M sheets sent to PRINTER"; `printerName` empty for the system's default printer,
// named when there is one. REQUIRES: labels >= sheets >= 1.
QString printedText(int labels, int sheets, const QString& printerName);
// "PDF written: PATH".
QString pdfWrittenText(const QString& path);
// "Backup written: N files, SIZE", SIZE the archive's volumes on disk together.
QString backupWrittenText(const backup::CommandResult& result);
// "Restored: N records".
QString restoredText(int records);

// Shows `text` in the status bar of `window` until the next message.
void showFeedback(QMainWindow& window, const QString& text);

// The end of a backup or restore command in the status bar; nothing when it did not complete.
// The restore counts the records of the table `data` holds now.
void showBackupWritten(QMainWindow& window, const backup::CommandResult& result);
void showRestored(QMainWindow& window, const backup::CommandResult& result, records::ArticleData& data);

}  // namespace vekrano::app
