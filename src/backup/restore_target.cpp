// Target paths of restored files, and the refusal of names that escape the destination.
#include "backup/restore_target.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace vekrano::backup {
namespace {

bool isSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

bool hasParentComponent(std::string_view name) {
  std::size_t start = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i == name.size() || isSeparator(name[i])) {
      if (name.substr(start, i - start) == "..") return true;
      start = i + 1;
    }
  }
  return false;
}

std::string withSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string_view withoutRoot(std::string_view name) {
  const bool drive = name.size() >= 3 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':' &&
                     (name[2] == '\\' || name[2] == '/');
  if (drive) return name.substr(3);
  if (!name.empty() && name[0] == '/') return name.substr(1);
  return name;
}

}  // namespace

std::optional<std::string> restoreTarget(const std::string& name, const std::string& destination, bool fullPath) {
  if (hasParentComponent(name)) return std::nullopt;
  if (destination.empty()) return withSlashes(name);
  if (!fullPath) {
    const auto last = std::find_if(name.rbegin(), name.rend(), isSeparator);
    return destination + std::string(last.base(), name.end());
  }
  const std::string_view relative = withoutRoot(name);
  if (!relative.empty() &&
      (relative[0] == '\\' || relative[0] == '/' || relative.find(':') != std::string_view::npos)) {
    return std::nullopt;
  }
  return destination + withSlashes(std::string(relative));
}

}  // namespace vekrano::backup
