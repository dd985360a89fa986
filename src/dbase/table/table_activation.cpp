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

bool exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

bool datedToday(const std::string& path) {
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
bool appendedWithoutClose(DbfTable& table) {
  std::uint8_t count[4] = {};
  if (table.file().readAt(count, sizeof count, kDbfCountOffset) != sizeof count) return false;
  const std::uint32_t headerCount = common::getU32(count);
  const std::int64_t size = table.file().size();
  if (size < table.headerLength() || table.recordLength() == 0) return false;
  return (size - table.headerLength()) / table.recordLength() > static_cast<std::int64_t>(headerCount);
}

// True when the table file was written after its index file: another program changed the
// table, or a process ended before its close noted that its writes left the index agreeing.
bool tableWrittenAfterIndex(const std::string& table, const std::string& index) {
  struct stat t {
  }, i{};
  if (stat(table.c_str(), &t) != 0 || stat(index.c_str(), &i) != 0) return false;
  return t.st_mtim.tv_sec > i.st_mtim.tv_sec ||
         (t.st_mtim.tv_sec == i.st_mtim.tv_sec && t.st_mtim.tv_nsec > i.st_mtim.tv_nsec);
}

// Index failures that mean the file is damaged or not an index of this table, as opposed to a
// refused lock or a file that cannot be reached.
bool damagedIndexCode(int code) {
  return code == kErrorCorruptedIndex || code == kErrorIndexVersionMismatch || code == kErrorInvalidSize ||
         code == kErrorDiskRead || code == kErrorUnexpectedEof || code == kErrorRequestBeyondRange ||
         code == kErrorInternal;
}

// True when a process that had the table open shared never logged out of its index (the last one
// out deletes the semaphore file): it may have died inside a change of the index.
bool leftBehind(DbfTable& table) { return exists(derivedFileName(table.fileName(), kSemaphoreExtension)); }

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
bool nobodyLoggedIn(DbfTable& table) {
  const std::string semaphore = derivedFileName(table.fileName(), kSemaphoreExtension);
  return !exists(semaphore) || common::nobodyElseHasOpen(semaphore);
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
  if (dbfFileName_.empty()) tzCheck(kTzMissingFileName);
  const int previous = selectedWorkArea();
  if (area_ == 0) area_ = acquireWorkArea();
  if (area_ == 0) {
    selectWorkArea(previous);
    dbfError(kErrorInvalidParameter, "No free workarea available [Select(0)]");
    tzCheck(kErrorInvalidParameter);
  }
  const common::OnUnwind closed([&] { closeTable(); });
  openTable();
}

void TTzDbf::openTable() {
  WorkArea& area = Area("Open");
  if (CreateIfNotFound && !exists(dbfFileName_) && !createDbfFromFieldList(name_, &DbfFields, dbfFileName_))
    common::showMessage("Could not create \"" + dbfFileName_ + "\"");
  const std::string alias = name_.empty() ? std::filesystem::path(dbfFileName_).stem().string() : name_;
  if (findWorkArea(alias) != nullptr) {
    dbfError(kErrorInvalidParameter, "Alias name \"" + alias + "\" already in use. [USE]");
    tzCheck(kErrorInvalidParameter);
  }
  const bool alone = common::nobodyElseHasOpen(dbfFileName_);
  openedAlone_ = alone;
  const auto openDbf = [&](bool countFromSize) {
    const DbfOpenMode mode = readOnly_    ? DbfOpenMode::ReadOnly
                             : exclusive_ ? DbfOpenMode::ExclusiveReadWrite
                                          : DbfOpenMode::SharedReadWrite;
    if (!area.table.OpenDbf(dbfFileName_, mode, TableLanguage == TTzTableLanguage::tlOem, countFromSize))
      tzCheck(dbfErrorCode() != 0 ? dbfErrorCode() : kTzOpenFailed);
  };
  openedStanding_ = filesStanding();
  openDbf(AutoFixRecCount);
  // Written in a code page it cannot convert, the table would end up holding two encodings; a
  // damaged one would lose records to the next write. Both are read as they are until repaired.
  const std::string damage = readOnly_ ? std::string() : area.table.Damage(alone);
  const bool unsupported = !readOnly_ && area.table.codePage() == DbfCodePage::Unsupported;
  if (unsupported || !damage.empty()) {
    const std::uint8_t language = area.table.languageByte();
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
  registerAlias(area, alias);
  if (area.table.hasMemo()) openMemoFile(area);
  area.shared = !exclusive_;
  area.hideDeleted = hideDeletedRecs_;
  area.locks.attach(area.table.file(), area.shared && !readOnly_, area.table.headerLength(), area.table.recordLength());
  // A table opened read-only cannot take the write lock of the index semaphore's login byte.
  area.view = std::make_unique<AreaIndexTable>(area.table, area.shared && !readOnly_, readOnly_, area.hideDeleted);
  area.index = std::make_unique<MdxIndex>(*area.view);
  // Another process may have opened the table since it was found alone: the repair is decided, and
  // made, under the login lock, which is held until this process has logged in itself.
  std::optional<LoginLock> login;
  bool rebuild = false;
  if (alone && !readOnly_) {
    login.emplace(area.table.file());
    rebuild =
        login->held() && nobodyLoggedIn(area.table) && (appendedWithoutClose(area.table) || leftBehind(area.table));
    if (!rebuild) login.reset();
  }
  openProductionIndex(rebuild);
  layout_ = std::make_unique<TableRecordLayout>(area.table);
  atBeginning_ = atEnd_ = true;
  onRecord_ = false;
}

void TTzDbf::openMemoFile(WorkArea& area) {
  const std::string memoName = derivedFileName(dbfFileName_, "DBT");
  const int error = area.memo.Open(memoName, readOnly_ ? FileAccess::ReadOnly : FileAccess::ReadWrite,
                                   exclusive_ ? FileShare::Exclusive : FileShare::DenyNone);
  if (error == 0) return;
  dbfError(error, "Problem opening memo file [USE(" + memoName + ")]");
  tzCheck(error);
}

// `rebuild`: this process alone has the table and a crashed one left it appended without closing
// it, or left its semaphore file; the index is built afresh and that semaphore file is removed.
void TTzDbf::openProductionIndex(bool rebuild) {
  WorkArea& area = Area("Open");
  TCreateIndexType state = CreateIndex;
  const std::vector<MdxTagDefinition> tags = parseIndexList(IndexList);
  const bool flagWasSet = area.table.productionIndexFlag();
  if (!tags.empty()) {
    if (!readOnly_) area.table.setProductionIndexFlag(true);
  } else {
    state = TCreateIndexType::ciNever;
    if (!area.table.productionIndexFlag()) return;
  }
  const std::string mdxName = derivedFileName(area.table.fileName(), "MDX");
  if (state == TCreateIndexType::ciNever) {
    area.index->SetIndexTo(mdxName);
    return;
  }
  SuspendAutoErrorReporting quiet;
  const std::string semaphore = derivedFileName(area.table.fileName(), kSemaphoreExtension);
  if (rebuild) std::filesystem::remove(semaphore);
  bool build = rebuild || !exists(mdxName);
  std::string fault;
  // Records without their index: others with the table open would go on without the new one.
  if (build && !rebuild && area.table.RecordCount() > 0) fault = "the index file is missing";
  if (!build && (state == TCreateIndexType::ciAlways || state == TCreateIndexType::ciVerifyHeader)) {
    if (exists(semaphore) && !datedToday(semaphore)) std::filesystem::remove(semaphore);
    if (exists(semaphore)) {
      state = TCreateIndexType::ciNotFound;
    } else if (state == TCreateIndexType::ciAlways) {
      build = true;
    }
  }
  if (!build && state == TCreateIndexType::ciVerifyHeader) {
    build = !openIndexFile(mdxName, fault) || !sameIndexList(indexListOf(*area.index), IndexList);
    if (build) area.index->Close();
  } else if (!build && openIndexFile(mdxName, fault)) {
    const bool everyKey = CheckEveryKey || tableWrittenAfterIndex(area.table.fileName(), mdxName);
    // The same files passed the check before: any write since, by any program, would show in
    // their times. Whether the flag is set is part of the files; who else has them open is not.
    const bool checked = flagWasSet && indexCheckKept(everyKey);
    // A table first opened by another process still open has its flag set only when that one closes.
    if (!checked)
      fault = flagWasSet || !openedAlone_ ? area.index->disagreement(everyKey)
                                          : "the table's production index flag was cleared";
    if (fault.empty()) {
      // Marking the index as agreeing changes its times: what is kept then would never be met.
      const bool marked = everyKey && !readOnly_;
      if (!checked && flagWasSet && !marked) keepIndexCheck(everyKey);
      if (marked) touchFile(mdxName);
      return;
    }
  } else if (!build && fault.empty()) {
    build = true;
  }
  if (!fault.empty()) {
    repairProductionIndex(mdxName, tags, fault);
  } else if (build) {
    makeProductionIndex(mdxName, tags);
  }
}

// Opens the index; false (error cleared) when it is missing (`fault` left empty), or damaged,
// corrupted or of another version (`fault` tells how).
bool TTzDbf::openIndexFile(const std::string& mdxName, std::string& fault) {
  WorkArea& area = getWorkArea(area_);
  try {
    if (area.index->SetIndexTo(mdxName)) return true;
  } catch (const EDorevError&) {
    if (!damagedIndexCode(dbfErrorCode())) throw;
  }
  const int code = dbfErrorCode();
  if (code != kErrorFileNotFound && !damagedIndexCode(code)) tzCheck(code);
  if (code != kErrorFileNotFound) fault = dbfErrorText();
  clearDbfError();
  return false;
}

// The open index disagrees with the table, or is damaged: built afresh when this process has the
// table alone, the old file kept beside it; refused when others use the table, since their
// processes would go on with the old file. A read-only table is used without its index.
void TTzDbf::repairProductionIndex(const std::string& mdxName, const std::vector<MdxTagDefinition>& tags,
                                   const std::string& fault) {
  WorkArea& area = getWorkArea(area_);
  area.index->Close();
  if (readOnly_) return;
  LoginLock login(area.table.file());
  if (!openedAlone_ || !login.held() || !nobodyLoggedIn(area.table)) {
    dbfError(kErrorCorruptedIndex, "Index " + mdxName + " does not match its table (" + fault +
                                       ") and another program has the table open: close every program that "
                                       "uses " +
                                       area.table.fileName() +
                                       ", then open it again so that the index is rebuilt [CheckIndex]");
    tzCheck(kErrorCorruptedIndex);
  }
  const std::string kept = exists(mdxName) ? mdxName + ".bad" : std::string();
  std::error_code error;
  if (!kept.empty()) std::filesystem::rename(mdxName, kept, error);
  if (error) {
    dbfError(error.value(), "Cannot keep " + mdxName + " as " + kept + " [CheckIndex]");
    tzCheck(error.value());
  }
  makeProductionIndex(mdxName, tags);
  if (OnIndexRebuilt) OnIndexRebuilt(mdxName, kept, fault);
}

void TTzDbf::makeProductionIndex(const std::string& mdxName, const std::vector<MdxTagDefinition>& tags) {
  WorkArea& area = getWorkArea(area_);
  bool canMake = true;
  if (OnBeforeMakeIndex) OnBeforeMakeIndex(mdxName, canMake);
  if (!canMake) {
    area.table.setProductionIndexFlag(false);
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
  const int code = dbfErrorCode();
  // The old index stayed; the table is marked as written after it, so that the next open
  // compares every key even when what called for this build (a semaphore file) is gone.
  if (!made) touchFile(area.table.fileName());
  if (OnAfterMakeIndex) OnAfterMakeIndex(mdxName);
  tzCheck(made ? 0 : (code != 0 ? code : kTzOpenFailed));
  area.index->SetIndexTo(mdxName);
}

void TTzDbf::InternalClose() { closeTable(); }

// Closing writes the header; in shared mode it first counts the records other processes appended,
// under the append lock, so the header and the end-of-file mark never fall inside their records.
void TTzDbf::closeTable() {
  if (area_ == 0) return;
  selectWorkArea(area_);
  WorkArea& area = getWorkArea(area_);
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
  if (written && !mdxName.empty()) touchFile(mdxName);
  area.locks.Detach();
  unregisterAlias(area);
  releaseWorkArea(area_);
  if (readOnlyForced_) readOnly_ = readOnlyForced_ = false;
  area_ = 0;
  scans_ = walks_ = 0;
  layout_.reset();
  atBeginning_ = atEnd_ = true;
  onRecord_ = false;
}

}  // namespace vekrano::dbase
