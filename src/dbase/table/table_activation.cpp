// Opening and closing the table dataset: the work area, creating a missing table, the open itself,
// the production index in every CreateIndex state, and the record layout.
#include <sys/stat.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>

#include "common/byte_codec.h"
#include "common/process_events.h"
#include "common/scope_exit.h"
#include "common/share_mode_lock.h"
#include "common/prompts.h"
#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_field_list.h"
#include "dbase/dbf/dbf_format.h"
#include "dbase/file_helpers.h"
#include "dbase/file_io.h"
#include "dbase/mdx/mdx_failure.h"
#include "dbase/mdx/mdx_format.h"
#include "dbase/table/table_dataset.h"
#include "dbase/table/table_index_list.h"
#include "dbase/table/table_work_areas.h"
#include "dbase/table_locks.h"
#include "dbase/work_areas.h"

namespace vekrano::dbase {
namespace {

bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

bool DatedToday(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return false;
  const std::time_t now = std::time(nullptr);
  std::tm file{}, today{};
  localtime_r(&st.st_mtime, &file);
  localtime_r(&now, &today);
  return file.tm_year == today.tm_year && file.tm_yday == today.tm_yday;
}

// True when the file holds more whole records than its header counts: records were appended by a
// process that never closed the table, so its index may lack their keys or be half written.
bool AppendedWithoutClose(DbfTable& table) {
  std::uint8_t count[4] = {};
  if (table.file().readAt(count, sizeof count, kDbfCountOffset) != sizeof count) return false;
  const std::uint32_t headerCount = common::getU32(count);
  const std::int64_t size = table.file().size();
  if (size < table.HeaderLength() || table.RecordLength() == 0) return false;
  return (size - table.HeaderLength()) / table.RecordLength() > static_cast<std::int64_t>(headerCount);
}

// True when the table file was written after its index file: another program changed the
// table, or a process ended before its close noted that its writes left the index agreeing.
bool TableWrittenAfterIndex(const std::string& table, const std::string& index) {
  struct stat t {}, i {};
  if (stat(table.c_str(), &t) != 0 || stat(index.c_str(), &i) != 0) return false;
  return t.st_mtim.tv_sec > i.st_mtim.tv_sec ||
         (t.st_mtim.tv_sec == i.st_mtim.tv_sec && t.st_mtim.tv_nsec > i.st_mtim.tv_nsec);
}

// Index failures that mean the file is damaged or not an index of this table, as opposed to a
// refused lock or a file that cannot be reached.
bool DamagedIndexCode(int code) {
  return code == kErrorCorruptedIndex || code == kErrorIndexVersionMismatch || code == kErrorInvalidSize ||
         code == kErrorDiskRead || code == kErrorUnexpectedEof || code == kErrorRequestBeyondRange ||
         code == kErrorInternal;
}

// True when a process that had the table open shared never logged out of its index (the last one
// out deletes the semaphore file): it may have died inside a change of the index.
bool LeftBehind(DbfTable& table) { return Exists(DerivedFileName(table.fileName(), kSemaphoreExtension)); }

// The index login lock of the table: while it is held no process logs in to or out of the index.
class LoginLock {
 public:
  explicit LoginLock(File& table) : table_(table), held_(lockWithRetries(table, kTableLockOffset, 1) == 0) {}
  ~LoginLock() {
    if (held_) table_.unlock(kTableLockOffset, 1);
  }
  LoginLock(const LoginLock&) = delete;
  LoginLock& operator=(const LoginLock&) = delete;
  bool held() const { return held_; }

 private:
  File& table_;
  bool held_;
};

// Under the login lock: every process logged in keeps the semaphore file open, so when nobody
// holds it no other process is using the index.
bool NobodyLoggedIn(DbfTable& table) {
  const std::string semaphore = DerivedFileName(table.fileName(), kSemaphoreExtension);
  return !Exists(semaphore) || common::nobodyElseHasOpen(semaphore);
}

// Calls End on the progress window however the build ends.
class ProgressScope {
 public:
  ProgressScope(TTzIndexProgress* progress, const std::string& caption) : progress_(progress) {
    if (progress_ != nullptr) progress_->Begin(caption);
  }
  ~ProgressScope() {
    if (progress_ != nullptr) progress_->End();
  }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;
  TTzIndexProgress* get() const { return progress_; }

 private:
  TTzIndexProgress* progress_;
};

}  // namespace

void TTzDbf::InternalOpen() {
  common::processEvents();
  if (dbfFileName_.empty()) TzCheck(kTzMissingFileName);
  const int previous = SelectedWorkArea();
  if (area_ == 0) area_ = AcquireWorkArea();
  if (area_ == 0) {
    SelectWorkArea(previous);
    DbfError(kErrorInvalidParameter, "No free workarea available [Select(0)]");
    TzCheck(kErrorInvalidParameter);
  }
  const common::OnUnwind closed([&] { CloseTable(); });
  OpenTable();
}

void TTzDbf::OpenTable() {
  WorkArea& area = Area("Open");
  if (CreateIfNotFound && !Exists(dbfFileName_) && !CreateDbfFromFieldList(name_, &DbfFields, dbfFileName_))
    common::showMessage("Could not create \"" + dbfFileName_ + "\"");
  const std::string alias = name_.empty() ? std::filesystem::path(dbfFileName_).stem().string() : name_;
  if (FindWorkArea(alias) != nullptr) {
    DbfError(kErrorInvalidParameter, "Alias name \"" + alias + "\" already in use. [USE]");
    TzCheck(kErrorInvalidParameter);
  }
  const bool alone = common::nobodyElseHasOpen(dbfFileName_);
  openedAlone_ = alone;
  const auto openDbf = [&](bool countFromSize) {
    const DbfOpenMode mode = readOnly_   ? DbfOpenMode::ReadOnly
                             : exclusive_ ? DbfOpenMode::ExclusiveReadWrite
                                          : DbfOpenMode::SharedReadWrite;
    if (!area.table.OpenDbf(dbfFileName_, mode, TableLanguage == TTzTableLanguage::tlOem, countFromSize))
      TzCheck(DbfErrorCode() != 0 ? DbfErrorCode() : kTzOpenFailed);
  };
  openDbf(AutoFixRecCount);
  // Written in a code page it cannot convert, the table would end up holding two encodings; a
  // damaged one would lose records to the next write. Both are read as they are until repaired.
  const std::string damage = readOnly_ ? std::string() : area.table.Damage(alone);
  const bool unsupported = !readOnly_ && area.table.codePage() == DbfCodePage::Unsupported;
  if (unsupported || !damage.empty()) {
    const std::uint8_t language = area.table.LanguageByte();
    area.table.CloseDbf();
    readOnly_ = readOnlyForced_ = true;
    openDbf(AutoFixRecCount || !damage.empty());
    const std::string message =
        unsupported ? dbfFileName_ + " declares a code page (language byte " + std::to_string(language) +
                                          ") that this program cannot convert: the table is opened read-only."
                                    : dbfFileName_ + " is damaged: " + damage +
                                          ". It is opened read-only and nothing is written until it is repaired "
                                          "(vekrano-sql DIR .repair).";
    if (OnOpenedReadOnly) {
      OnOpenedReadOnly(message);
    } else {
      common::showMessage(message);
    }
  }
  RegisterAlias(area, alias);
  if (area.table.hasMemo()) OpenMemoFile(area);
  area.shared = !exclusive_;
  area.hideDeleted = hideDeletedRecs_;
  area.locks.Attach(area.table.file(), area.shared && !readOnly_, area.table.HeaderLength(), area.table.RecordLength());
  // A table opened read-only cannot take the write lock of the index semaphore's login byte.
  area.view = std::make_unique<AreaIndexTable>(area.table, area.shared && !readOnly_, readOnly_, area.hideDeleted);
  area.index = std::make_unique<MdxIndex>(*area.view);
  // Another process may have opened the table since it was found alone: the repair is decided, and
  // made, under the login lock, which is held until this process has logged in itself.
  std::optional<LoginLock> login;
  bool rebuild = false;
  if (alone && !readOnly_) {
    login.emplace(area.table.file());
    rebuild = login->held() && NobodyLoggedIn(area.table) &&
              (AppendedWithoutClose(area.table) || LeftBehind(area.table));
    if (!rebuild) login.reset();
  }
  OpenProductionIndex(rebuild);
  layout_ = std::make_unique<TableRecordLayout>(area.table);
  atBeginning_ = atEnd_ = true;
  onRecord_ = false;
}

void TTzDbf::OpenMemoFile(WorkArea& area) {
  const std::string memoName = DerivedFileName(dbfFileName_, "DBT");
  const int error = area.memo.Open(memoName, readOnly_ ? FileAccess::ReadOnly : FileAccess::ReadWrite,
                                   exclusive_ ? FileShare::Exclusive : FileShare::DenyNone);
  if (error == 0) return;
  DbfError(error, "Problem opening memo file [USE(" + memoName + ")]");
  TzCheck(error);
}

// `rebuild`: this process alone has the table and a crashed one left it appended without closing
// it, or left its semaphore file; the index is built afresh and that semaphore file is removed.
void TTzDbf::OpenProductionIndex(bool rebuild) {
  WorkArea& area = Area("Open");
  TCreateIndexType state = CreateIndex;
  const std::vector<MdxTagDefinition> tags = ParseIndexList(IndexList);
  const bool flagWasSet = area.table.ProductionIndexFlag();
  if (!tags.empty()) {
    if (!readOnly_) area.table.SetProductionIndexFlag(true);
  } else {
    state = TCreateIndexType::ciNever;
    if (!area.table.ProductionIndexFlag()) return;
  }
  const std::string mdxName = DerivedFileName(area.table.fileName(), "MDX");
  if (state == TCreateIndexType::ciNever) {
    area.index->SetIndexTo(mdxName);
    return;
  }
  SuspendAutoErrorReporting quiet;
  const std::string semaphore = DerivedFileName(area.table.fileName(), kSemaphoreExtension);
  if (rebuild) std::filesystem::remove(semaphore);
  bool build = rebuild || !Exists(mdxName);
  std::string fault;
  // Records without their index: others with the table open would go on without the new one.
  if (build && !rebuild && area.table.RecordCount() > 0) fault = "the index file is missing";
  if (!build && (state == TCreateIndexType::ciAlways || state == TCreateIndexType::ciVerifyHeader)) {
    if (Exists(semaphore) && !DatedToday(semaphore)) std::filesystem::remove(semaphore);
    if (Exists(semaphore)) {
      state = TCreateIndexType::ciNotFound;
    } else if (state == TCreateIndexType::ciAlways) {
      build = true;
    }
  }
  if (!build && state == TCreateIndexType::ciVerifyHeader) {
    build = !OpenIndexFile(mdxName, fault) || !SameIndexList(IndexListOf(*area.index), IndexList);
    if (build) area.index->Close();
  } else if (!build && OpenIndexFile(mdxName, fault)) {
    const bool everyKey = CheckEveryKey || TableWrittenAfterIndex(area.table.fileName(), mdxName);
    // A table first opened by another process still open has its flag set only when that one closes.
    fault = flagWasSet || !openedAlone_ ? area.index->Disagreement(everyKey)
                                        : "the table's production index flag was cleared";
    if (fault.empty()) {
      if (everyKey && !readOnly_) TouchFile(mdxName);
      return;
    }
  } else if (!build && fault.empty()) {
    build = true;
  }
  if (!fault.empty()) {
    RepairProductionIndex(mdxName, tags, fault);
  } else if (build) {
    MakeProductionIndex(mdxName, tags);
  }
}

// Opens the index; false (error cleared) when it is missing (`fault` left empty), or damaged,
// corrupted or of another version (`fault` tells how).
bool TTzDbf::OpenIndexFile(const std::string& mdxName, std::string& fault) {
  WorkArea& area = GetWorkArea(area_);
  try {
    if (area.index->SetIndexTo(mdxName)) return true;
  } catch (const EDorevError&) {
    if (!DamagedIndexCode(DbfErrorCode())) throw;
  }
  const int code = DbfErrorCode();
  if (code != kErrorFileNotFound && !DamagedIndexCode(code)) TzCheck(code);
  if (code != kErrorFileNotFound) fault = DbfErrorText();
  ClearDbfError();
  return false;
}

// The open index disagrees with the table, or is damaged: built afresh when this process has the
// table alone, the old file kept beside it; refused when others use the table, since their
// processes would go on with the old file. A read-only table is used without its index.
void TTzDbf::RepairProductionIndex(const std::string& mdxName, const std::vector<MdxTagDefinition>& tags,
                                   const std::string& fault) {
  WorkArea& area = GetWorkArea(area_);
  area.index->Close();
  if (readOnly_) return;
  LoginLock login(area.table.file());
  if (!openedAlone_ || !login.held() || !NobodyLoggedIn(area.table)) {
    DbfError(kErrorCorruptedIndex, "Index " + mdxName + " does not match its table (" + fault +
                                       ") and another program has the table open: close every program that "
                                       "uses " + area.table.fileName() +
                                       ", then open it again so that the index is rebuilt [CheckIndex]");
    TzCheck(kErrorCorruptedIndex);
  }
  const std::string kept = Exists(mdxName) ? mdxName + ".bad" : std::string();
  std::error_code error;
  if (!kept.empty()) std::filesystem::rename(mdxName, kept, error);
  if (error) {
    DbfError(error.value(), "Cannot keep " + mdxName + " as " + kept + " [CheckIndex]");
    TzCheck(error.value());
  }
  MakeProductionIndex(mdxName, tags);
  if (OnIndexRebuilt) OnIndexRebuilt(mdxName, kept, fault);
}

void TTzDbf::MakeProductionIndex(const std::string& mdxName, const std::vector<MdxTagDefinition>& tags) {
  WorkArea& area = GetWorkArea(area_);
  bool canMake = true;
  if (OnBeforeMakeIndex) OnBeforeMakeIndex(mdxName, canMake);
  if (!canMake) {
    area.table.SetProductionIndexFlag(false);
    return;
  }
  bool made = false;
  {
    ProgressScope progress(ShowProgress ? IndexProgress : nullptr, "Indexing " + mdxName + "...");
    MdxBuildOptions options;
    if (progress.get() != nullptr) {
      options.progress = [&progress](std::int32_t done, std::int32_t count) {
        progress.get()->Advance(count > 0 ? static_cast<int>(std::int64_t{done} * 100 / count) : 100);
      };
    }
    made = area.index->MakeIndex(mdxName, tags, options);
  }
  const int code = DbfErrorCode();
  // The old index stayed; the table is marked as written after it, so that the next open
  // compares every key even when what called for this build (a semaphore file) is gone.
  if (!made) TouchFile(area.table.fileName());
  if (OnAfterMakeIndex) OnAfterMakeIndex(mdxName);
  TzCheck(made ? 0 : (code != 0 ? code : kTzOpenFailed));
  area.index->SetIndexTo(mdxName);
}

void TTzDbf::InternalClose() { CloseTable(); }

// Closing writes the header; in shared mode it first counts the records other processes appended,
// under the append lock, so the header and the end-of-file mark never fall inside their records.
void TTzDbf::CloseTable() {
  if (area_ == 0) return;
  SelectWorkArea(area_);
  WorkArea& area = GetWorkArea(area_);
  area.locks.Unlock();
  try {
    if (area.index) area.index->Close();
  } catch (const EDorevError&) {
    // Closing cannot report; the error code is left set.
  }
  area.memo.Close();
  const bool written = area.table.status() == DbfStatus::Changed || area.table.status() == DbfStatus::Appended;
  const std::string mdxName = area.index && area.index->isOpen() ? area.index->fileName() : std::string();
  area.table.CloseDbf();
  // Every write of this process kept the index up to date: the next open need not compare keys.
  if (written && !mdxName.empty()) TouchFile(mdxName);
  area.locks.Detach();
  UnregisterAlias(area);
  ReleaseWorkArea(area_);
  if (readOnlyForced_) readOnly_ = readOnlyForced_ = false;
  area_ = 0;
  scans_ = walks_ = 0;
  layout_.reset();
  atBeginning_ = atEnd_ = true;
  onRecord_ = false;
}

}  // namespace vekrano::dbase
