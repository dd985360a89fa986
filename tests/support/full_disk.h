// A full disk for a program under test, without mounting anything: the command is run with a
// preloaded library that fails writes with ENOSPC once `bytes` bytes have been written to files
// under `under` (see full_disk/full_disk_preload.cpp).
#pragma once

#include <filesystem>
#include <string>

namespace vekrano::testing {

// The environment to put before a command run through the shell, e.g.
//   runShell(fullDiskAfter(4096, dir.path()) + " vekrano-sql DIR .backup FILE");
// Sanitizer options of the test run are kept; the preload is allowed in front of the runtime.
std::string fullDiskAfter(long long bytes, const std::filesystem::path& under);
// The same for a disk with room for `bytes` bytes of the files directly in the folder `under`:
// writing in place costs nothing, cutting a file gives room back, as on a real disk.
std::string fullDiskWithRoom(long long bytes, const std::filesystem::path& under);

}  // namespace vekrano::testing
