// Positioned reads and writes on an index or semaphore file, and open-file-description byte locks.
#pragma once

#include <cstdint>
#include <string>

namespace vekrano::dbase {

// An open file descriptor, closed with the object.
class MdxFile {
 public:
  MdxFile() = default;
  explicit MdxFile(int fd) : fd_(fd) {}
  ~MdxFile();
  MdxFile(MdxFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  MdxFile& operator=(MdxFile&& other) noexcept;
  MdxFile(const MdxFile&) = delete;
  MdxFile& operator=(const MdxFile&) = delete;

  // Opens with open(2) flags; on failure the object stays closed and errno is kept.
  bool open(const std::string& path, int flags, int mode = 0644);
  void close();
  bool isOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }

  // Reads or writes exactly `size` bytes at `offset`; false on a short transfer or error.
  bool readAt(std::uint64_t offset, void* data, std::size_t size) const;
  bool writeAt(std::uint64_t offset, const void* data, std::size_t size) const;
  std::uint64_t size() const;

 private:
  int fd_ = -1;
};

// Takes (or releases) an open-file-description lock on `length` bytes at `offset`; one attempt.
// Returns 0 on success, else the system's error number.
int tryLockBytes(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive);
int unlockBytes(int fd, std::uint64_t offset, std::uint64_t length);

// Busy pause between lock attempts: a fixed count of empty loop iterations, no clock involved.
void lockPause();

// Takes the lock with up to 1001 attempts separated by lockPause(); 0 or the last error number.
int lockBytesWithRetries(int fd, std::uint64_t offset, std::uint64_t length);

}  // namespace vekrano::dbase
