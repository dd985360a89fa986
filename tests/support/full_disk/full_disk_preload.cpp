// Preloaded into a program under test (LD_PRELOAD), this makes the disk look full: writes to
// regular files under VEKRANO_FULL_DISK_UNDER (every regular file when unset) succeed for
// VEKRANO_FULL_DISK_AFTER bytes in all, then fail with ENOSPC, the last one cut short as a real
// file system cuts it. Pipes, terminals and files elsewhere are left alone.
// With VEKRANO_FULL_DISK_ROOM set, the number is the room of a disk instead: the files directly
// in the folder VEKRANO_FULL_DISK_UNDER may hold that many bytes in all, so that rewriting bytes
// in place costs nothing and a file cut shorter gives its room back.
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <errno.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

std::atomic<long long> budgetLeft{std::numeric_limits<long long>::max()};

struct Settings {
  const char* under = nullptr;
  bool active = false;
  long long room = -1;  // the disk's room, or -1 when the bytes written are counted
  Settings() {
    const char* after = std::getenv("VEKRANO_FULL_DISK_AFTER");
    if (after == nullptr || *after == '\0') return;
    budgetLeft = std::atoll(after);
    under = std::getenv("VEKRANO_FULL_DISK_UNDER");
    if (const char* roomMode = std::getenv("VEKRANO_FULL_DISK_ROOM"); roomMode != nullptr && *roomMode != '\0')
      room = std::atoll(after);
    active = true;
  }
};

const Settings& settings() {
  static const Settings value;
  return value;
}

bool counts(int fd) {
  if (!settings().active) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  const char* under = settings().under;
  if (under == nullptr || *under == '\0') return true;
  char link[64];
  char path[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = ::readlink(link, path, sizeof path - 1);
  if (n <= 0) return false;
  path[n] = '\0';
  const std::size_t prefix = std::strlen(under);
  return std::strncmp(path, under, prefix) == 0 && (path[prefix] == '/' || path[prefix] == '\0');
}

// The bytes the regular files directly in the folder hold.
long long usedRoom(const char* folder) {
  DIR* dir = ::opendir(folder);
  if (dir == nullptr) return 0;
  long long used = 0;
  while (const dirent* entry = ::readdir(dir)) {
    struct stat info {};
    if (::fstatat(::dirfd(dir), entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode)) used += info.st_size;
  }
  ::closedir(dir);
  return used;
}

// How many of `wanted` bytes written at `offset` (-1: the file's position) fit in the disk's room.
std::size_t grantRoom(int fd, std::size_t wanted, long long offset) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return wanted;
  if (offset < 0) offset = (::fcntl(fd, F_GETFL) & O_APPEND) != 0 ? info.st_size : ::lseek(fd, 0, SEEK_CUR);
  const long long left = settings().room - usedRoom(settings().under);
  const long long end = info.st_size + std::max(left, 0LL);  // how far the file may reach
  if (offset + static_cast<long long>(wanted) <= std::max<long long>(end, info.st_size)) return wanted;
  return offset >= end ? 0 : static_cast<std::size_t>(end - offset);
}

// How many of `wanted` bytes the disk still takes: 0 means full.
std::size_t grant(int fd, std::size_t wanted, long long offset = -1) {
  if (wanted == 0 || !counts(fd)) return wanted;
  if (settings().room >= 0) return grantRoom(fd, wanted, offset);
  long long left = budgetLeft.load();
  while (true) {
    if (left <= 0) return 0;
    const long long take = std::min<long long>(left, static_cast<long long>(wanted));
    if (budgetLeft.compare_exchange_weak(left, left - take)) return static_cast<std::size_t>(take);
  }
}

template <typename Function>
Function next(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

std::size_t totalLength(const struct iovec* parts, int count) {
  std::size_t total = 0;
  for (int i = 0; i < count; ++i) total += parts[i].iov_len;
  return total;
}

}  // namespace

extern "C" {

ssize_t write(int fd, const void* data, size_t length) {
  static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
  const std::size_t granted = grant(fd, length);
  if (granted == 0 && length > 0) return errno = ENOSPC, -1;
  return real(fd, data, granted);
}

ssize_t pwrite(int fd, const void* data, size_t length, off_t offset) {
  static const auto real = next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
  const std::size_t granted = grant(fd, length, offset);
  if (granted == 0 && length > 0) return errno = ENOSPC, -1;
  return real(fd, data, granted, offset);
}

ssize_t pwrite64(int fd, const void* data, size_t length, off64_t offset) {
  static const auto real = next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
  const std::size_t granted = grant(fd, length, offset);
  if (granted == 0 && length > 0) return errno = ENOSPC, -1;
  return real(fd, data, granted, offset);
}

// Gathered writes are cut to their first non-empty part when the disk is nearly full: callers loop on
// short writes, so the rest comes back through the plain calls.
ssize_t writev(int fd, const struct iovec* parts, int count) {
  static const auto real = next<ssize_t (*)(int, const struct iovec*, int)>("writev");
  const std::size_t length = totalLength(parts, count);
  if (!counts(fd)) return real(fd, parts, count);
  for (int i = 0; i < count && length > 0; ++i) {
    if (parts[i].iov_len > 0) return write(fd, parts[i].iov_base, parts[i].iov_len);
  }
  return real(fd, parts, count);
}

}  // extern "C"
