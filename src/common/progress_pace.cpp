// The progress pace.
#include "common/progress_pace.h"

namespace vekrano::common {

bool ProgressPace::Due() {
  const Clock::time_point now = Clock::now();
  if (started_ && now - last_ < interval_) return false;
  started_ = true;
  last_ = now;
  return true;
}

}  // namespace vekrano::common
