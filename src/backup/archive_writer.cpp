// Little-endian integers and length-prefixed texts into a volume file or memory.
#include "backup/archive_writer.h"

#include <array>
#include <cstdio>
#include <filesystem>

#include "backup/archive_format.h"
#include "common/byte_codec.h"

namespace vekrano::backup {
namespace {

std::string threeDigits(int volume) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%03d", volume);
  return digits;
}

}  // namespace

std::string nextDiskName(int volume) { return std::string(kNextDiskPrefix) + threeDigits(volume); }

std::string volumePath(const std::string& archive, int volume) {
  return std::filesystem::path(archive).replace_extension("." + threeDigits(volume)).string();
}

void ArchiveWriter::startMemory(std::string& memory) {
  closeVolume();
  memory.clear();
  memory_ = &memory;
}

bool ArchiveWriter::createVolume(const std::string& path) {
  memory_ = nullptr;
  return file_.open(path, FileStream::Access::CreateExclusive);
}

void ArchiveWriter::closeVolume() {
  file_.close();
  memory_ = nullptr;
}

std::int64_t ArchiveWriter::volumePosition() const {
  return memory_ ? static_cast<std::int64_t>(memory_->size()) : file_.position();
}

bool ArchiveWriter::write(const void* data, std::size_t size) {
  if (memory_) {
    memory_->append(static_cast<const char*>(data), size);
    return true;
  }
  return file_.isOpen() && file_.write(data, size);
}

bool ArchiveWriter::writeInteger(std::int32_t value) {
  std::array<unsigned char, kIntegerSize> bytes{};
  common::putU32(bytes.data(), static_cast<std::uint32_t>(value));
  return write(bytes.data(), bytes.size());
}

bool ArchiveWriter::writeText(std::string_view text) {
  return writeInteger(static_cast<std::int32_t>(text.size())) && write(text.data(), text.size());
}

bool ArchiveWriter::writeHeader(std::string_view title, std::int32_t totalSize, std::int32_t fileCount) {
  return writeText(title) && writeInteger(totalSize) && writeInteger(fileCount);
}

bool ArchiveWriter::writeMarker() { return write(kSectionMarker.data(), kSectionMarker.size()); }

bool ArchiveWriter::writeBlock(std::int32_t length, const unsigned char* data, int size) {
  return writeInteger(length) && write(data, static_cast<std::size_t>(size));
}

bool ArchiveWriter::writeNextDisk(int volume) { return writeText(nextDiskName(volume)); }

}  // namespace vekrano::backup
