// Arbitrary bytes restored as an archive into a temporary folder: the restore may fail with
// an error or raise EBackupError, but must never crash, hang, or write outside the folder.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "backup/backup_file.h"
#include "common/prompts.h"

namespace {

std::filesystem::path makeFolder(const char* pattern) {
  std::string path = (std::filesystem::temp_directory_path() / pattern).string();
  if (!mkdtemp(path.data())) std::abort();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using vekrano::backup::TBackupFile;
  static vekrano::common::ScriptedPrompts answers;
  vekrano::common::setPrompts(&answers);
  answers.shown.clear();
  // The destination lies one level down, so a file escaping it would show up in `root`.
  static const std::filesystem::path root = makeFolder("fuzz-restore-XXXXXX");
  const std::filesystem::path dest = root / "dest";
  std::filesystem::create_directory(dest);

  for (const bool fullPath : {false, true}) {
    TBackupFile restore;
    restore.RestoreFullPath = fullPath;
    restore.OnError = [](TBackupFile&, int, const std::string&) {};
    // Further volumes never exist here; refusing them keeps the restore from asking for ever.
    restore.OnNeedDisk = [](TBackupFile&, std::uint16_t, bool& goOn) { goOn = false; };
    restore.Stream().assign(reinterpret_cast<const char*>(data), size);
    try {
      restore.Restore(":STREAM", dest.string());
    } catch (const vekrano::backup::EBackupError&) {
    }
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
      if (entry.path() != dest) std::abort();
    }
    if (!std::filesystem::is_empty(dest)) {
      std::filesystem::remove_all(dest);
      std::filesystem::create_directory(dest);
    }
  }
  return 0;
}
