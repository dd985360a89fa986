// The component's settings; the operations themselves are in backup_run.cpp and restore_run.cpp,
// their state and reports in run_state.cpp.
#include "backup/backup_file.h"

namespace vekrano::backup {

void TBackupFile::setBackupMode(TBackupMode mode) {
  backupMode_ = mode;
  if (mode == TBackupMode::bmIncremental) SetArchiveFlag = true;
}

}  // namespace vekrano::backup
