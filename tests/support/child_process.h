// Work run in a forked child process, for tests of what several processes do to one table.
#pragma once

#include <functional>

namespace vekrano::testing {

// Runs `work` in a child process that exits with 0 when it returned true, 1 when it returned false
// or threw. Returns that exit status, -1 when the child did not exit normally.
int runChild(const std::function<bool()>& work);

}  // namespace vekrano::testing
