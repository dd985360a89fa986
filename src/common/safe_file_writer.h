// Writing a file so that its name never shows a half-written content: the bytes go to a fresh
// file beside it, which replaces the named file by a rename only once everything is on disk.
#pragma once

#include <string>
#include <string_view>

#include "common/exception.h"

namespace vekrano::common {

// A file that could not be written; the text names the file and the system's reason.
class EFileWriteError : public Exception {
 public:
  using Exception::Exception;
};

class SafeFileWriter {
 public:
  // Creates the fresh file in the folder of `path` (permissions as for any new file).
  // Throws EFileWriteError when it cannot be created.
  explicit SafeFileWriter(std::string path);
  // Without a successful commit(), deletes the fresh file: the named file stays as it was.
  ~SafeFileWriter();
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Appends `bytes`, buffered. Throws EFileWriteError when the disk refuses them.
  void write(std::string_view bytes);
  // Writes out the buffer, commits the file to disk and renames it to the path: an existing file
  // of that name is replaced at once, whole. Throws EFileWriteError on failure (nothing replaced).
  void commit();

  const std::string& path() const { return path_; }

 private:
  void flushBuffer();
  [[noreturn]] void fail(const std::string& reason);

  std::string path_;
  std::string freshPath_;
  int fd_ = -1;
  std::string buffer_;
  bool committed_ = false;
};

// The whole content of the file at `path` replaced by `bytes` through a SafeFileWriter.
void replaceFileContent(const std::string& path, std::string_view bytes);

}  // namespace vekrano::common
