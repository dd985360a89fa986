#include "backup/durable_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace vekrano::backup {

bool syncPath(const std::filesystem::path& path, bool folder) {
  const int fd = ::open(path.c_str(), folder ? O_RDONLY | O_DIRECTORY | O_CLOEXEC : O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

std::string createFileBeside(const std::string& target) {
  const std::filesystem::path path(target);
  const std::string extension = path.extension().string();
  std::string pattern =
      (path.parent_path() / ("." + path.stem().string() + "-XXXXXX" + extension)).string();
  const int fd = ::mkstemps(pattern.data(), static_cast<int>(extension.size()));
  if (fd < 0) return {};
  ::close(fd);
  return pattern;
}

}  // namespace vekrano::backup
