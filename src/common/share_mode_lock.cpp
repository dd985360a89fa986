#include "common/share_mode_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace vekrano::common {

int setByteLock(int fd, ByteLock kind, std::int64_t offset, std::int64_t length) {
  struct flock request {};
  request.l_type = kind == ByteLock::Shared ? F_RDLCK : kind == ByteLock::Exclusive ? F_WRLCK : F_UNLCK;
  request.l_whence = SEEK_SET;
  request.l_start = offset;
  request.l_len = length;
  request.l_pid = 0;  // required 0 for open-file-description locks
  return fcntl(fd, F_OFD_SETLK, &request) == 0 ? 0 : errno;
}

int takeShareModeLock(int fd, bool exclusive) {
  return setByteLock(fd, exclusive ? ByteLock::Exclusive : ByteLock::Shared, kShareModeLockOffset, 1);
}

bool nobodyElseHasOpen(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock request {};
  request.l_type = F_WRLCK;
  request.l_whence = SEEK_SET;
  request.l_start = kShareModeLockOffset;
  request.l_len = 1;
  request.l_pid = 0;
  const bool alone = fcntl(fd, F_OFD_GETLK, &request) == 0 && request.l_type == F_UNLCK;
  ::close(fd);  // an open-file-description lock of another open is not released by this close
  return alone;
}

}  // namespace vekrano::common
