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
// An importing process holds the append lock for each record in turn and frees it only for a
// moment between two: another process waiting for it must look often to find such a moment.
constexpr std::chrono::milliseconds kLongestAppendPause{5};

TTzLockFailedEvent retryHandler(std::chrono::milliseconds budget, const char* operation,
                                std::chrono::milliseconds longestPause = kLongestPause) {
  using Clock = std::chrono::steady_clock;
  const std::chrono::milliseconds firstPause = std::min(kFirstPause, longestPause);
  return [budget, operation, longestPause, firstPause, start = Clock::time_point(), pause = firstPause](
             TTzDbf& sender, bool& retry) mutable {
    if (sender.lockRefusals() == 1) {
      start = Clock::now();
      pause = firstPause;
    }
    const auto left = budget - std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    if (left <= std::chrono::milliseconds::zero()) {
      throw common::Exception(std::string("Lock failed [") + operation + "]");
    }
    std::this_thread::sleep_for(std::min(pause, left));
    pause = std::min(pause * 2, longestPause);
    retry = true;
  };
}

}  // namespace

void retryRefusedLocks(TTzDbf& table, std::chrono::milliseconds budget) {
  table.OnALockFailedOnInsert = retryHandler(budget, "Insert", kLongestAppendPause);
  table.OnRLockFailedOnPost = retryHandler(budget, "Post");
  table.OnRLockFailedOnDelete = retryHandler(budget, "Delete");
  table.OnRLockFailedOnRestore = retryHandler(budget, "Restore");
}

}  // namespace vekrano::dbase
