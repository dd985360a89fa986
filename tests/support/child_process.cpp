#include "support/child_process.h"

#include <sys/wait.h>
#include <unistd.h>

namespace vekrano::testing {

int runChild(const std::function<bool()>& work) {
  const pid_t pid = fork();
  if (pid == 0) {
    bool ok = false;
    try {
      ok = work();
    } catch (...) {
    }
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace vekrano::testing
