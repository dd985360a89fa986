#include "dbase/mdx_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vekrano::dbase {

MdxFile::~MdxFile() { close(); }

MdxFile& MdxFile::operator=(MdxFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

bool MdxFile::open(const std::string& path, int flags, int mode) {
  close();
  fd_ = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  return fd_ >= 0;
}

void MdxFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool MdxFile::readAt(std::uint64_t offset, void* data, std::size_t size) const {
  auto* at = static_cast<char*>(data);
  while (size > 0) {
    ssize_t got = ::pread(fd_, at, size, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    at += got;
    offset += static_cast<std::uint64_t>(got);
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

bool MdxFile::writeAt(std::uint64_t offset, const void* data, std::size_t size) const {
  const auto* at = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t put = ::pwrite(fd_, at, size, static_cast<off_t>(offset));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    at += put;
    offset += static_cast<std::uint64_t>(put);
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

std::uint64_t MdxFile::size() const {
  struct stat st {};
  if (fstat(fd_, &st) != 0) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

namespace {

int setLock(int fd, short type, std::uint64_t offset, std::uint64_t length) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = static_cast<off_t>(length);
  lock.l_pid = 0;
  return fcntl(fd, F_OFD_SETLK, &lock) == 0 ? 0 : errno;
}

constexpr int kLockAttempts = 1001;
constexpr int kPauseIterations = 1000;

}  // namespace

int tryLockBytes(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive) {
  return setLock(fd, exclusive ? F_WRLCK : F_RDLCK, offset, length);
}

int unlockBytes(int fd, std::uint64_t offset, std::uint64_t length) { return setLock(fd, F_UNLCK, offset, length); }

void lockPause() {
  [[maybe_unused]] static volatile int sink;
  for (int i = 0; i < kPauseIterations; ++i) sink = i;
}

int lockBytesWithRetries(int fd, std::uint64_t offset, std::uint64_t length) {
  int error = 0;
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    if (attempt > 0) lockPause();
    error = tryLockBytes(fd, offset, length, true);
    if (error == 0) return 0;
  }
  return error;
}

}  // namespace vekrano::dbase
