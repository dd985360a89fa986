// .backup FILE and .restore FILE: the buttons' commands, with further volumes taken from beside
// the first one without a question.
#include <filesystem>

#include "app/article_table_access.h"
#include "app/program/sql_shell_commands.h"
#include "backup/archive_writer.h"
#include "backup/backup_commands.h"

namespace vekrano::app {
namespace {

namespace bk = vekrano::backup;

const std::string& archiveArgument(const char* command, const std::vector<std::string>& arguments) {
  if (arguments.size() != 1 || arguments[0].empty()) {
    throw EShellUsage(std::string("usage: ") + command + " FILE");
  }
  return arguments[0];
}

void throwFailure(const bk::CommandResult& result, const std::string& archive, const char* unchanged) {
  switch (result.failure) {
    case bk::CommandFailure::None: return;
    case bk::CommandFailure::ComponentError:
    case bk::CommandFailure::ReplaceFailed:
    case bk::CommandFailure::NotATable:
    case bk::CommandFailure::TableBusy: throw common::Exception(result.error + ": " + archive + unchanged);
    case bk::CommandFailure::TargetIsTable:
      throw common::Exception("the archive would be written over the table's own file: " + archive);
    case bk::CommandFailure::TableInUse:
      throw common::Exception("another program has the table open: " + archive + unchanged);
    case bk::CommandFailure::Stopped: throw common::Exception("stopped: " + archive + unchanged);
    case bk::CommandFailure::ArchiveMissing: throw common::Exception("no such archive: " + archive);
    case bk::CommandFailure::NoTable:
      throw common::Exception("the archive holds no article.dbf: " + archive + unchanged);
  }
}

}  // namespace

void backupDotCommand(ShellContext& context, const std::vector<std::string>& arguments) {
  const std::string& archive = archiveArgument(".backup", arguments);
  bk::TBackupFile component;
  // No one to insert a disk: each further volume is written beside the first.
  component.OnNeedDisk = [](bk::TBackupFile&, std::uint16_t, bool& goOn) { goOn = true; };
  const ArticleTableAccess table(context.data);
  const bk::CommandResult result = bk::runBackup(component, context.data.programDirectory(), archive, table.access());
  throwFailure(result, archive, " (no archive written)");
  for (const std::string& name : result.files) std::fprintf(context.out, "saved %s\n", name.c_str());
  for (const std::string& volume : result.volumes) {
    std::fprintf(context.out, "into %s\n", volume.c_str());
  }
}

void restoreDotCommand(ShellContext& context, const std::vector<std::string>& arguments) {
  const std::string& archive = archiveArgument(".restore", arguments);
  bk::TBackupFile component;
  std::string missingVolume;
  component.OnNeedDisk = [&](bk::TBackupFile&, std::uint16_t volume, bool& goOn) {
    const std::string path = bk::volumePath(archive, volume);
    std::error_code ignored;
    goOn = std::filesystem::is_regular_file(path, ignored);
    if (!goOn) missingVolume = path;
  };
  const ArticleTableAccess table(context.data);
  bk::CommandResult result = bk::runSafeRestore(component, context.data.programDirectory(), archive, table.access());
  if (result.failure == bk::CommandFailure::Stopped && !missingVolume.empty()) {
    throw common::Exception("missing volume " + missingVolume + ": the table was left as it was");
  }
  throwFailure(result, archive, ": the table was left as it was");
  for (const std::string& name : result.files) {
    std::fprintf(context.out, "restored %s\n", name.c_str());
  }
}

}  // namespace vekrano::app
