// The wait cursor hook.
#include "common/wait_cursor.h"

#include <utility>

namespace vekrano::common {
namespace {
WaitCursorHook& hook() {
  static WaitCursorHook installed;
  return installed;
}
}  // namespace

WaitCursorHook setWaitCursorHook(WaitCursorHook h) { return std::exchange(hook(), std::move(h)); }

WaitCursor::WaitCursor(bool enabled) {
  if (!enabled || !hook().show) return;
  hook().show();
  // Kept so that the cursor is restored by the hook that showed it, even if another is installed
  // meanwhile.
  restore_ = hook().restore;
}

WaitCursor::~WaitCursor() {
  if (restore_) restore_();
}

}  // namespace vekrano::common
