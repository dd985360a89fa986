// The production index of one open table: building it, opening it, keeping every tag up to date as
// records are appended or replaced, navigating and searching in the order of the controlling tag,
// and sharing it with other processes through the semaphore file.
//
// Failures go through the engine's error routine. Those the caller must see at once (opening a
// found file, order changes, "Index not open.", semaphore and anchor-write failures) are raised
// as EDorevError; the others only set the current error code, and the operation returns false.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dbase/file_io.h"
#include "dbase/mdx/mdx_build.h"
#include "dbase/mdx/mdx_semaphore.h"
#include "dbase/mdx/mdx_table.h"
#include "dbase/mdx/mdx_tag_table.h"
#include "dbase/mdx/mdx_tree.h"

namespace vekrano::dbase {

// One tag as the table dataset describes it.
struct MdxTagDefinition {
  std::string name;
  bool descending = false;
  bool unique = false;
  std::string expression;
  std::string condition;  // empty: every record
};

struct MdxBuildOptions {
  // Keys sorted in memory at a time; more are sorted in runs merged from a work file.
  std::size_t sortLimit = kDefaultSortLimit;
  // Called as records are visited: (records done, record count).
  std::function<void(std::int32_t, std::int32_t)> progress;
};

class MdxIndex {
 public:
  // REQUIRES: `table` is open and outlives the index.
  explicit MdxIndex(MdxTable& table);
  ~MdxIndex();
  MdxIndex(const MdxIndex&) = delete;
  MdxIndex& operator=(const MdxIndex&) = delete;

  // Builds a new index file from `tags` (any open index is closed first); the file name gets the
  // extension "MDX" and the table's folder when it has none. Returns false with the error set.
  bool MakeIndex(const std::string& fileName, const std::vector<MdxTagDefinition>& tags,
                 const MdxBuildOptions& options = {});
  // Opens an existing index; the first tag controls the order. A missing file returns false
  // with code 2; any other failure raises.
  bool SetIndexTo(const std::string& fileName);
  // Writes dirty anchors, logs out of the semaphore and closes the file.
  void Close();
  bool isOpen() const { return file_.isOpen(); }
  const std::string& fileName() const { return fileName_; }

  // Controlling order: 0 record order, 1..tag count a tag. Raise 220 or 221 on failure.
  void Set_Order_To(int n);
  void SetOrderToTag(const std::string& name);
  int CurrentOrder() const { return order_; }
  int tagCount() const { return static_cast<int>(tags_.size()); }
  const TagTree& tag(int n) const { return *tags_.at(static_cast<std::size_t>(n - 1)); }

  // Searches the controlling tag; true when found, the table then on that record. Not found:
  // the table at its end with atEnd() set.
  bool Find(const std::string& text);
  bool FindExact(const std::string& text);

  // Navigation in the controlling order; each returns true when the table was positioned on the
  // record of an entry. Past the last entry atEnd() is set and the table goes to its end; before
  // the first, atBeginning() is set.
  bool firstKey();
  bool lastKey();
  bool nextKey();
  bool priorKey();
  bool atEnd() const { return atEnd_; }
  bool atBeginning() const { return atBeginning_; }
  // True when the controlling tag holds an entry for every record: no condition, not unique.
  bool controllingCoversEveryRecord() const;
  // The record numbers of the controlling tag's entries in its order, read from the tag alone
  // (no record is read; the table is left where it was, the tag's position is lost).
  bool recordsInKeyOrder(std::vector<std::int32_t>& records);
  // The same for the entries whose key starts with `prefix`, when the controlling tag is an
  // ascending character tag whose expression is the field `fieldName` alone and covers every
  // record; false otherwise.
  bool recordsWithFieldPrefix(const std::string& fieldName, const std::string& prefix,
                              std::vector<std::int32_t>& records);

  // The first way the index disagrees with the table as it is now, in words, or "" when it
  // agrees: per tag, a key naming a record the table does not have, a record with two keys, or a
  // tag meant to hold one key per record holding another count; with `everyKey` also keys out of
  // order and each key against its record's value (the whole table is read). A node that cannot
  // be read or decoded is a disagreement too. Semaphore failures raise EDorevError.
  std::string disagreement(bool everyKey);

  // A read section held from BeginScan to its endScan (pairs nest), so that the steps of a scan
  // do not each enter and leave the semaphore. While it is held, a writer of another process
  // waits (and fails after the semaphore's writer timeout); this process may still write. Alone
  // they do nothing. Failures raise EDorevError.
  void BeginScan();
  void endScan();

  // A write section held from beginChange to its endChange (pairs nest), around the write of a
  // record and the update of its keys, so that a read section of another process never finds the
  // record changed and its keys not yet. Alone they do nothing. Failures raise EDorevError.
  void beginChange();
  void endChange();
  // A write section held across a run of appends (see MdxSemaphore::enterWriteRun): each
  // BeginChange/endChange pair inside it counts as one change of the index for other processes.
  // Alone they do nothing. Failures raise EDorevError.
  void beginChangeRun();
  void endChangeRun();
  // While on, node writes, new blocks and anchors are kept in memory instead of written, for a
  // run of appends holding the write section (nobody else reads or changes the file meanwhile).
  // Turning it off REQUIRES that nothing is kept (writeDeferredNodes or dropDeferredNodes first).
  void deferNodeWrites(bool on);
  enum class DeferredWrite { Written, TakenBack, Damaged };
  // Writes what was kept: the new blocks in one write, then the block counter, the nodes changed
  // in place and the anchors. On a failure (the engine's error then tells it) what was written
  // is put back and everything kept is forgotten: TakenBack when the file is as it was before,
  // Damaged when it could not be put back (the index must not be used any more).
  DeferredWrite writeDeferredNodes();
  // Forgets what was kept: the tags are read again as the file holds them.
  void dropDeferredNodes();
  // The semaphore's change counter, which every write section of every process sharing the index
  // increments (modulo 65536); none when the index is not shared. Failures raise EDorevError.
  std::optional<std::uint16_t> changeCount();

  // Record-change hooks. AppendIndex: after the new record was written and made current, adds
  // its key to every tag (rolled back on failure) and positions the controlling tag on it.
  bool AppendIndex();
  // BeforeReplace: with the record as it is in the file current, notes its keys; false (code
  // 254) when a tag has no entry of that key for the record, so the record must not be written.
  // AfterReplace: with the written record current, moves the entries whose keys changed.
  bool beforeReplace();
  bool AfterReplace();
  // Positions the controlling tag on the current record.
  bool SyncIndex();

  // Writes the 2048-byte header area of a new index file of `tableName` with no tags.
  static void CreateMdxHeader(File& file, const std::string& tableName);

 private:
  struct OpenTag {
    std::unique_ptr<MdxExpression> key;
    std::unique_ptr<MdxExpression> condition;
    int decimals = 0;
  };
  class Section;

  template <class Operation>
  bool guarded(Operation operation);
  void openTags();
  void reloadAnchors();
  void writeAnchors();
  void writeAnchor(TagTree& tag);
  void noteChanges(bool changed);
  enum class HeldSection { Read, Write, WriteRun };
  void enterHeldSection(HeldSection kind);
  bool conditionHolds(std::size_t i);
  std::string keyOf(std::size_t i);
  std::string searchKey(const std::string& text, bool exact);
  bool positionTable(bool onEntry);
  void prefetchLeafRecords();
  bool step(bool forward);
  bool search(const std::string& text, bool exact);
  // `reread` false: the current record is the one just appended, its bytes at hand, and its key
  // under tag i `knownKey` when given.
  bool syncTag(std::size_t i, const char* where, bool reread = true, const std::string* knownKey = nullptr);
  std::string tagDisagreement(std::size_t i, std::int32_t count, bool everyKey);
  void AddIndexTag(const MdxTagDefinition& definition, const MdxBuildOptions& options, std::vector<TagEntry>& entries);
  void requireOpen(const std::string& where) const;
  TagTree& controlling();

  MdxTable& table_;
  File file_;
  std::string fileName_;
  std::unique_ptr<MdxSemaphore> semaphore_;
  std::vector<std::unique_ptr<TagTree>> tags_;
  std::vector<OpenTag> open_;
  int order_ = 0;
  bool atEnd_ = false;
  std::uint32_t prefetchedLeaf_ = 0;  // the leaf whose records were last prefetched (a hint only)
  bool atBeginning_ = false;
  std::vector<std::optional<std::string>> oldKeys_;  // per tag; empty when the condition failed
  // The file's bytes read during the scans begun and not ended, seen by the tags.
  HeldFileBytes scanBytes_;
  DeferredNodes deferred_;
};

}  // namespace vekrano::dbase
