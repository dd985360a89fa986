// A run of appends holds the append lock and the index's write section from one append to the
// next: taking and leaving them for each record costs more than writing it. Other processes see
// the same files at every moment as with appends taken one by one, since each record and its keys
// are still written as it is appended; they only wait a little longer for their turn.
#include <thread>

#include "common/scope_exit.h"
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

}  // namespace

void TTzDbf::beginAppendRun() { appendRunWanted_ = true; }

void TTzDbf::endAppendRun() {
  appendRunWanted_ = false;
  releaseAppendRun();
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
  if (!held) return;
  WorkArea& area = getWorkArea(area_);
  const common::ScopeExit unlocked([&] { area.locks.Unlock(); });
  // An index closed by a failed write logged out of the semaphore, which counted the run's changes.
  if (runIndexed_ && area.index->isOpen()) area.index->endChangeRun();
}

void TTzDbf::releaseAppendRunWhenDue() {
  if (appendRunHeld_ && std::chrono::steady_clock::now() - runTaken_ >= kRunLength) releaseAppendRun();
}

}  // namespace vekrano::dbase
