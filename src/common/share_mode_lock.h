// Byte-range locks that belong to one open file (open-file-description locks), and the share mode
// of an open emulated with such a lock on one byte far beyond any data: an open that lets others
// share the file takes a shared lock there, an open for itself alone an exclusive one.
#pragma once

#include <cstdint>
#include <string>

namespace vekrano::common {

// The byte whose lock stands for the share mode of an open.
inline constexpr std::int64_t kShareModeLockOffset = 0x7FFFFFF0;

enum class ByteLock { Shared, Exclusive, Release };

// Takes or releases the lock on `length` bytes at `offset` of descriptor `fd` without waiting.
// Returns 0, or the errno value (EAGAIN or EACCES when another open holds a conflicting lock).
int setByteLock(int fd, ByteLock kind, std::int64_t offset, std::int64_t length);

// Takes the share-mode lock of `fd`, exclusive or shared. Returns 0 or the errno value.
int takeShareModeLock(int fd, bool exclusive);

// True when an open for this process alone would be granted the file at `path` (it exists, can
// be written, and no other open holds its share-mode lock). Asked without taking the lock: even
// a moment's exclusive open would refuse another process's open of the file meanwhile.
bool nobodyElseHasOpen(const std::string& path);

}  // namespace vekrano::common
