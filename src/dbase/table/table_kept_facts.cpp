// The kept-facts file, one per table file, in plain text:
//
//   vekrano kept facts 1
//   table E DEVICE INODE SIZE MODIFIED_NS CHANGED_NS     (E: 1 the file exists, 0 it does not)
//   index E DEVICE INODE SIZE MODIFIED_NS CHANGED_NS
//   fact NAME VALUE                                        (each in hexadecimal pairs; any number)
//   sum CHECKSUM                                           (FNV-1a 64 of every byte before "sum")
//
// Each line ends with "\n". Anything else, or a wrong checksum, makes the whole file ignored.
#include "dbase/table/table_kept_facts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <ctime>
#include <string_view>
#include <vector>

namespace vekrano::dbase {
namespace {

constexpr std::string_view kFirstLine = "vekrano kept facts 1";
constexpr std::int64_t kSettleNs = 2'000'000'000;
// Far more than a table's facts take; a larger file is not one of ours.
constexpr std::size_t kLargestFile = 1 << 20;
constexpr char kHexDigits[] = "0123456789abcdef";

std::int64_t nanoseconds(const timespec& time) { return std::int64_t{time.tv_sec} * 1'000'000'000 + time.tv_nsec; }

FileStanding standingOf(const std::string& path) {
  struct stat st {};
  FileStanding standing;
  if (stat(path.c_str(), &st) != 0) return standing;
  standing.exists = true;
  standing.device = st.st_dev;
  standing.inode = st.st_ino;
  standing.size = st.st_size;
  standing.modifiedNs = nanoseconds(st.st_mtim);
  standing.changedNs = nanoseconds(st.st_ctim);
  return standing;
}

std::uint64_t checksum(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

std::string hex(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    text += kHexDigits[static_cast<unsigned char>(c) >> 4];
    text += kHexDigits[static_cast<unsigned char>(c) & 0x0F];
  }
  return text;
}

bool unhex(std::string_view text, std::string& bytes) {
  if (text.size() % 2 != 0) return false;
  bytes.clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
    if (error != std::errc() || end != text.data() + i + 2) return false;
    bytes += static_cast<char>(value);
  }
  return true;
}

std::string standingLine(const char* which, const FileStanding& file) {
  return std::string(which) + " " + (file.exists ? "1" : "0") + " " + std::to_string(file.device) + " " +
         std::to_string(file.inode) + " " + std::to_string(file.size) + " " + std::to_string(file.modifiedNs) + " " +
         std::to_string(file.changedNs) + "\n";
}

// The words of a line, split at single blanks.
std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t blank = line.find(' '); blank != std::string_view::npos; blank = line.find(' ', start)) {
    parts.push_back(line.substr(start, blank - start));
    start = blank + 1;
  }
  parts.push_back(line.substr(start));
  return parts;
}

template <typename Number>
bool parseNumber(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool parseStanding(std::string_view line, const char* which, FileStanding& file) {
  const std::vector<std::string_view> parts = words(line);
  if (parts.size() != 7 || parts[0] != which || (parts[1] != "0" && parts[1] != "1")) return false;
  file.exists = parts[1] == "1";
  return parseNumber(parts[2], file.device) && parseNumber(parts[3], file.inode) && parseNumber(parts[4], file.size) &&
         parseNumber(parts[5], file.modifiedNs) && parseNumber(parts[6], file.changedNs);
}

// The whole content of our own regular file at `path`; empty when it is anything else.
std::string readOwnFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return {};
  std::string content;
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
      static_cast<std::size_t>(st.st_size) <= kLargestFile) {
    content.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < content.size()) {
      const ssize_t got = read(fd, content.data() + done, content.size() - done);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<std::size_t>(got);
    }
    content.resize(done);
  }
  close(fd);
  return content;
}

// The facts of a kept file's content and the files they were kept for; false when the content
// is not a whole, undamaged kept-facts file.
bool parseKeptFile(std::string_view content, TableFilesStanding& standing, KeptFacts& facts) {
  const std::size_t sumAt = content.rfind("sum ");
  if (sumAt == std::string_view::npos || content.empty() || content.back() != '\n') return false;
  std::uint64_t sum = 0;
  const std::string_view sumText = content.substr(sumAt + 4, content.size() - sumAt - 5);
  const auto [end, error] = std::from_chars(sumText.data(), sumText.data() + sumText.size(), sum, 16);
  if (error != std::errc() || end != sumText.data() + sumText.size() || sum != checksum(content.substr(0, sumAt)))
    return false;
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start < sumAt;) {
    const std::size_t newline = content.find('\n', start);
    if (newline == std::string_view::npos || newline >= sumAt) return false;
    lines.push_back(content.substr(start, newline - start));
    start = newline + 1;
  }
  if (lines.size() < 3 || lines[0] != kFirstLine || !parseStanding(lines[1], "table", standing.table) ||
      !parseStanding(lines[2], "index", standing.index))
    return false;
  for (std::size_t i = 3; i < lines.size(); ++i) {
    const std::vector<std::string_view> parts = words(lines[i]);
    std::string name, value;
    if (parts.size() != 3 || parts[0] != "fact" || !unhex(parts[1], name) || !unhex(parts[2], value)) return false;
    facts[name] = value;
  }
  return true;
}

std::string keptFileContent(const TableFilesStanding& standing, const KeptFacts& facts) {
  std::string content =
      std::string(kFirstLine) + "\n" + standingLine("table", standing.table) + standingLine("index", standing.index);
  for (const auto& [name, value] : facts) content += "fact " + hex(name) + " " + hex(value) + "\n";
  const std::uint64_t sum = checksum(content);
  char digits[17] = {};
  for (int i = 0; i < 16; ++i) digits[i] = kHexDigits[(sum >> (60 - 4 * i)) & 0x0F];
  return content + "sum " + digits + "\n";
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

// The folder, made with the missing folders above it when needed, readable by the user alone;
// false unless it is a folder of the user's own.
bool folderReady(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
    mkdir(folder.substr(0, slash).c_str(), 0700);
  mkdir(folder.c_str(), 0700);
  struct stat st {};
  return lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid();
}

}  // namespace

TableFilesStanding filesStandingOf(const std::string& tableFile, const std::string& indexFile) {
  return TableFilesStanding{standingOf(tableFile), standingOf(indexFile)};
}

std::int64_t wallClockNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return nanoseconds(now);
}

bool settled(const TableFilesStanding& standing, std::int64_t nowNs) {
  const auto old = [nowNs](std::int64_t time) { return time <= nowNs - kSettleNs; };
  const auto fileSettled = [&](const FileStanding& file) {
    return !file.exists || (old(file.modifiedNs) && old(file.changedNs));
  };
  return standing.table.exists && fileSettled(standing.table) && fileSettled(standing.index);
}

std::string keptFactsFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache != nullptr && cache[0] == '/') return std::string(cache) + "/vekrano";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/vekrano";
  return {};
}

std::string keptFactsFile(const TableFilesStanding& standing) {
  const std::string folder = keptFactsFolder();
  if (folder.empty() || !standing.table.exists) return {};
  const auto hexNumber = [](std::uint64_t n) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, n, 16).ptr;
    return std::string(digits, end);
  };
  return folder + "/table-" + hexNumber(standing.table.device) + "-" + hexNumber(standing.table.inode);
}

KeptFacts loadKeptFacts(const TableFilesStanding& standing) {
  const std::string file = keptFactsFile(standing);
  if (file.empty()) return {};
  TableFilesStanding keptFor;
  KeptFacts facts;
  if (!parseKeptFile(readOwnFile(file), keptFor, facts) || !(keptFor == standing)) return {};
  return facts;
}

void keepFacts(const TableFilesStanding& standing, const KeptFacts& facts) {
  const std::string file = keptFactsFile(standing);
  if (file.empty() || !folderReady(keptFactsFolder())) return;
  KeptFacts all = loadKeptFacts(standing);
  for (const auto& [name, value] : facts) all[name] = value;
  const std::string fresh = file + ".new-" + std::to_string(getpid()) + "-" + std::to_string(wallClockNs());
  const int fd = open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return;
  const bool written = writeAll(fd, keptFileContent(standing, all));
  if (close(fd) != 0 || !written || rename(fresh.c_str(), file.c_str()) != 0) unlink(fresh.c_str());
}

}  // namespace vekrano::dbase
