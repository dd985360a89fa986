#include "common/share_mode_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace vekrano::common {

namespace {

struct flock lockRequest(short type, std::int64_t offset, std::int64_t length) {
  struct flock request {};
  request.l_type = type;
  request.l_whence = SEEK_SET;
  request.l_start = offset;
  request.l_len = length;
  request.l_pid = 0;  // required 0 for open-file-description locks
  return request;
}

}  // namespace

int setByteLock(int fd, ByteLock kind, std::int64_t offset, std::int64_t length) {
  struct flock request = lockRequest(kind == ByteLock::Shared      ? F_RDLCK
                                     : kind == ByteLock::Exclusive ? F_WRLCK
                                                                   : F_UNLCK,
                                     offset, length);
  return fcntl(fd, F_OFD_SETLK, &request) == 0 ? 0 : errno;
}

int takeShareModeLock(int fd, bool exclusive) {
  return setByteLock(fd, exclusive ? ByteLock::Exclusive : ByteLock::Shared, kShareModeLockOffset, 1);
}

bool nobodyElseHasOpen(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock request = lockRequest(F_WRLCK, kShareModeLockOffset, 1);
  const bool alone = fcntl(fd, F_OFD_GETLK, &request) == 0 && request.l_type == F_UNLCK;
  ::close(fd);  // an open-file-description lock of another open is not released by this close
  return alone;
}

}  // namespace vekrano::common
