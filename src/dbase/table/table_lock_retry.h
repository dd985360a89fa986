// The retry policy of programs that share the table with others: a refused lock is tried again
// with a growing pause for about ten seconds, then the operation fails with the engine's message.
#pragma once

#include <chrono>

#include "dbase/table/table_dataset.h"

namespace vekrano::dbase {

// Time a refused lock is tried again before the operation fails.
inline constexpr std::chrono::milliseconds kLockRetryBudget{10000};

// Sets OnALockFailedOnInsert and OnRLockFailedOnPost, ...OnDelete, ...OnRestore of `table`: each
// refusal waits (10 ms at first, doubling up to 500 ms; 5 ms at most for the append lock) and
// asks for another attempt; once
// `budget` has passed since the first refusal of the operation, raises common::Exception with
// "Lock failed [Insert]" ("[Post]", "[Delete]", "[Restore]"), and nothing is written.
void retryRefusedLocks(TTzDbf& table, std::chrono::milliseconds budget = kLockRetryBudget);

}  // namespace vekrano::dbase
