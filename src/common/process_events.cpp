// The process-events hook.
#include "common/process_events.h"

#include <utility>

namespace vekrano::common {
namespace {
std::function<void()>& hook() {
  static std::function<void()> installed;
  return installed;
}
}  // namespace

std::function<void()> setProcessEventsHook(std::function<void()> h) { return std::exchange(hook(), std::move(h)); }

void processEvents() {
  if (hook()) hook()();
}

}  // namespace vekrano::common
