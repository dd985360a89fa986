// Files of the table engine on POSIX: positioned reads and writes, share modes emulated with an
// open-file-description lock on one far byte, byte-range locks, and failures as system error
// numbers in the engine's numbering (2 not found, 5 access denied, 32 sharing violation, ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/share_mode_lock.h"

namespace vekrano::dbase {

enum class FileAccess { ReadOnly, ReadWrite };
// DenyNone lets other opens share the file; Exclusive keeps it for this open alone.
enum class FileShare { DenyNone, Exclusive };

inline constexpr int kSystemErrorSharingViolation = 32;
// The system's error number for a byte-range lock held by another open.
inline constexpr int kSystemErrorLockViolation = 33;
using common::kShareModeLockOffset;

// The engine's number for an errno value (ENOENT 2, EACCES 5, EMFILE 4, ENOSPC 101, ...).
int systemErrorNumber(int errnoValue);

// `path` with its extension replaced by (or, without one, extended with) `extension`, given
// without the dot in upper case; the new extension takes the letter case of the old one
// (lower when the old one is all lower case, else upper): "a.dbf"+"MDX" gives "a.mdx".
std::string derivedFileName(const std::string& path, std::string_view extension);

// `path` unchanged when its last component has an extension, else with "." and `extension`.
std::string WithDefaultExtension(const std::string& path, std::string_view extension);

// An open file; closed (and its locks released) when destroyed. Move-only.
class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens an existing file. Returns 0 or the system error number; a share mode refused by
  // another open gives 32.
  int open(const std::string& path, FileAccess access, FileShare share);
  // Creates the file or truncates an existing one (only once the share mode is granted), open
  // for reading and writing. Returns 0 or the system error number.
  int create(const std::string& path, FileShare share);
  bool isOpen() const { return fd_ >= 0; }
  // Releases the locks and closes; no effect when not open.
  void close();

  // Reads up to `length` bytes at `offset`. Returns the count read (less at end of file), or
  // -1 with the system error number in lastError().
  std::int64_t readAt(void* data, std::size_t length, std::int64_t offset);
  // Writes all `length` bytes at `offset`. Returns 0 or the system error number.
  int writeAt(const void* data, std::size_t length, std::int64_t offset);
  // Size in bytes, or -1 with lastError() set.
  std::int64_t size();
  // Commits the operating system's buffers to disk. Returns 0 or the system error number.
  int flush();
  // Cuts the file to `size` bytes. Returns 0 or the system error number.
  int truncate(std::int64_t size);

  // Locks a byte range for this open, like the platform's LockFile: exclusive and refused at
  // once when another open holds any of it. A range beyond the end is allowed. False on failure
  // with lastError() set: 33 when another open holds the range, else the system error number.
  bool lock(std::int64_t offset, std::int64_t length);
  // Releases a range taken with lock(). False on failure with lastError() set.
  bool unlock(std::int64_t offset, std::int64_t length);

  int lastError() const { return lastError_; }
  // The system's descriptor, for mapping the file; -1 when not open.
  int descriptor() const { return fd_; }
  const std::string& path() const { return path_; }

 private:
  int takeShareLock(FileShare share);

  int fd_ = -1;
  int lastError_ = 0;
  std::string path_;
};

}  // namespace vekrano::dbase
