// POSIX implementation of the backup's file handle.
#include "backup/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "common/share_mode_lock.h"

namespace vekrano::backup {
namespace {

int openFlags(FileStream::Access access) {
  switch (access) {
    case FileStream::Access::ReadShared: return O_RDONLY;
    case FileStream::Access::CreateExclusive: return O_WRONLY | O_CREAT;
    case FileStream::Access::AppendExclusive: return O_WRONLY;
  }
  return O_RDONLY;
}

}  // namespace

FileStream::~FileStream() { close(); }

FileStream::FileStream(FileStream&& other) noexcept : fd_(std::exchange(other.fd_, -1)), position_(other.position_) {}

FileStream& FileStream::operator=(FileStream&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    position_ = other.position_;
  }
  return *this;
}

bool FileStream::open(const std::string& path, Access access) {
  close();
  const int fd = ::open(path.c_str(), openFlags(access) | O_CLOEXEC, 0666);
  if (fd < 0) {
    lastErrno_ = errno;
    return false;
  }
  const bool exclusive = access != Access::ReadShared;
  struct stat info {};
  const bool usable = fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode) &&
                      common::takeShareModeLock(fd, exclusive) == 0 &&
                      (access != Access::CreateExclusive || ftruncate(fd, 0) == 0);
  off_t start = 0;
  if (usable && access == Access::AppendExclusive) start = lseek(fd, 0, SEEK_END);
  if (!usable || start < 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  position_ = start;
  return true;
}

void FileStream::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  position_ = 0;
}

std::int64_t FileStream::read(void* data, std::size_t size) {
  auto* bytes = static_cast<char*>(data);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd_, bytes + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      lastErrno_ = errno;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  position_ += static_cast<std::int64_t>(done);
  return static_cast<std::int64_t>(done);
}

bool FileStream::write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd_, bytes + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      lastErrno_ = n < 0 ? errno : EIO;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  position_ += static_cast<std::int64_t>(size);
  return true;
}

bool FileStream::skip(std::int64_t count) {
  const off_t at = lseek(fd_, static_cast<off_t>(count), SEEK_CUR);
  if (at < 0) return false;
  position_ = at;
  return true;
}

std::int64_t FileStream::size() const {
  struct stat info {};
  return fstat(fd_, &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
}

std::optional<std::time_t> FileStream::modificationTime() const {
  struct stat info {};
  if (fstat(fd_, &info) != 0) return std::nullopt;
  return info.st_mtime;
}

bool FileStream::setModificationTime(std::time_t t) {
  const struct timespec times[2] = {{0, UTIME_OMIT}, {t, 0}};
  return futimens(fd_, times) == 0;
}

}  // namespace vekrano::backup
