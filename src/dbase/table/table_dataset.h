// TTzDbf: one dBase table with its production index as a navigable, editable dataset. The table
// lives in a numbered work area while the component is active; in shared mode appends and record
// writes are guarded by byte-range locks held for one write each.
#pragma once

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dbase/dataset/dataset.h"
#include "dbase/dbase_error.h"
#include "dbase/table/table_kept_facts.h"
#include "dbase/table/table_record.h"
#include "dbase/table_locks.h"

namespace vekrano::dbase {

struct WorkArea;
struct MdxTagDefinition;

enum class TTzTableLanguage { tlOem, tlAnsi };
enum class TCreateIndexType { ciNotFound, ciAlways, ciVerifyHeader, ciNever };

// What tells a caller that keeps something computed from the records whether the table may have
// changed since it looked: see TTzDbf::ChangeStamp.
struct TTzChangeStamp {
  std::int32_t recordCount = 0;  // from the file size
  // Write sections of every process on the shared index, modulo 65536; none without one.
  std::optional<std::uint16_t> indexChanges;
  bool shared = false;  // other processes may write the table
  // Records this component replaced, deleted or restored since it was created.
  std::uint64_t ownChanges = 0;
};

class TTzDbf;
using TTzNotifyEvent = std::function<void(TTzDbf& sender)>;
// `retry` is false on entry; setting it makes the operation try the lock again.
using TTzLockFailedEvent = std::function<void(TTzDbf& sender, bool& retry)>;
// `canMake` is true on entry; false skips building the index.
using TTzBeforeMakeIndexEvent = std::function<void(const std::string& name, bool& canMake)>;
using TTzAfterMakeIndexEvent = std::function<void(const std::string& name)>;

// Shows the progress of an index build: Begin with the caption "Indexing <file>...", Advance with
// a percentage (0 to 100), End once afterwards, also when the build failed.
class TTzIndexProgress {
 public:
  virtual ~TTzIndexProgress() = default;
  virtual void Begin(const std::string& caption) = 0;
  virtual void Advance(int percent) = 0;
  virtual void End() = 0;
};

// The engine's lock offset: locks are taken on bytes from here on, never on data.
inline constexpr std::int64_t kTzLockOffset = kTableLockOffset;

// The check routine: nothing for 0; otherwise raises ETzCheckError with "Dataset error: <code>"
// (1401-1403), "Missing DbfFilename property" (1404) or "Dataset error: " and the composed engine
// message of the code and the current detail text.
void tzCheck(int code);

// What the check routine raises for an engine code: the message above and the code, so that a
// caller can tell a full disk from a refused lock.
class ETzCheckError : public common::Exception {
 public:
  ETzCheckError(int code, const std::string& message) : common::Exception(message), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

// The appends a run kept in memory could not be written: the table and its index were put back
// as they were before the first of them (see TTzDbf::deferAppendWrites).
class ETzAppendsTakenBack : public ETzCheckError {
 public:
  using ETzCheckError::ETzCheckError;
};

class TTzDbf : public TDataSet {
 public:
  // `name` is the component's name: the alias of its table and the prefix of its messages.
  explicit TTzDbf(std::string name = {});
  ~TTzDbf() override;

  const std::string& Name() const { return name_; }

  // --- Properties. Those marked "reopens" close and reopen an active table when changed.

  // Field list ("name,type,length,decimals" per line) used only to create a missing table.
  std::vector<std::string> DbfFields;
  // Tag lines of the production index, two per tag.
  std::vector<std::string> IndexList;
  TTzTableLanguage TableLanguage = TTzTableLanguage::tlOem;
  TCreateIndexType CreateIndex = TCreateIndexType::ciNotFound;
  bool CreateIfNotFound = true;
  bool AutoFixRecCount = false;
  bool ShowProgress = true;
  // Borrowed; called while an index is built when ShowProgress is set.
  TTzIndexProgress* IndexProgress = nullptr;
  // At activation the production index is checked against the table: the production flag, each
  // tag's key count and keys naming no record. With this set (and whenever the table was written
  // after its index) every key is also compared with its record's value.
  bool CheckEveryKey = false;

  // Surrounding blanks removed, "DBF" added when there is no extension (unless it ends with ".").
  // Reopens.
  const std::string& DbfFileName() const { return dbfFileName_; }
  void setDbfFileName(const std::string& name);
  // Reopens.
  bool Exclusive() const { return exclusive_; }
  void setExclusive(bool exclusive);
  // Records marked deleted are skipped by every navigation. On an active table the current record
  // is re-read, the cursor leaves it when it became hidden, and an edit or insertion is cancelled.
  bool HideDeletedRecs() const { return hideDeletedRecs_; }
  void setHideDeletedRecs(bool hide);
  bool ReadOnly() const { return readOnly_; }
  // REQUIRES: the table is closed.
  void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

  // --- Events

  TTzBeforeMakeIndexEvent OnBeforeMakeIndex;
  TTzAfterMakeIndexEvent OnAfterMakeIndex;
  TTzLockFailedEvent OnALockFailedOnInsert;
  TTzLockFailedEvent OnRLockFailedOnPost;
  TTzLockFailedEvent OnRLockFailedOnDelete;
  TTzLockFailedEvent OnRLockFailedOnRestore;
  // After activation rebuilt an index that disagreed with its table or was damaged: the index
  // file, the name the old one is kept under ("" when there was none), and what was wrong, in words.
  std::function<void(const std::string& indexFile, const std::string& keptAs, const std::string& fault)> OnIndexRebuilt;
  // After activation opened a damaged table, or one in a code page the engine cannot convert,
  // read-only: the message saying so. Unassigned, the message is shown through the prompts.
  std::function<void(const std::string& message)> OnOpenedReadOnly;
  TTzNotifyEvent BeforeRestore;
  TTzNotifyEvent AfterRestore;
  // Within a lock-failed event: how many attempts of the lock being taken were refused so far
  // (1 at the first call of the event for an operation).
  int lockRefusals() const { return lockRefusals_; }

  // --- Operations beyond the generic dataset

  // Clears the deletion mark of the current record under its record lock, between BeforeRestore
  // and AfterRestore. A refused lock calls OnRLockFailedOnRestore or shows "Lock failed [Restore]".
  void Restore();
  // Holds the index's read section from BeginScan to the matching endScan (pairs nest), so that a
  // walk through the table (First, then Next until Eof; an SQL scan) enters the index semaphore
  // once instead of at every step, and reads records a block at a time (never one older than the
  // scan's start or than this table's last write of it). The cost falls on other processes: while it is held, their
  // index writes (appends, posts that change a key) wait, and fail after 100 seconds; hold it
  // for one scan only. This process may read and write meanwhile. Takes no read section without a
  // shared index; closing the table ends every scan. Failures of the semaphore raise EDorevError.
  void BeginScan() override;
  void endScan() override;
  // In key order from the controlling tag alone, deleted records included, or in record order
  // without an index.
  std::vector<std::int32_t> walkOrder() override;
  // True when an index order controls navigation (IsSequenced is then false).
  bool indexActive() const;
  // False while an index order is active.
  bool IsSequenced() const override { return !indexActive(); }

  // --- Runs of appends (table_append_run.cpp)

  // Starts a run of appends by this component (an import, consecutive INSERTs): from the next
  // append or holdAppendLock on, the append lock and the index's write section stay held from one
  // append to the next instead of being taken for each. Every record is still written with its
  // keys when it is appended. Held for at most about a tenth of a second at a time, then given up
  // long enough for another process waiting for them (with the bounded retries) to take them.
  // A record lock (post, delete, restore) gives the run up until its next append.
  void beginAppendRun();
  // Ends the run and releases what it holds. Failures of the index semaphore raise EDorevError.
  void endAppendRun();

  // --- Deferred writes of a run of appends (table_append_run.cpp)

  // For the run under way (until endAppendRun): each time the run takes the locks, the records
  // appended and the index nodes they change are kept in memory, and written together when the
  // run lets the locks go (after its tenth of a second, at endAppendRun, before a record lock).
  // Nothing appended meanwhile is in the files, so a caller says a record is stored only once
  // writtenRecordCount() counts it. A failed write raises ETzAppendsTakenBack when the files are
  // as they were before the kept appends (they may be appended again one at a time), or the
  // engine's error when the index could not be put back (it is closed and rebuilt at the next
  // open; the table is as it was before the kept appends).
  void deferAppendWrites();
  // Records the table file holds, without those a run keeps in memory.
  std::int32_t writtenRecordCount() const;

  // --- Appends numbered from the records (table_numbering.cpp)

  // Takes the append lock ahead of an append, so that no other process appends between what the
  // caller reads now and its append; the append releases it, or releaseAppendLock does (within a
  // run of appends, the run holds and releases it). A
  // refusal calls OnALockFailedOnInsert as an append does, or shows "Lock failed [Insert]".
  // Returns whether the lock is held (always true for a table open exclusive).
  bool holdAppendLock();
  // Releases the append lock when no append released it.
  void releaseAppendLock();
  // The record count refreshed from the file, the shared index's change counter and this
  // component's own changes. Appends by anyone raise the count and (with a shared index) the
  // counter by one each; any other write raises the counter or ownChanges, except another
  // process's deletion or restore, which only writes the record's deletion flag.
  TTzChangeStamp ChangeStamp();
  // Calls `visit(n, value)` with integer field `field` of each physical record n from `first` to
  // `last` (at most the record count) that a navigation shows, as stored in the file now. The
  // cursor and the current record stay as they are.
  // REQUIRES: `field` is an integer field of this table.
  void VisitStoredIntegers(std::int32_t first, std::int32_t last, const TField& field,
                           const std::function<void(std::int32_t n, std::int32_t value)>& visit);

  // With an index order, searches the controlling tag for the values as one text (at most 100
  // characters, whole key unless loPartialKey), whatever the field names: found, the record is
  // current; not found, the dataset is on its last record with Eof set. Without an index, scans
  // the records in physical order comparing texts (see the locate scan).
  bool Locate(const std::string& keyFields, const std::vector<Variant>& keyValues, TLocateOptions options) override;
  // Locates like Locate, reads the result fields and goes back to the record it started on.
  std::vector<Variant> Lookup(const std::string& keyFields, const std::vector<Variant>& keyValues,
                              const std::string& resultFields) override;

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return area_ != 0; }
  std::vector<TFieldDef> InternalInitFieldDefs() override;
  std::unique_ptr<TField> createField(const TFieldDef& def) override;
  int GetRecordSize() const override;
  char* AllocRecordBuffer() override;
  void InternalFirst() override;
  void InternalLast() override;
  TGetResult GetRecord(char* buffer, TGetMode mode, bool doCheck) override;
  // Record order, unless the controlling tag leaves records out (a condition, unique keys).
  bool visitStoredRecords(const std::function<void()>& visit, const std::vector<const TField*>* fieldsRead) override;
  // Through the controlling tag when it is the field alone.
  bool visitPrefixRecords(const TField& field, const std::string& prefix, const std::function<void()>& visit) override;
  void InternalSetToRecord(const char* buffer) override;
  void InternalInitRecord(char* buffer) override;
  void InternalAddRecord(const char* buffer, bool append) override;
  void InternalPost() override;
  void InternalDelete() override;
  void InternalEdit() override;
  void InternalRefresh() override;
  bool GetCanModify() const override { return !readOnly_; }
  bool GetFieldData(const TField& field, Variant& value) const override;
  bool getFieldText(const TField& field, std::string_view& text) const override;
  bool getFieldInteger(const TField& field, std::int64_t& value) const override;
  // Every field of a record holds a value: blank text, 0, false, no date.
  bool hasFieldData(const TField&) const override { return true; }
  void SetFieldData(const TField& field, const Variant& value) override;
  int bookmarkSize() const override { return kTableBookmarkSize; }
  void GetBookmarkData(const char* buffer, char* data) const override;
  void SetBookmarkData(char* buffer, const char* data) override;
  TBookmarkFlag GetBookmarkFlag(const char* buffer) const override;
  void SetBookmarkFlag(char* buffer, TBookmarkFlag flag) override;
  void InternalGotoBookmark(const char* data) override;
  bool internalBookmarkValid(const char* data) override;
  int compareBookmarkData(const char* a, const char* b) const override;
  int GetRecordCount() const override;
  int GetRecNo() const override;
  bool internalSetRecNo(int recNo) override;

 private:
  // The open table's work area, selected; code 1103 "Database is not open [<name>.<operation>]"
  // through the check routine when the component has none.
  WorkArea& Area(const char* operation) const;
  void reopen(const std::function<void()>& change);

  // Activation (table_activation.cpp).
  void openTable();
  // Raises "Problem opening memo file [USE(<file>)]" with the system's error when it cannot.
  void openMemoFile(WorkArea& area);
  void openProductionIndex(bool rebuild);
  bool openIndexFile(const std::string& mdxName, std::string& fault);
  void repairProductionIndex(const std::string& mdxName, const std::vector<MdxTagDefinition>& tags,
                             const std::string& fault);
  void makeProductionIndex(const std::string& mdxName, const std::vector<MdxTagDefinition>& tags);
  void closeTable();

  // Cursor (table_cursor.cpp).
  bool Visible() const;
  enum class RecordSource { Walked, Stored };
  bool readRecord(std::int32_t n, RecordSource source = RecordSource::Walked);
  std::int32_t CountRecords() const;
  bool gotoFirstVisible();
  bool gotoLastVisible();
  bool stepVisible(bool forward);
  bool goToRecord(std::int32_t n);
  void goToEnd();
  TGetResult deliver(char* buffer);
  bool loadVisitedRecord(WorkArea& area, std::int32_t n, const char* stored, const std::vector<std::size_t>& wanted);

  // Changes (table_changes.cpp).
  bool takeLock(const std::function<bool()>& attempt, const TTzLockFailedEvent& event, const char* operation);
  void s_AppendWithLock(const char* buffer);
  void s_ReplaceWithLock(std::int32_t n);
  void s_DeleteWithLock(std::int32_t n);
  void s_RestoreWithLock(std::int32_t n);

  // Runs of appends (table_append_run.cpp).
  bool appendRunHeld() const;
  bool takeAppendRun();
  void releaseAppendRun();
  void releaseAppendRunWhenDue();
  void writeDeferredAppends(WorkArea& area);

  // Locate without an index (table_locate.cpp).
  bool locateScan(const std::string& keyFields, const std::vector<Variant>& keyValues, TLocateOptions options);

  std::string name_;
  std::string dbfFileName_;
  bool exclusive_ = false;
  bool hideDeletedRecs_ = false;
  bool readOnly_ = false;
  int area_ = 0;
  std::unique_ptr<TableRecordLayout> layout_;
  // BeginScan calls not yet ended, on the open index.
  int scans_ = 0;
  // BeginScan calls not yet ended, each holding a walk of the table's record blocks.
  int walks_ = 0;
  // The columns of the table as last opened; empty until it was opened once.
  std::vector<TFieldDef> lastFieldDefs_;
  // Cursor flags beside the engine's position: before the first / after the last visible record.
  bool atBeginning_ = true;
  bool atEnd_ = true;
  // The engine stands on a record (the table's current record).
  bool onRecord_ = false;
  int lockRefusals_ = 0;
  // At the last activation no other process had the table open.
  bool openedAlone_ = false;
  // ReadOnly was set by the activation, for a damaged table or one in a code page the engine
  // cannot write.
  bool readOnlyForced_ = false;
  std::uint64_t ownChanges_ = 0;
  // The run of appends: wanted between beginAppendRun and endAppendRun, held (in work area
  // runArea_, with the index's write section when runIndexed_) since runTaken_.
  bool appendRunWanted_ = false;
  bool appendRunHeld_ = false;
  bool runIndexed_ = false;
  bool runCounted_ = false;  // the record count was read from the file since the run was taken
  int runArea_ = 0;
  std::chrono::steady_clock::time_point runTaken_;
  std::chrono::steady_clock::time_point runReleased_;
  // The run keeps its appends in memory (deferAppendWrites); the last record this component
  // appended, whose bytes its buffers still hold.
  bool deferWanted_ = false;
  bool runDeferred_ = false;
  std::int32_t appendedRecord_ = 0;

  // --- Facts kept across processes (table_kept_answers.cpp)
 public:
  // The answers some process kept for `questions` (each names a value worked out from every
  // record this component shows, such as an aggregate of one field) for the table's files exactly
  // as they stand now; nothing unless every one is kept, or while a record is being edited.
  // REQUIRES: the table is open.
  std::optional<std::vector<std::string>> keptAnswers(const std::vector<std::string>& questions) const;
  // Where the table's files stand: taken before answers are worked out from the records.
  TableFilesStanding filesStanding() const;
  // Keeps `answers[i]` for `questions[i]`, worked out from the records since `before` was taken,
  // when the files still stand there and had been still for a while then. Nothing otherwise.
  void keepAnswers(const TableFilesStanding& before, const std::vector<std::string>& questions,
                   const std::vector<std::string>& answers) const;

 private:
  // The activation's index check passed, `everyKey` or not, for the files as they stood when
  // the activation opened them, and as they stand now.
  bool indexCheckKept(bool everyKey) const;
  // Keeps that the check passed, when the files still stand where the activation found them.
  void keepIndexCheck(bool everyKey) const;
  // Where the table's files stood just before the last activation opened them.
  TableFilesStanding openedStanding_;
};

}  // namespace vekrano::dbase
