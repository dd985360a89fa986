#include "app/program/kept_freed_memory.h"

#include <malloc.h>

namespace vekrano::app {

void keepFreedMemory() {
#ifdef __GLIBC__
  constexpr int kKeptBytes = 64 * 1024 * 1024;
  mallopt(M_MMAP_THRESHOLD, kKeptBytes / 2);
  mallopt(M_TRIM_THRESHOLD, kKeptBytes);
#endif
}

}  // namespace vekrano::app
