#include "dbase/held_file_bytes.h"

#include <sys/mman.h>

#include <cstring>

namespace vekrano::dbase {

HeldFileBytes::~HeldFileBytes() { unmap(); }

void HeldFileBytes::End() {
  if (walks_ > 0 && --walks_ == 0) unmap();
}

void HeldFileBytes::Reset() {
  walks_ = 0;
  unmap();
}

void HeldFileBytes::unmap() {
  mapper_ = std::jthread();  // asks the mapper to stop and waits for it
  if (mapped_ != nullptr) ::munmap(mapped_, mappedBytes_);
  mapped_ = nullptr;
  mappedBytes_ = 0;
}

const char* HeldFileBytes::View(File& file, std::uint64_t offset, std::size_t length) {
  if (!active()) return nullptr;
  const std::uint64_t end = offset + length;
  if (end > mappedBytes_) {
    const std::int64_t size = file.size();
    if (size <= 0 || static_cast<std::uint64_t>(size) < end) return nullptr;
    unmap();
    void* mapped = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_SHARED,
                          file.descriptor(), 0);
    if (mapped == MAP_FAILED) return nullptr;
    mapped_ = mapped;
    mappedBytes_ = static_cast<std::size_t>(size);
  }
  return static_cast<const char*>(mapped_) + offset;
}

void HeldFileBytes::MapAhead(File& file) {
  const std::int64_t size = file.size();
  if (size <= 0 || View(file, 0, static_cast<std::size_t>(size)) == nullptr || mapper_.joinable()) return;
  const char* bytes = static_cast<const char*>(mapped_);
  const std::size_t length = mappedBytes_;
  mapper_ = std::jthread([bytes, length](std::stop_token stop) {
    constexpr std::size_t kPage = 4096;
    for (std::size_t at = 0; at < length && !stop.stop_requested(); at += kPage) {
      static_cast<void>(*static_cast<const volatile char*>(bytes + at));
    }
  });
}

bool HeldFileBytes::Read(File& file, std::uint64_t offset, void* out, std::size_t length) {
  const char* bytes = View(file, offset, length);
  if (bytes == nullptr) return false;
  std::memcpy(out, bytes, length);
  return true;
}

}  // namespace vekrano::dbase
