#include "archive_test_tools.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <stdexcept>

namespace vekrano::backup::testing {
namespace {

class Cursor {
 public:
  explicit Cursor(const std::string& bytes) : bytes_(bytes) {}
  std::int32_t integer() {
    const std::string b = take(4);
    return static_cast<std::int32_t>(std::uint32_t(std::uint8_t(b[0])) | std::uint32_t(std::uint8_t(b[1])) << 8 |
                                     std::uint32_t(std::uint8_t(b[2])) << 16 | std::uint32_t(std::uint8_t(b[3])) << 24);
  }
  std::string take(std::size_t n) {
    if (n > bytes_.size() - at_) throw std::runtime_error("archive ends early");
    std::string out = bytes_.substr(at_, n);
    at_ += n;
    return out;
  }
  bool atEnd() const { return at_ == bytes_.size(); }

 private:
  const std::string& bytes_;
  std::size_t at_ = 0;
};

void readSection(Cursor& in, InspectedEntry& entry) {
  if (in.take(4) != std::string("EC2\0", 4)) throw std::runtime_error("no marker");
  for (std::int32_t n = in.integer(); n != 0; n = in.integer()) {
    const std::string block = in.take(static_cast<std::size_t>(n < 0 ? -n : n));
    if (n < 0) {
      entry.blocks.push_back({n, block, block.size()});
      entry.data += block;
      continue;
    }
    std::string out(16384, '\0');
    uLongf outLength = out.size();
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &outLength, reinterpret_cast<const Bytef*>(block.data()),
                   block.size()) != Z_OK) {
      throw std::runtime_error("bad zlib block");
    }
    entry.blocks.push_back({n, block, outLength});
    entry.data.append(out.data(), outLength);
  }
}

}  // namespace

InspectedArchive inspectArchive(const std::string& bytes) {
  Cursor in(bytes);
  InspectedArchive archive;
  archive.title = in.take(static_cast<std::size_t>(in.integer()));
  archive.totalSize = in.integer();
  archive.fileCount = in.integer();
  std::size_t lastFile = 0;
  while (!in.atEnd()) {
    const std::int32_t length = in.integer();
    if (length == 0) {
      archive.ended = true;
      if (!in.atEnd()) throw std::runtime_error("bytes after the end");
      break;
    }
    InspectedEntry entry;
    entry.name = in.take(static_cast<std::size_t>(length));
    if (entry.name.rfind("NEXT:DISK", 0) == 0) {
      // The next volume goes on with the previous entry's data.
      archive.entries.push_back(entry);
      readSection(in, archive.entries.at(lastFile));
      continue;
    }
    entry.date = in.integer();
    readSection(in, entry);
    lastFile = archive.entries.size();
    archive.entries.push_back(entry);
  }
  return archive;
}

ArchiveBuilder& ArchiveBuilder::integer(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) bytes_ += static_cast<char>(bits >> shift);
  return *this;
}

ArchiveBuilder& ArchiveBuilder::text(const std::string& text) {
  integer(static_cast<std::int32_t>(text.size()));
  bytes_ += text;
  return *this;
}

ArchiveBuilder& ArchiveBuilder::header(std::int32_t totalSize, std::int32_t fileCount) {
  return text("").integer(totalSize).integer(fileCount);
}

ArchiveBuilder& ArchiveBuilder::marker() {
  bytes_ += std::string("EC2\0", 4);
  return *this;
}

ArchiveBuilder& ArchiveBuilder::compressed(const std::string& data) {
  std::string out(compressBound(data.size()), '\0');
  uLongf outLength = out.size();
  compress2(reinterpret_cast<Bytef*>(out.data()), &outLength, reinterpret_cast<const Bytef*>(data.data()), data.size(),
            9);
  integer(static_cast<std::int32_t>(outLength));
  bytes_.append(out.data(), outLength);
  return *this;
}

ArchiveBuilder& ArchiveBuilder::stored(const std::string& data) {
  integer(-static_cast<std::int32_t>(data.size()));
  bytes_ += data;
  return *this;
}

ArchiveBuilder& ArchiveBuilder::entry(const std::string& name, std::int32_t date, const std::string& data) {
  text(name).integer(date).marker();
  for (std::size_t at = 0; at < data.size(); at += 16384) compressed(data.substr(at, 16384));
  return integer(0);
}

std::string randomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

std::string recordLikeBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes;
  while (bytes.size() < size) {
    bytes += " " + std::to_string(random() % 100000) + "    ARTICLE-" + std::to_string(random() % 5000) +
             std::string(30, ' ') + "Label text line " + std::to_string(random() % 97) + std::string(60, ' ') + "N";
  }
  bytes.resize(size);
  return bytes;
}

std::time_t modificationTime(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) throw std::runtime_error("no such file: " + path);
  return info.st_mtime;
}

void setModificationTime(const std::string& path, std::time_t t) {
  const struct timespec times[2] = {{t, 0}, {t, 0}};
  if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) throw std::runtime_error("utimensat");
}

}  // namespace vekrano::backup::testing
