// The pace at which long work shows its progress and lets the interface process pending events:
// often enough for the window to paint and answer, seldom enough to cost nothing beside the work.
#pragma once

#include <chrono>

namespace vekrano::common {

// About twenty times a second.
inline constexpr std::chrono::milliseconds kProgressInterval{50};

class ProgressPace {
 public:
  explicit ProgressPace(std::chrono::milliseconds interval = kProgressInterval) : interval_(interval) {}

  // True at the first call, then once `interval` has passed since the last call that was true.
  bool Due();

 private:
  using Clock = std::chrono::steady_clock;
  std::chrono::milliseconds interval_;
  Clock::time_point last_{};
  bool started_ = false;
};

}  // namespace vekrano::common
