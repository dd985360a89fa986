#include "dbase/mdx_file.h"

namespace vekrano::dbase {

namespace {

constexpr int kLockAttempts = 1001;
constexpr int kPauseIterations = 1000;

}  // namespace

bool readExact(File& file, std::int64_t offset, void* data, std::size_t length) {
  return file.readAt(data, length, offset) == static_cast<std::int64_t>(length);
}

void lockPause() {
  [[maybe_unused]] static volatile int sink;
  for (int i = 0; i < kPauseIterations; ++i) sink = i;
}

int lockWithRetries(File& file, std::int64_t offset, std::int64_t length) {
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    if (attempt > 0) lockPause();
    if (file.lock(offset, length)) return 0;
  }
  return kSystemErrorLockViolation;
}

}  // namespace vekrano::dbase
