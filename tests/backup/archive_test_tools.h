// Test-side reading of archives, written apart from the component's reader so that the two
// check each other, and helpers for making files with known content and dates.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "backup/backup_file.h"

namespace vekrano::backup::testing {

struct InspectedBlock {
  std::int32_t length = 0;  // the length integer: negative for stored data
  std::string bytes;  // the block as stored
  std::size_t dataSize = 0;  // file data it holds
};

struct InspectedEntry {
  std::string name;
  std::int32_t date = 0;  // absent for "NEXT:DISK" entries
  std::vector<InspectedBlock> blocks;  // of every section, in order
  std::string data;  // the file content the blocks give
};

struct InspectedArchive {
  std::string title;
  std::int32_t totalSize = 0;
  std::int32_t fileCount = 0;
  std::vector<InspectedEntry> entries;
  bool ended = false;  // the end integer 0 was found
};

// Walks `bytes`: an archive's volumes concatenated in order. Throws std::runtime_error on any
// departure from the layout.
InspectedArchive inspectArchive(const std::string& bytes);

// Writes archives by hand, damaged ones included.
class ArchiveBuilder {
 public:
  ArchiveBuilder& integer(std::int32_t value);
  ArchiveBuilder& text(const std::string& text);
  ArchiveBuilder& header(std::int32_t totalSize, std::int32_t fileCount);
  ArchiveBuilder& marker();
  // One compressed block of `data` at level 9, its length first.
  ArchiveBuilder& compressed(const std::string& data);
  ArchiveBuilder& stored(const std::string& data);
  // A whole entry: name, date, marker, `data` in blocks of 16 384 bytes, 0.
  ArchiveBuilder& entry(const std::string& name, std::int32_t date, const std::string& data);
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

std::string randomBytes(std::size_t size, unsigned seed);
// Text-like bytes that compress well, as table records do.
std::string recordLikeBytes(std::size_t size, unsigned seed);

// Last-write time of a file, and setting it.
std::time_t modificationTime(const std::string& path);
void setModificationTime(const std::string& path, std::time_t t);

struct ReportedError {
  int code;
  std::string text;
};

// Records what OnError reports on `component` instead of showing boxes.
class ErrorLog {
 public:
  explicit ErrorLog(TBackupFile& component) {
    component.OnError = [this](TBackupFile&, int code, const std::string& text) { reported.push_back({code, text}); };
  }
  std::vector<ReportedError> reported;
};

}  // namespace vekrano::backup::testing
