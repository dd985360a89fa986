// Writes the pieces of an archive (see archive_format.h) into volume files or into the
// component's memory stream, counting the bytes of the current volume.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "backup/file_stream.h"

namespace vekrano::backup {

// Every write returns false when the archive could not take the bytes.
class ArchiveWriter {
 public:
  // Writes into `memory`, emptied first, until closeVolume(); `memory` is borrowed.
  void startMemory(std::string& memory);
  // Creates the volume file `path`, replacing an existing one.
  bool createVolume(const std::string& path);
  void closeVolume();
  bool inMemory() const { return memory_ != nullptr; }
  // Bytes written to the current volume.
  std::int64_t volumePosition() const;

  bool writeHeader(std::string_view title, std::int32_t totalSize, std::int32_t fileCount);
  bool writeText(std::string_view text);
  bool writeInteger(std::int32_t value);
  bool writeMarker();
  // A block: its length integer `length` (negative for stored data) and the `size` bytes.
  bool writeBlock(std::int32_t length, const unsigned char* data, int size);
  // The pseudo entry that sends the reader on to volume `volume`.
  // REQUIRES: kFirstVolume < volume <= kLastVolume.
  bool writeNextDisk(int volume);
  // The system's error number of the last failed write of a volume file.
  int lastErrno() const { return file_.lastErrno(); }

 private:
  bool write(const void* data, std::size_t size);

  FileStream file_;
  std::string* memory_ = nullptr;
};

// "NEXT:DISK" followed by the three digits of `volume`.
std::string nextDiskName(int volume);
// The file name of volume `volume` > 1: `archive` with its extension replaced by the three
// digits of the volume number (save.vkb gives save.002).
std::string volumePath(const std::string& archive, int volume);

}  // namespace vekrano::backup
