// Retrying refused locks for a bounded time.
#include "dbase/table/table_lock_retry.h"

#include <algorithm>
#include <string>
#include <thread>

#include "common/exception.h"

namespace vekrano::dbase {
namespace {

constexpr std::chrono::milliseconds kFirstPause{10};
constexpr std::chrono::milliseconds kLongestPause{500};

TTzLockFailedEvent RetryHandler(std::chrono::milliseconds budget, const char* operation) {
  using Clock = std::chrono::steady_clock;
  return [budget, operation, start = Clock::time_point(), pause = kFirstPause](TTzDbf& sender,
                                                                               bool& retry) mutable {
    if (sender.LockRefusals() == 1) {
      start = Clock::now();
      pause = kFirstPause;
    }
    const auto left = budget - std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    if (left <= std::chrono::milliseconds::zero()) {
      throw common::Exception(std::string("Lock failed [") + operation + "]");
    }
    std::this_thread::sleep_for(std::min(pause, left));
    pause = std::min(pause * 2, kLongestPause);
    retry = true;
  };
}

}  // namespace

void RetryRefusedLocks(TTzDbf& table, std::chrono::milliseconds budget) {
  table.OnALockFailedOnInsert = RetryHandler(budget, "Insert");
  table.OnRLockFailedOnPost = RetryHandler(budget, "Post");
  table.OnRLockFailedOnDelete = RetryHandler(budget, "Delete");
  table.OnRLockFailedOnRestore = RetryHandler(budget, "Restore");
}

}  // namespace vekrano::dbase
