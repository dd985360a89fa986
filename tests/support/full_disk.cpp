#include "support/full_disk.h"

namespace vekrano::testing {

std::string fullDiskAfter(long long bytes, const std::filesystem::path& under) {
  return "env LD_PRELOAD='" VEKRANO_FULL_DISK_PRELOAD "' VEKRANO_FULL_DISK_AFTER=" + std::to_string(bytes) +
         " VEKRANO_FULL_DISK_UNDER='" + under.string() +
         "' ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0\"";
}

std::string fullDiskWithRoom(long long bytes, const std::filesystem::path& under) {
  return fullDiskAfter(bytes, under) + " VEKRANO_FULL_DISK_ROOM=1";
}

}  // namespace vekrano::testing
