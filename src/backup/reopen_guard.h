// Closes the table for the lifetime of a command and reopens it at the end, also when the
// command raises (the first error is the one reported then).
#pragma once

#include <exception>

#include "backup/backup_commands.h"

namespace vekrano::backup {

class ReopenGuard {
 public:
  explicit ReopenGuard(const TableAccess& table) : table_(table) {
    if (table_.close) table_.close();
  }
  ~ReopenGuard() noexcept(false) {
    if (!table_.reopen) return;
    if (std::uncaught_exceptions() == 0) {
      table_.reopen();
      return;
    }
    try {
      table_.reopen();
    } catch (...) {
    }
  }
  ReopenGuard(const ReopenGuard&) = delete;
  ReopenGuard& operator=(const ReopenGuard&) = delete;

 private:
  const TableAccess& table_;
};

}  // namespace vekrano::backup
