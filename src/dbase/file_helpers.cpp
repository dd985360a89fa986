#include "dbase/file_helpers.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

namespace vekrano::dbase {

namespace {

constexpr int kLockAttempts = 1001;
// 1001 attempts then span the ten seconds the timeout message speaks of; an empty loop would be
// over in a millisecond here and fail any process that meets another's write section.
constexpr long kPauseNanoseconds = 10'000'000;

}  // namespace

bool readExact(File& file, std::int64_t offset, void* data, std::size_t length) {
  return file.readAt(data, length, offset) == static_cast<std::int64_t>(length);
}

void lockPause() {
  timespec pause{0, kPauseNanoseconds};
  while (nanosleep(&pause, &pause) != 0) {
  }
}

int lockWithRetries(File& file, std::int64_t offset, std::int64_t length) {
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    if (attempt > 0) lockPause();
    if (file.lock(offset, length)) return 0;
    if (file.lastError() != kSystemErrorLockViolation) break;  // waiting will not help
  }
  return file.lastError();
}

void touchFile(const std::string& path) { utimensat(AT_FDCWD, path.c_str(), nullptr, 0); }

}  // namespace vekrano::dbase
