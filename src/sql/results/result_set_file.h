// A temporary file mapped into memory with a fixed capacity: the store of result sets and sort
// lists too large for memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vekrano::sql {

class TMemMapFile {
 public:
  // Creates a file with a unique name beginning "~sq" in the temporary directory ($TMPDIR, else
  // /tmp), sized and mapped read-write to `capacity` bytes; it is deleted when the object dies.
  // Raises ESqlQueryError "Failed to open or create file", "Failed to create file mapping" or
  // "Failed to map view of file".
  explicit TMemMapFile(std::size_t capacity);
  ~TMemMapFile();
  TMemMapFile(const TMemMapFile&) = delete;
  TMemMapFile& operator=(const TMemMapFile&) = delete;

  // Copies `size` bytes from the position and advances it; past the capacity raises
  // ESqlQueryError "Position beyond EOF".
  void Read(void* data, std::size_t size);
  // Reserves `size` zero bytes at the end of data and returns their address, which stays valid
  // while the file lives. Passing the capacity raises ESqlQueryError "Temporary file capacity
  // of %d bytes exceeded" and reserves nothing.
  char* Append(std::size_t size);

  void setPosition(std::size_t position) { position_ = position; }
  const std::string& FileName() const { return fileName_; }

 private:
  void checkCapacity(std::size_t size) const;

  std::string fileName_;
  int fd_ = -1;
  char* view_ = nullptr;
  std::size_t capacity_;
  std::size_t position_ = 0;
  std::size_t endOfData_ = 0;
};

}  // namespace vekrano::sql
