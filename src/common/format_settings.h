// The process-wide number and date formats: filled from the system locale by the application at
// start, set explicitly by tests, and switched temporarily by the SQL engine during a statement.
#pragma once

#include <string>

namespace vekrano::common {

struct FormatSettings {
  // Short date format in the platform's pattern letters, e.g. "dd/MM/yyyy".
  std::string shortDateFormat = "dd/MM/yyyy";
  char dateSeparator = '/';
  char decimalSeparator = ',';
  char thousandSeparator = ' ';
};

// The one settings object of the process.
FormatSettings& formatSettings();

// Restores the separators it found when it goes out of scope, whatever ends the scope.
class SeparatorGuard {
 public:
  SeparatorGuard(char decimalSeparator, char thousandSeparator);
  ~SeparatorGuard();
  SeparatorGuard(const SeparatorGuard&) = delete;
  SeparatorGuard& operator=(const SeparatorGuard&) = delete;

 private:
  char savedDecimal_;
  char savedThousand_;
};

}  // namespace vekrano::common
