// Helpers of the tests of facts kept across processes: a cache folder of the test's own, the
// wait after which files count as settled, and another program's write that hides itself.
#pragma once

#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace vekrano::testing {

// Points XDG_CACHE_HOME at a fresh folder for the object's life, then puts it back.
class ScopedCacheFolder {
 public:
  ScopedCacheFolder();
  ~ScopedCacheFolder();
  ScopedCacheFolder(const ScopedCacheFolder&) = delete;
  ScopedCacheFolder& operator=(const ScopedCacheFolder&) = delete;
  // The folder kept facts go to.
  std::string factsFolder() const { return dir_.path().string() + "/vekrano"; }

 private:
  TempDir dir_;
  std::optional<std::string> previous_;
};

// Sleeps until every file written so far is old enough for facts about it to be kept.
void waitUntilFilesSettle();

// Overwrites `bytes` at `offset` in the file as another program could, then sets its access and
// modification times back to what they were: only the change time (and the content) tells.
void rewriteKeepingTimes(const std::string& path, long offset, const std::string& bytes);

// The modification time of the file in nanoseconds; -1 when it cannot be read.
long long modifiedNs(const std::string& path);

}  // namespace vekrano::testing
