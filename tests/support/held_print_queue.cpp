// The held queue prints to a port nobody listens on, and is stopped besides: its jobs stay in
// the server's list until cancelled.
#include "support/held_print_queue.h"

#include <chrono>
#include <sstream>
#include <thread>

#include "support/shell_command.h"

namespace vekrano::testing {
namespace {

bool serverRunning() {
  return runShell("lpstat -r 2>/dev/null").out.find("scheduler is running") != std::string::npos;
}

}  // namespace

bool prepareHeldQueue() {
  if (!serverRunning()) {
    runShell("cupsd >/dev/null 2>&1");
    for (int i = 0; i < 50 && !serverRunning(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  if (!serverRunning()) return false;
  const std::string queue = kHeldQueue;
  return runShell("lpadmin -p " + queue + " -v socket://127.0.0.1:9 -E " +
                  "-m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd >/dev/null 2>&1 && cupsdisable " + queue)
             .status == 0;
}

int heldJobs() {
  std::istringstream lines(runShell(std::string("lpstat -o ") + kHeldQueue + " 2>/dev/null").out);
  int count = 0;
  for (std::string line; std::getline(lines, line);) count += line.rfind(kHeldQueue, 0) == 0;
  return count;
}

void cancelHeldJobs() { runShell(std::string("cancel -a ") + kHeldQueue + " >/dev/null 2>&1"); }

}  // namespace vekrano::testing
