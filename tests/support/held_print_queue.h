// A queue of the local print server that accepts print jobs and keeps them unprinted: runs "on
// paper" in tests reach a real printer without spending paper or leaving files.
#pragma once

#include <string>

namespace vekrano::testing {

// The held queue's name: one queue per test process, so that tests running side by side never
// count or cancel each other's jobs.
std::string heldQueue();

// Starts the print server when it is not running and creates the queue, stopped so that its
// jobs wait, and removed when the process ends; false when no print server can be had here.
bool prepareHeldQueue();
// The number of jobs waiting on the queue.
int heldJobs();
// Cancels every job waiting on the queue.
void cancelHeldJobs();

}  // namespace vekrano::testing
