// The main window's backup and restore commands: the tool buttons spSauve and spCharge.
#include <unistd.h>

#include <functional>

#include "app/article_table_access.h"
#include "app/backup_progress_window.h"
#include "app/desktop.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/work_feedback.h"
#include "backup/backup_commands.h"
#include "common/prompts.h"
#include "common/wait_cursor.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"
#include "records/article_data.h"

namespace vekrano::app {
namespace {

constexpr int kRestoreTitle = 42;
constexpr int kBackupTitle = 43;
constexpr int kBackupCaption = 195;
constexpr int kRestoreCaption = 196;
constexpr int kBackupNotLeft = 198;
constexpr int kRestoreUnchanged = 199;
constexpr int kNoTableInArchive = 200;
constexpr int kOperationStopped = 201;
constexpr int kFileNotFound = 202;
constexpr int kTargetIsTable = 203;
constexpr int kTableInUse = 204;

const QString kArchiveFilter = "Vekrano (*.vkb)";
const QString kArchiveExtension = ".vkb";

void reportFailure(const backup::CommandResult& result, int consequenceId) {
  std::string reason;
  switch (result.failure) {
    case backup::CommandFailure::None: return;
    case backup::CommandFailure::ComponentError:
    case backup::CommandFailure::ReplaceFailed:
    case backup::CommandFailure::NotATable:
    case backup::CommandFailure::TableBusy: reason = result.error; break;
    case backup::CommandFailure::TargetIsTable: reason = languages::GetText(kTargetIsTable); break;
    case backup::CommandFailure::TableInUse: reason = languages::GetText(kTableInUse); break;
    case backup::CommandFailure::Stopped: reason = languages::GetText(kOperationStopped); break;
    case backup::CommandFailure::ArchiveMissing: reason = languages::GetText(kFileNotFound); break;
    case backup::CommandFailure::NoTable: reason = languages::GetText(kNoTableInArchive); break;
  }
  common::showMessage(reason + "\n" + languages::GetText(consequenceId), "Vekrano", common::PromptKind::Error);
}

// Runs one command with the hourglass and the progress window; the table is closed and opened
// through the window's data. A raised error reaches the general error display.
backup::CommandResult runWithProgress(
    TFprincip& window, int captionId,
    const std::function<backup::CommandResult(backup::TBackupFile&, const backup::TableAccess&)>& run) {
  backup::TBackupFile component;
  backup::CommandResult result;
  try {
    common::WaitCursor hourglass;
    BackupProgressWindow progress(captionId, &window);
    progress.follow(component);
    const ArticleTableAccess table(window.data());
    result = run(component, table.access());
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
  return result;
}

}  // namespace

void TFprincip::spSauveClick() {
  const QString chosen = desktop().saveFileName(this, languages::textOf(kBackupTitle), kArchiveFilter);
  if (!chosen.isEmpty()) {
    // A name typed without an extension takes the archive's.
    const std::string archive = withDefaultExtension(chosen, kArchiveExtension).toStdString();
    const backup::CommandResult result =
        runWithProgress(*this, kBackupCaption, [&](backup::TBackupFile& component, const backup::TableAccess& table) {
          return backup::runBackup(component, programDirectory(), archive, table);
        });
    reportFailure(result, kBackupNotLeft);
    showBackupWritten(*this, result);
    redisplayList();
  }
  (void)::chdir(programDirectory().c_str());
}

void TFprincip::spChargeClick() {
  const QString chosen = desktop().openFileName(this, languages::textOf(kRestoreTitle), kArchiveFilter);
  if (!chosen.isEmpty() && restoreConfirmed()) {
    const std::string archive = chosen.toStdString();
    const backup::CommandResult result =
        runWithProgress(*this, kRestoreCaption, [&](backup::TBackupFile& component, const backup::TableAccess& table) {
          return backup::runSafeRestore(component, programDirectory(), archive, table);
        });
    reportFailure(result, kRestoreUnchanged);
    showRestored(*this, result, data());
  }
  (void)::chdir(programDirectory().c_str());
  // Whatever happened, the table is open again and the list shows it.
  try {
    if (!data().tarticle.Active()) data().openData();
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
  redisplayList();
}

}  // namespace vekrano::app
