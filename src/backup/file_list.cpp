// Pattern expansion over the file system, and the file ID list.
#include "backup/file_list.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <unordered_set>

#include "backup/dos_date.h"
#include "backup/wildcard.h"
#include "common/code_page.h"

namespace vekrano::backup {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kRecursiveSwitch = "/s";

std::string trimBlanks(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return std::string(text.substr(first, last - first));
}

struct Pattern {
  fs::path folder;
  std::string name;
  bool recursive = false;
};

// "/" separates folders here, so the switch counts only after a blank: "/data/*.dbf /s".
Pattern parsePattern(const std::string& entry) {
  Pattern pattern;
  std::string text = trimBlanks(entry);
  const std::size_t at = text.size() - kRecursiveSwitch.size();
  if (text.size() > kRecursiveSwitch.size() && common::ansiLower(text.substr(at)) == kRecursiveSwitch &&
      static_cast<unsigned char>(text[at - 1]) <= ' ') {
    pattern.recursive = true;
    text = trimBlanks(text.substr(0, at));
  }
  const std::size_t slash = text.rfind('/');
  pattern.name = slash == std::string::npos ? text : text.substr(slash + 1);
  const std::string folder = slash == std::string::npos ? "." : text.substr(0, slash + 1);
  std::error_code ignored;
  pattern.folder = fs::absolute(folder, ignored).lexically_normal();
  return pattern;
}

class Collector {
 public:
  explicit Collector(const std::string& archivePath) {
    std::error_code ignored;
    if (!archivePath.empty()) archive_ = fs::absolute(archivePath, ignored).lexically_normal();
  }

  // Depth first, a folder's own files before its subfolders, with a stack of our own so that
  // a deep tree cannot exhaust the call stack.
  void add(const Pattern& pattern) {
    std::vector<fs::path> folders{pattern.folder};
    while (!folders.empty()) {
      const fs::path folder = std::move(folders.back());
      folders.pop_back();
      std::vector<fs::path> subfolders;
      addFolder(folder, pattern, subfolders);
      folders.insert(folders.end(), subfolders.rbegin(), subfolders.rend());
    }
  }

  std::vector<SourceFile> files;

 private:
  void addFolder(const fs::path& folder, const Pattern& pattern, std::vector<fs::path>& subfolders) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      const fs::directory_entry& entry = *it;
      std::error_code ignored;
      if (entry.is_directory(ignored)) {
        if (pattern.recursive && !entry.is_symlink(ignored)) subfolders.push_back(entry.path());
      } else if (entry.is_regular_file(ignored) && matchesWildcard(pattern.name, entry.path().filename().string())) {
        addFile(entry.path().lexically_normal());
      }
    }
  }

  void addFile(const fs::path& path) {
    if (path == archive_ || !seen_.insert(path.string()).second) return;
    // Linux keeps no archive attribute: every file counts as changed since its last backup,
    // so incremental mode saves the same files as a full one.
    files.push_back({path.string(), common::ansiLower(trimBlanks(path.string()))});
  }

  fs::path archive_;
  std::unordered_set<std::string> seen_;
};

}  // namespace

std::vector<SourceFile> findSourceFiles(const std::vector<std::string>& patterns, const std::string& archivePath) {
  Collector collector(archivePath);
  for (const std::string& entry : patterns) collector.add(parsePattern(entry));
  return std::move(collector.files);
}

std::optional<std::int64_t> existingFileSize(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::int64_t>(info.st_size);
}

std::string fileIdList(const std::vector<SourceFile>& files) {
  std::string text;
  for (const SourceFile& file : files) {
    struct stat info {};
    if (stat(file.path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    const auto date = static_cast<std::int32_t>(dosDateFromTime(info.st_mtime));
    text += file.name + '\t' + std::to_string(date) + '=' + std::to_string(info.st_size) + "\r\n";
  }
  return text;
}

TemporaryFile::TemporaryFile(const std::string& prefix, const std::string& text) {
  std::error_code error;
  std::string pattern = (fs::temp_directory_path(error) / (prefix + "XXXXXX")).string();
  if (error) return;
  const int fd = mkstemp(pattern.data());
  if (fd < 0) return;
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  const bool closed = ::close(fd) == 0;
  if (done == text.size() && closed) {
    path_ = pattern;
  } else {
    ::unlink(pattern.c_str());
  }
}

TemporaryFile::~TemporaryFile() {
  if (created()) ::unlink(path_.c_str());
}

}  // namespace vekrano::backup
