// Small helpers over the engine's files for the index: exact positioned reads and byte locks taken
// with the index's retry rule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "dbase/file_io.h"

namespace vekrano::dbase {

// Reads exactly `length` bytes at `offset`; false on a short read or an error.
bool readExact(File& file, std::int64_t offset, void* data, std::size_t length);

// Sets the modification time of the file at `path` to now; nothing when it cannot. The table
// and its index compare these times to tell whether the index saw the table's last writes.
void touchFile(const std::string& path);

// Pause between lock attempts: 10 ms, so that 1001 attempts last about ten seconds.
void lockPause();

// Takes the lock with up to 1001 attempts separated by lockPause() while another open holds it.
// Returns 0, or the system error number of the last refusal (kSystemErrorLockViolation when
// another open kept the range; any other failure ends the attempts at once).
int lockWithRetries(File& file, std::int64_t offset, std::int64_t length);

}  // namespace vekrano::dbase
