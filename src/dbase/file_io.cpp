// POSIX files with emulated share modes and open-file-description byte-range locks.
#include "dbase/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace vekrano::dbase {
namespace {

bool isAsciiLower(char c) { return c >= 'a' && c <= 'z'; }
bool isAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }
char toAsciiLower(char c) { return isAsciiUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

int systemErrorNumber(int errnoValue) {
  switch (errnoValue) {
    case 0: return 0;
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EISDIR: return 5;
    case EBADF: return 6;
    case ENOMEM: return 8;
    case EINVAL: return 12;
    case EROFS: return 19;
    case EAGAIN: return kSystemErrorSharingViolation;
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return 101;
    case EIO: return 31;
    default: return 31;
  }
}

// Position of the "." of the extension of the last path component, or npos.
static std::size_t extensionDot(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return hasExtension ? dot : std::string::npos;
}

std::string WithDefaultExtension(const std::string& path, std::string_view extension) {
  return extensionDot(path) == std::string::npos ? path + "." + std::string(extension) : path;
}

std::string derivedFileName(const std::string& path, std::string_view extension) {
  const std::size_t dot = extensionDot(path);
  const bool hasExtension = dot != std::string::npos;
  std::string oldExtension = hasExtension ? path.substr(dot + 1) : std::string();
  // Lower case only when the old extension has lower-case letters and no upper-case one.
  bool anyLower = false;
  bool anyUpper = false;
  for (char c : oldExtension) {
    anyLower = anyLower || isAsciiLower(c);
    anyUpper = anyUpper || isAsciiUpper(c);
  }
  const bool lower = anyLower && !anyUpper;
  std::string result = hasExtension ? path.substr(0, dot) : path;
  result += '.';
  for (char c : extension) result += lower ? toAsciiLower(c) : c;
  return result;
}

File::~File() { close(); }

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), lastError_(other.lastError_), path_(std::move(other.path_)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    lastError_ = other.lastError_;
    path_ = std::move(other.path_);
  }
  return *this;
}

int File::takeShareLock(FileShare share) {
  const int error = common::takeShareModeLock(fd_, share == FileShare::Exclusive);
  if (error == 0) return 0;
  close();
  return (error == EAGAIN || error == EACCES) ? kSystemErrorSharingViolation : systemErrorNumber(error);
}

int File::open(const std::string& path, FileAccess access, FileShare share) {
  close();
  const int flags = (access == FileAccess::ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC;
  fd_ = ::open(path.c_str(), flags);
  if (fd_ < 0) return lastError_ = systemErrorNumber(errno);
  path_ = path;
  // A read-only open cannot hold a write lock; it keeps others out with a read lock only.
  const FileShare granted = access == FileAccess::ReadOnly ? FileShare::DenyNone : share;
  return lastError_ = takeShareLock(granted);
}

int File::create(const std::string& path, FileShare share) {
  close();
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0) return lastError_ = systemErrorNumber(errno);
  path_ = path;
  if (const int error = takeShareLock(share); error != 0) return lastError_ = error;
  if (::ftruncate(fd_, 0) != 0) {
    lastError_ = systemErrorNumber(errno);
    close();
    return lastError_;
  }
  return lastError_ = 0;
}

void File::close() {
  if (fd_ >= 0) ::close(fd_);  // closing releases every open-file-description lock
  fd_ = -1;
}

std::int64_t File::readAt(void* data, std::size_t length, std::int64_t offset) {
  std::size_t done = 0;
  while (done < length) {
    const ssize_t n = ::pread(fd_, static_cast<char*>(data) + done, length - done,
                              static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    if (n < 0) {
      if (errno == EINTR) continue;
      lastError_ = systemErrorNumber(errno);
      return -1;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<std::int64_t>(done);
}

int File::writeAt(const void* data, std::size_t length, std::int64_t offset) {
  std::size_t done = 0;
  while (done < length) {
    const ssize_t n = ::pwrite(fd_, static_cast<const char*>(data) + done, length - done,
                               static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    if (n < 0) {
      if (errno == EINTR) continue;
      return lastError_ = systemErrorNumber(errno);
    }
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

std::int64_t File::size() {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    lastError_ = systemErrorNumber(errno);
    return -1;
  }
  return info.st_size;
}

int File::flush() { return ::fsync(fd_) == 0 ? 0 : (lastError_ = systemErrorNumber(errno)); }

int File::truncate(std::int64_t size) {
  return ::ftruncate(fd_, static_cast<off_t>(size)) == 0 ? 0 : (lastError_ = systemErrorNumber(errno));
}

bool File::lock(std::int64_t offset, std::int64_t length) {
  const int error = common::setByteLock(fd_, common::ByteLock::Exclusive, offset, length);
  if (error == 0) return true;
  lastError_ = (error == EAGAIN || error == EACCES) ? kSystemErrorLockViolation : systemErrorNumber(error);
  return false;
}

bool File::unlock(std::int64_t offset, std::int64_t length) {
  const int error = common::setByteLock(fd_, common::ByteLock::Release, offset, length);
  if (error == 0) return true;
  lastError_ = systemErrorNumber(error);
  return false;
}

}  // namespace vekrano::dbase
