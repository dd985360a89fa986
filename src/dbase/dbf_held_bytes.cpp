#include "dbase/dbf_held_bytes.h"

#include <algorithm>
#include <cstring>

namespace vekrano::dbase {
namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;
// Past this the held chunks are dropped and gathered again, bounding the memory of a walk.
constexpr std::size_t kHeldBytesLimit = 64 * 1024 * 1024;

}  // namespace

void HeldFileBytes::End() {
  if (walks_ > 0 && --walks_ == 0) Reset();
}

void HeldFileBytes::Reset() {
  walks_ = 0;
  heldBytes_ = 0;
  chunks_.clear();
}

// The chunk `index` holding at least `needed` bytes, read again when it holds fewer (the file
// grew since); nullptr when the file does not hold them.
const HeldFileBytes::Chunk* HeldFileBytes::chunk(File& file, std::uint64_t index, std::size_t needed) {
  auto found = chunks_.find(index);
  if (found != chunks_.end() && found->second.size >= needed) return &found->second;
  if (found != chunks_.end()) {
    heldBytes_ -= kChunkBytes;
    chunks_.erase(found);
  }
  if (heldBytes_ + kChunkBytes > kHeldBytesLimit) {
    chunks_.clear();
    heldBytes_ = 0;
  }
  Chunk read{0, std::make_unique_for_overwrite<char[]>(kChunkBytes)};
  const std::int64_t got = file.readAt(read.bytes.get(), kChunkBytes, static_cast<std::int64_t>(index * kChunkBytes));
  if (got < static_cast<std::int64_t>(needed)) return nullptr;
  read.size = static_cast<std::size_t>(got);
  heldBytes_ += kChunkBytes;
  return &chunks_.emplace(index, std::move(read)).first->second;
}

bool HeldFileBytes::Read(File& file, std::uint64_t offset, void* out, std::size_t length) {
  if (!active()) return false;
  auto* to = static_cast<char*>(out);
  while (length > 0) {
    const std::uint64_t index = offset / kChunkBytes;
    const std::size_t at = static_cast<std::size_t>(offset % kChunkBytes);
    const std::size_t part = std::min(length, kChunkBytes - at);
    const Chunk* held = chunk(file, index, at + part);
    if (held == nullptr) return false;
    std::memcpy(to, held->bytes.get() + at, part);
    to += part;
    offset += part;
    length -= part;
  }
  return true;
}

void HeldFileBytes::Written(std::uint64_t offset, const void* bytes, std::size_t length) {
  const auto* from = static_cast<const char*>(bytes);
  while (length > 0) {
    const std::uint64_t index = offset / kChunkBytes;
    const std::size_t at = static_cast<std::size_t>(offset % kChunkBytes);
    const std::size_t part = std::min(length, kChunkBytes - at);
    if (const auto found = chunks_.find(index); found != chunks_.end()) {
      Chunk& held = found->second;
      // Bytes past the held end are left to the next read of the chunk, which fetches them.
      if (at < held.size) std::memcpy(held.bytes.get() + at, from, std::min(part, held.size - at));
    }
    from += part;
    offset += part;
    length -= part;
  }
}

}  // namespace vekrano::dbase
