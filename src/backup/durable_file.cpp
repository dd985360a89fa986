#include "backup/durable_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>

#include "common/share_mode_lock.h"

namespace vekrano::backup {

bool syncPath(const std::filesystem::path& path, bool folder) {
  const int fd = ::open(path.c_str(), folder ? O_RDONLY | O_DIRECTORY | O_CLOEXEC : O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

namespace {

constexpr std::size_t kUniquePart = 6;  // the XXXXXX of the name pattern

// ".<stem>-XXXXXX<extension>", or with ".NNN" in place of the extension for a further volume.
bool madeBeside(const std::string& name, const std::filesystem::path& target) {
  const std::string prefix = "." + target.stem().string() + "-";
  if (!name.starts_with(prefix) || name.size() < prefix.size() + kUniquePart) return false;
  const std::string rest = name.substr(prefix.size() + kUniquePart);
  const bool volume = rest.size() == 4 && rest[0] == '.' &&
                      std::all_of(rest.begin() + 1, rest.end(), [](char c) { return c >= '0' && c <= '9'; });
  return rest == target.extension().string() || volume;
}

}  // namespace

void removeFilesLeftBeside(const std::string& target) {
  const std::filesystem::path path(target);
  const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code ignored;
    if (it->is_regular_file(ignored) && madeBeside(it->path().filename().string(), path) &&
        common::nobodyElseHasOpen(it->path().string())) {
      std::filesystem::remove(it->path(), ignored);
    }
  }
}

std::string createFileBeside(const std::string& target) {
  const std::filesystem::path path(target);
  const std::string extension = path.extension().string();
  std::string pattern = (path.parent_path() / ("." + path.stem().string() + "-XXXXXX" + extension)).string();
  const int fd = ::mkstemps(pattern.data(), static_cast<int>(extension.size()));
  if (fd < 0) return {};
  ::close(fd);
  return pattern;
}

}  // namespace vekrano::backup
