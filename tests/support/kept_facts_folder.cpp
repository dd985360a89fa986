#include "support/kept_facts_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace vekrano::testing {

ScopedCacheFolder::ScopedCacheFolder() {
  if (const char* old = std::getenv("XDG_CACHE_HOME")) previous_ = old;
  setenv("XDG_CACHE_HOME", dir_.path().c_str(), 1);
}

ScopedCacheFolder::~ScopedCacheFolder() {
  if (previous_) {
    setenv("XDG_CACHE_HOME", previous_->c_str(), 1);
  } else {
    unsetenv("XDG_CACHE_HOME");
  }
}

void waitUntilFilesSettle() { std::this_thread::sleep_for(std::chrono::milliseconds(2100)); }

void rewriteKeepingTimes(const std::string& path, long offset, const std::string& bytes) {
  struct stat before {};
  if (stat(path.c_str(), &before) != 0) return;
  const int fd = open(path.c_str(), O_WRONLY);
  if (fd < 0) return;
  const ssize_t written = pwrite(fd, bytes.data(), bytes.size(), offset);
  close(fd);
  if (written != static_cast<ssize_t>(bytes.size())) return;
  const timespec times[2] = {before.st_atim, before.st_mtim};
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

long long modifiedNs(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return -1;
  return static_cast<long long>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

}  // namespace vekrano::testing
