// The backup and restore commands of the application and of vekrano-sql: the table files'
// patterns, the component's settings, and a restore that replaces the table only once the
// whole archive was read into a folder beside it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "backup/backup_file.h"

namespace vekrano::backup {

// What a command needs of the open table: close it so that its files on disk hold every stored
// record (header and index written), and open it again afterwards. While a backup reads the
// files, `holdStill` keeps other programs from changing them until `letGo` (both may be empty);
// while a restore replaces them, `check` opens the restored table in the folder it was restored
// into and throws when it is not a sound table.
struct TableAccess {
  std::function<void()> close;
  std::function<void()> reopen;
  std::function<void()> holdStill;
  std::function<void()> letGo;
  std::function<void(const std::string& folder)> check;
};

enum class CommandFailure {
  None,
  ComponentError,  // the component's text is in `error`
  Stopped,  // a volume refused or the progress stopped
  ArchiveMissing,  // the archive file does not exist
  NoTable,  // the archive holds no "article.dbf"
  ReplaceFailed,  // the restored files could not be put in place; `error` tells why
  TargetIsTable,  // the archive would be written over one of the table's own files
  TableInUse,  // another program has the table open
  NotATable,  // the archive's table does not open; `error` tells why
  TableBusy,  // the table could not be held still for reading; `error` tells why
};

struct CommandResult {
  CommandFailure failure = CommandFailure::None;
  std::string error;
  // Saved: the names stored in the archive; restored: the file names put in place.
  std::vector<std::string> files;
  // Backup: the volume files written, the first one first.
  std::vector<std::string> volumes;
  bool done() const { return failure == CommandFailure::None; }
};

// Every "*.dbf", then "*.mdx", then "*.dbt" of the program directory.
std::vector<std::string> backupPatterns(const std::string& programDirectory);

// Level 9 and volumes of at most 1 300 000 bytes, as every backup is made.
void prepareForBackup(TBackupFile& component);

// Saves the table files of `programDirectory` into `archive`. The table is closed meanwhile and
// reopened afterwards, and held still while its files are read. The archive is written under a
// new name beside `archive` and renamed over it only once complete and on disk, so a backup that
// does not complete leaves any archive already there as it was; what killed backups left beside
// it is removed. Errors come back with the
// component's text instead of its box.
CommandResult runBackup(TBackupFile& component, const std::string& programDirectory, const std::string& archive,
                        const TableAccess& table);

// Restores `archive` into a new folder beside the table; only when it was read to its end
// without an error, held "article.dbf" and that table opens there, are the table files
// replaced, each by a rename, the old index removed first, so that a restore stopped at any
// point leaves a table that opens. No other program may have the table open meanwhile: the
// restore waits a few seconds for them, then gives up. Otherwise the current files stay as they
// were. The table is reopened in every case. Folders left by restores that died are removed.
CommandResult runSafeRestore(TBackupFile& component, const std::string& programDirectory, const std::string& archive,
                             const TableAccess& table);

}  // namespace vekrano::backup
