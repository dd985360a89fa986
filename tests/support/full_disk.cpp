#include "support/full_disk.h"

namespace vekrano::testing {

std::string fullDiskAfter(long long bytes, const std::filesystem::path& under) {
  return "env LD_PRELOAD='" VEKRANO_FULL_DISK_PRELOAD "' VEKRANO_FULL_DISK_AFTER=" + std::to_string(bytes) +
         " VEKRANO_FULL_DISK_UNDER='" + under.string() +
         "' ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0\"";
}

}  // namespace vekrano::testing
