// The hook through which long engine work lets the user interface process pending events.
#pragma once

#include <functional>

namespace vekrano::common {

// Installs the hook (the application passes QCoreApplication::processEvents); an empty
// function removes it. Returns the previous hook.
std::function<void()> setProcessEventsHook(std::function<void()> hook);
// Runs the hook, if any.
void processEvents();

}  // namespace vekrano::common
