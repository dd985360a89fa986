// A run of appends holds the append lock and the index's write section from one append to the
// next: taking and leaving them for each record costs more than writing it. Other processes see
// the same files at every moment as with appends taken one by one, since each record and its keys
// are written before the run lets the locks go; they only wait a little longer for their turn.
// A run may keep its appends in memory while it holds the locks (deferAppendWrites): nobody else
// reads the index or appends meanwhile, and the records go out in one write, the nodes once each.
#include <thread>

#include "common/scope_exit.h"
#include "dbase/file_helpers.h"
#include "dbase/mdx/mdx_index.h"
#include "dbase/table/table_dataset.h"
#include "dbase/table/table_work_areas.h"

namespace vekrano::dbase {
namespace {

// How long a run holds the locks at a time, well within the ten seconds other processes retry.
constexpr std::chrono::milliseconds kRunLength{100};
// How long a run leaves them free before taking them again: longer than the pauses between the
// attempts of a waiting process (5 ms for the append lock, 10 ms for the index semaphore), so
// that a waiting process finds them free at least once.
constexpr std::chrono::milliseconds kRunGap{12};

// Raises the engine's current error as the failure of appends that were all taken back.
[[noreturn]] void raiseTakenBack(int code, const std::string& text) {
  dbfError(code, text);
  try {
    tzCheck(code != 0 ? code : kErrorDiskWrite);
  } catch (const ETzCheckError& error) {
    throw ETzAppendsTakenBack(error.code(), error.what());
  }
  throw ETzAppendsTakenBack(code, text);
}

}  // namespace

void TTzDbf::beginAppendRun() { appendRunWanted_ = true; }

void TTzDbf::endAppendRun() {
  appendRunWanted_ = false;
  deferWanted_ = false;
  releaseAppendRun();
}

void TTzDbf::deferAppendWrites() { deferWanted_ = true; }

std::int32_t TTzDbf::writtenRecordCount() const {
  return area_ == 0 ? 0 : getWorkArea(area_).table.writtenRecordCount();
}

// A close (or a reopen) of the table drops the append lock, and with it the run.
bool TTzDbf::appendRunHeld() const {
  return appendRunHeld_ && area_ != 0 && area_ == runArea_ && getWorkArea(area_).locks.holdsAppend();
}

bool TTzDbf::takeAppendRun() {
  if (appendRunHeld()) return true;
  appendRunHeld_ = false;
  WorkArea& area = Area("Post");
  std::this_thread::sleep_until(runReleased_ + kRunGap);
  if (!takeLock([&] { return area.locks.lockAppend(); }, OnALockFailedOnInsert, "Insert")) return false;
  const common::OnUnwind unlocked([&] { area.locks.Unlock(); });
  runIndexed_ = area.index->isOpen();
  if (runIndexed_) area.index->beginChangeRun();
  runDeferred_ = deferWanted_;
  if (runDeferred_) {
    area.table.deferAppends(true);
    if (runIndexed_) area.index->deferNodeWrites(true);
  }
  appendRunHeld_ = true;
  runCounted_ = false;
  runArea_ = area_;
  runTaken_ = std::chrono::steady_clock::now();
  return true;
}

void TTzDbf::releaseAppendRun() {
  if (!appendRunHeld_) return;
  const bool held = appendRunHeld();
  appendRunHeld_ = false;
  runReleased_ = std::chrono::steady_clock::now();
  if (!held) {
    runDeferred_ = false;  // the close that dropped the run wrote what it kept
    return;
  }
  WorkArea& area = getWorkArea(area_);
  const common::ScopeExit unlocked([&] { area.locks.Unlock(); });
  // An index closed by a failed write logged out of the semaphore, which counted the run's changes.
  const common::ScopeExit runEnded([&] {
    if (runIndexed_ && area.index->isOpen()) area.index->endChangeRun();
  });
  writeDeferredAppends(area);
}

// The records first, in one write, then the index: a failure puts the table back as it was
// before the kept appends, and the index too when it can; otherwise the index is closed and the
// table marked as written after it, so that the next open rebuilds it.
void TTzDbf::writeDeferredAppends(WorkArea& area) {
  if (!runDeferred_) return;
  runDeferred_ = false;
  DbfTable& table = area.table;
  MdxIndex& index = *area.index;
  const bool indexed = runIndexed_ && index.isOpen();
  const common::ScopeExit stopped([&] {
    table.deferAppends(false);
    if (index.isOpen()) index.deferNodeWrites(false);
  });
  const std::int32_t before = table.writtenRecordCount();
  if (!table.writeDeferredAppends()) {
    const int code = dbfErrorCode();
    const std::string text = dbfErrorText();
    if (indexed) index.dropDeferredNodes();
    raiseTakenBack(code, text);
  }
  if (!indexed) return;
  const MdxIndex::DeferredWrite written = index.writeDeferredNodes();
  if (written == MdxIndex::DeferredWrite::Written) return;
  const int code = dbfErrorCode();
  const std::string text = dbfErrorText();
  if (table.RecordCount() > before) table.undoAppend(before);
  if (written == MdxIndex::DeferredWrite::TakenBack) raiseTakenBack(code, text);
  index.deferNodeWrites(false);
  try {
    index.Close();
  } catch (const EDorevError&) {
  }
  touchFile(table.fileName());
  dbfError(code, text);
  tzCheck(code != 0 ? code : kErrorDiskWrite);
}

void TTzDbf::releaseAppendRunWhenDue() {
  if (appendRunHeld_ && std::chrono::steady_clock::now() - runTaken_ >= kRunLength) releaseAppendRun();
}

}  // namespace vekrano::dbase
