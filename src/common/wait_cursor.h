// The hook through which a long engine run shows the user interface's busy cursor. The engines
// know no toolkit: the program installs the hook, tests install a counting one.
#pragma once

#include <functional>

namespace vekrano::common {

// What showing and restoring the busy cursor mean to the user interface. Either may be empty.
struct WaitCursorHook {
  std::function<void()> show;
  std::function<void()> restore;
};

// Installs the hook (an empty one removes it) and returns the previous one.
WaitCursorHook setWaitCursorHook(WaitCursorHook hook);

// Shows the busy cursor for its lifetime, also when the work it guards raises; does nothing when
// `enabled` is false or no hook is installed. Nested guards show and restore in pairs.
class WaitCursor {
 public:
  explicit WaitCursor(bool enabled = true);
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  // The hook's restore as it was when the cursor was shown; empty when nothing was shown.
  std::function<void()> restore_;
};

}  // namespace vekrano::common
