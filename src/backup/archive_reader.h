// Reads the pieces of an archive (see archive_format.h) from volume files or from the
// component's memory stream. No read goes past the end of the volume: a length larger than
// what remains is refused before anything is allocated for it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "backup/file_stream.h"

namespace vekrano::backup {

// The header at the start of the first volume.
struct ArchiveHeader {
  std::string title;
  std::int32_t totalSize = 0;
  std::int32_t fileCount = 0;
};

// Every read returns false when the volume ends before the bytes asked for.
class ArchiveReader {
 public:
  // Reads `memory` (borrowed) until closeVolume().
  void startMemory(std::string_view memory);
  // Opens the volume file `path` for reading, others keeping read and write access.
  bool openVolume(const std::string& path);
  void closeVolume();
  bool inMemory() const { return inMemory_; }
  // Bytes left in the current volume.
  std::int64_t remaining() const;

  bool readHeader(ArchiveHeader& header);
  bool readInteger(std::int32_t& value);
  // Reads a text of `length` bytes. False as well when `length` is negative.
  bool readText(std::int32_t length, std::string& text);
  // True when the next four bytes are the data section marker.
  bool readMarker(bool& present);
  bool readBytes(void* data, std::size_t size);
  bool skip(std::int64_t size);

 private:
  FileStream file_;
  std::int64_t fileSize_ = 0;
  std::string_view memory_;
  std::size_t memoryAt_ = 0;
  bool inMemory_ = false;
};

}  // namespace vekrano::backup
