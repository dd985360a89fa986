// The fresh file is named after the target with the process id and a counter, so that two
// writers of one folder never meet; it is created exclusively and never follows a link.
#include "common/safe_file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "common/code_page.h"

namespace vekrano::common {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;

std::string freshName(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  return path + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

std::string systemReason(int error) { return std::strerror(error); }

}  // namespace

SafeFileWriter::SafeFileWriter(std::string path) : path_(std::move(path)) {
  if (std::filesystem::is_directory(path_)) fail("it is a folder");
  freshPath_ = freshName(path_);
  fd_ = ::open(freshPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd_ < 0) fail(systemReason(errno));
  buffer_.reserve(kBufferSize);
}

SafeFileWriter::~SafeFileWriter() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !freshPath_.empty()) ::unlink(freshPath_.c_str());
}

// Messages are ANSI text; a file name is the file system's UTF-8.
void SafeFileWriter::fail(const std::string& reason) {
  const std::string name = isValidUtf8(path_) ? utf8ToAnsi(path_) : path_;
  throw EFileWriteError("Cannot write the file " + name + ": " + reason);
}

void SafeFileWriter::flushBuffer() {
  std::size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t written = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) fail(systemReason(written < 0 ? errno : ENOSPC));
    done += static_cast<std::size_t>(written);
  }
  buffer_.clear();
}

void SafeFileWriter::write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBufferSize) flushBuffer();
  if (bytes.size() > kBufferSize) {
    buffer_.assign(bytes);
    flushBuffer();
    return;
  }
  buffer_.append(bytes);
}

void SafeFileWriter::commit() {
  flushBuffer();
  if (::fsync(fd_) != 0) fail(systemReason(errno));
  const int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) fail(systemReason(errno));
  if (std::rename(freshPath_.c_str(), path_.c_str()) != 0) fail(systemReason(errno));
  committed_ = true;
}

void replaceFileContent(const std::string& path, std::string_view bytes) {
  SafeFileWriter file(path);
  file.write(bytes);
  file.commit();
}

}  // namespace vekrano::common
