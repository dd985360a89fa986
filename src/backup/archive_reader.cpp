// Bounded reads of little-endian integers, texts and blocks.
#include "backup/archive_reader.h"

#include <array>
#include <cstring>

#include "backup/archive_format.h"
#include "common/byte_codec.h"

namespace vekrano::backup {

void ArchiveReader::startMemory(std::string_view memory) {
  closeVolume();
  memory_ = memory;
  inMemory_ = true;
}

bool ArchiveReader::openVolume(const std::string& path) {
  closeVolume();
  if (!file_.open(path, FileStream::Access::ReadShared)) return false;
  fileSize_ = file_.size();
  return fileSize_ >= 0;
}

void ArchiveReader::closeVolume() {
  file_.close();
  fileSize_ = 0;
  memory_ = {};
  memoryAt_ = 0;
  inMemory_ = false;
}

std::int64_t ArchiveReader::remaining() const {
  if (inMemory_) return static_cast<std::int64_t>(memory_.size() - memoryAt_);
  return file_.isOpen() ? fileSize_ - file_.position() : 0;
}

bool ArchiveReader::readBytes(void* data, std::size_t size) {
  if (static_cast<std::int64_t>(size) > remaining()) return false;
  if (inMemory_) {
    std::memcpy(data, memory_.data() + memoryAt_, size);
    memoryAt_ += size;
    return true;
  }
  return file_.read(data, size) == static_cast<std::int64_t>(size);
}

bool ArchiveReader::skip(std::int64_t size) {
  if (size < 0 || size > remaining()) return false;
  if (inMemory_) {
    memoryAt_ += static_cast<std::size_t>(size);
    return true;
  }
  return file_.skip(size);
}

bool ArchiveReader::readInteger(std::int32_t& value) {
  std::array<unsigned char, kIntegerSize> bytes{};
  if (!readBytes(bytes.data(), bytes.size())) return false;
  value = static_cast<std::int32_t>(common::getU32(bytes.data()));
  return true;
}

bool ArchiveReader::readText(std::int32_t length, std::string& text) {
  if (length < 0 || length > remaining()) return false;
  text.resize(static_cast<std::size_t>(length));
  return readBytes(text.data(), text.size());
}

bool ArchiveReader::readMarker(bool& present) {
  std::array<char, kSectionMarker.size()> bytes{};
  if (!readBytes(bytes.data(), bytes.size())) return false;
  present = std::string_view(bytes.data(), bytes.size()) == kSectionMarker;
  return true;
}

bool ArchiveReader::readHeader(ArchiveHeader& header) {
  std::int32_t titleLength = 0;
  return readInteger(titleLength) && readText(titleLength, header.title) && readInteger(header.totalSize) &&
         readInteger(header.fileCount);
}

}  // namespace vekrano::backup
