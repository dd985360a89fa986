// The held queue prints to a port nobody listens on, and is stopped besides: its jobs stay in
// the server's list until cancelled.
#include "support/held_print_queue.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "support/shell_command.h"

namespace vekrano::testing {
namespace {

bool serverRunning() { return runShell("lpstat -r 2>/dev/null").out.find("scheduler is running") != std::string::npos; }

void removeHeldQueue() { runShell("lpadmin -x " + heldQueue() + " >/dev/null 2>&1"); }

}  // namespace

std::string heldQueue() { return "VekranoHeldQueue" + std::to_string(getpid()); }

bool prepareHeldQueue() {
  if (!serverRunning()) {
    runShell("cupsd >/dev/null 2>&1");
    for (int i = 0; i < 50 && !serverRunning(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  if (!serverRunning()) return false;
  const std::string queue = heldQueue();
  if (runShell("lpadmin -p " + queue + " -v socket://127.0.0.1:9 -E " +
               "-m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd >/dev/null 2>&1 && cupsdisable " + queue)
          .status != 0) {
    return false;
  }
  static const bool removedAtExit = std::atexit(removeHeldQueue) == 0;
  return removedAtExit;
}

int heldJobs() {
  std::istringstream lines(runShell("lpstat -o " + heldQueue() + " 2>/dev/null").out);
  int count = 0;
  for (std::string line; std::getline(lines, line);) count += line.rfind(heldQueue(), 0) == 0;
  return count;
}

void cancelHeldJobs() { runShell("cancel -a " + heldQueue() + " >/dev/null 2>&1"); }

}  // namespace vekrano::testing
