// The text reader: whole-file decoding, line splitting and field access.
#include "languages/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/code_page.h"

namespace vekrano::languages {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Paths are bytes of the file system (UTF-8 here); messages are ANSI.
std::string pathForMessage(const std::string& path) {
  return common::isValidUtf8(path) ? common::utf8ToAnsi(path) : path;
}

bool isBlank(const std::string& line) { return line.find_first_not_of(" \t") == std::string::npos; }

// Closes the descriptor whatever ends the read.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

std::string readWholeFile(const std::string& path) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat status {};
  if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    throw ETextFileError(couldNotOpenMessage(path));
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(file.get(), buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      throw ETextFileError(readErrorMessage(path, errno == EBADF ? TextReadError::FileNotOpen : TextReadError::Other));
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return bytes;
}

std::string decodeToAnsi(std::string bytes) {
  std::string_view view(bytes);
  bool hasMark = view.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark;
  if (hasMark) view.remove_prefix(kUtf8ByteOrderMark.size());
  if (common::isValidUtf8(view)) return common::utf8ToAnsi(view);
  return bytes;
}

std::string decodeToUtf8(const std::string& bytes) {
  std::string_view view(bytes);
  if (view.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
    view.remove_prefix(kUtf8ByteOrderMark.size());
  }
  return common::isValidUtf8(view) ? std::string(view) : common::ansiToUtf8(bytes);
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

}  // namespace

std::string couldNotOpenMessage(const std::string& path) {
  return "Could not open the file \"" + pathForMessage(path) + "\" for reading";
}

std::string noFileSelectedMessage() { return "No valid file selected"; }

std::string readErrorMessage(const std::string& path, TextReadError error) {
  const char* reason = "Unknown error";
  switch (error) {
    case TextReadError::FileNotOpen: reason = "File not open"; break;
    case TextReadError::FileNotOpenForInput: reason = "File not open for input"; break;
    case TextReadError::InvalidFormat: reason = "Invalid file format"; break;
    case TextReadError::Other: break;
  }
  return "Read error while reading file \"" + pathForMessage(path) + "\": " + reason;
}

std::string fieldOf(const std::string& line, char separator, int k) {
  if (k < 1) return {};
  std::size_t start = 0;
  for (int i = 1; i < k; ++i) {
    std::size_t next = line.find(separator, start);
    if (next == std::string::npos) return {};
    start = next + 1;
  }
  std::size_t end = line.find(separator, start);
  return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string readAnsiText(const std::string& path) { return decodeToAnsi(readWholeFile(path)); }

std::string readUtf8Text(const std::string& path) { return decodeToUtf8(readWholeFile(path)); }

TTextFile::TTextFile(char separator) : separator_(separator) {}

void TTextFile::Open(const std::string& path) {
  Close();
  path_ = path;
  lines_ = splitLines(readAnsiText(path));
  current_ = 0;
  open_ = true;
  skipBlankLines();
}

void TTextFile::Close() {
  open_ = false;
  lines_.clear();
  current_ = 0;
}

void TTextFile::requireOpen() const {
  if (!open_) throw ETextFileError(noFileSelectedMessage());
}

void TTextFile::skipBlankLines() {
  while (current_ < lines_.size() && isBlank(lines_[current_])) ++current_;
}

bool TTextFile::Eof() const {
  requireOpen();
  return current_ >= lines_.size();
}

void TTextFile::nextLine() {
  requireOpen();
  if (current_ >= lines_.size()) return;
  ++current_;
  skipBlankLines();
}

const std::string& TTextFile::Line() const {
  static const std::string kNone;
  requireOpen();
  return current_ < lines_.size() ? lines_[current_] : kNone;
}

std::string TTextFile::Field(int k) const { return fieldOf(Line(), separator_, k); }

}  // namespace vekrano::languages
