#include "dbase/held_file_bytes.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace vekrano::dbase {
namespace {

// A new mapping reserves room for the file to grow by half again, and at least this much, so
// that a table growing by a record per statement is mapped again only now and then.
constexpr std::size_t kLeastGrowthBytes = 1u << 20;
// From this size on a reader going through the whole file asks for it to be read ahead.
constexpr std::size_t kReadAheadBytes = 4u << 20;

}  // namespace

HeldFileBytes::~HeldFileBytes() { unmap(); }

void HeldFileBytes::Begin() {
  if (walks_++ == 0) validBytes_ = 0;
}

void HeldFileBytes::End() {
  if (walks_ > 0) --walks_;
}

void HeldFileBytes::Reset() {
  walks_ = 0;
  unmap();
}

void HeldFileBytes::unmap() {
  if (mapped_ != nullptr) ::munmap(mapped_, mappedBytes_);
  mapped_ = nullptr;
  mappedBytes_ = 0;
  validBytes_ = 0;
}

const char* HeldFileBytes::View(File& file, std::uint64_t offset, std::size_t length) {
  if (!active()) return nullptr;
  const std::uint64_t end = offset + length;
  if (end > validBytes_) {
    struct stat status {};
    if (::fstat(file.descriptor(), &status) != 0 || status.st_size <= 0 ||
        static_cast<std::uint64_t>(status.st_size) < end) {
      return nullptr;
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    // A mapping kept from an earlier walk serves only the same file, while it has room.
    if (mapped_ != nullptr && (status.st_dev != device_ || status.st_ino != inode_ || size > mappedBytes_)) unmap();
    if (mapped_ == nullptr) {
      // Pages past the file's end are reserved, never read: only validBytes_ are.
      const std::size_t reserve = size + std::max(size / 2, kLeastGrowthBytes);
      void* mapped = ::mmap(nullptr, reserve, PROT_READ, MAP_SHARED, file.descriptor(), 0);
      if (mapped == MAP_FAILED) return nullptr;
      mapped_ = mapped;
      mappedBytes_ = reserve;
      device_ = status.st_dev;
      inode_ = status.st_ino;
    }
    validBytes_ = size;
  }
  return static_cast<const char*>(mapped_) + offset;
}

void HeldFileBytes::mapAhead(File& file) {
  // A small file is read in a few page faults whatever is asked: no call for it.
  if (View(file, 0, 1) == nullptr || validBytes_ < kReadAheadBytes) return;
  ::madvise(mapped_, validBytes_, MADV_WILLNEED);  // only advice: a refusal changes nothing
}

std::int64_t HeldFileBytes::seenSize(File& file) {
  if (validBytes_ == 0 && View(file, 0, 1) == nullptr) return -1;
  return static_cast<std::int64_t>(validBytes_);
}

bool HeldFileBytes::Read(File& file, std::uint64_t offset, void* out, std::size_t length) {
  const char* bytes = View(file, offset, length);
  if (bytes == nullptr) return false;
  std::memcpy(out, bytes, length);
  return true;
}

}  // namespace vekrano::dbase
