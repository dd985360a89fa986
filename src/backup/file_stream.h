// An open file of a backup or restore: POSIX descriptor owned for the object's lifetime, with
// the share mode the operation asks for emulated by an open-file-description lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace vekrano::backup {

class FileStream {
 public:
  enum class Access {
    ReadShared,  // read; other programs may read and write meanwhile
    CreateExclusive,  // create or empty the file and write it, for this process alone
    AppendExclusive,  // write after the existing content, for this process alone
  };

  FileStream() = default;
  ~FileStream();
  FileStream(FileStream&& other) noexcept;
  FileStream& operator=(FileStream&& other) noexcept;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  // Opens `path`, closing any file open before. Returns false, and stays closed, when the
  // file cannot be opened or another open of it forbids `access`. An existing file is only
  // emptied once the exclusive hold is granted, so a refused create loses nothing.
  bool open(const std::string& path, Access access);
  bool isOpen() const { return fd_ >= 0; }
  void close();

  // Reads up to `size` bytes, fewer only at the end of the file. Returns the count, or -1 on
  // a read error. REQUIRES: isOpen().
  std::int64_t read(void* data, std::size_t size);
  // Writes all `size` bytes; false on any failure. REQUIRES: isOpen().
  bool write(const void* data, std::size_t size);
  // Moves the read position `count` bytes forward. REQUIRES: isOpen().
  bool skip(std::int64_t count);

  // Bytes from the start of the file to the current position.
  std::int64_t position() const { return position_; }
  // Current size of the file in bytes; -1 when it cannot be had.
  std::int64_t size() const;
  // Last-write time; nothing when it cannot be had.
  std::optional<std::time_t> modificationTime() const;
  bool setModificationTime(std::time_t t);
  // The system's error number of the last failed open, read or write (ENOSPC, EACCES...).
  int lastErrno() const { return lastErrno_; }

 private:
  int fd_ = -1;
  int lastErrno_ = 0;
  std::int64_t position_ = 0;
};

}  // namespace vekrano::backup
