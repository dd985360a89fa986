#include "common/share_mode_lock.h"

#include <fcntl.h>

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

}  // namespace vekrano::common
