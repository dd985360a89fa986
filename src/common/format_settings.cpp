// The process-wide format settings.
#include "common/format_settings.h"

namespace vekrano::common {

FormatSettings& formatSettings() {
  static FormatSettings settings;
  return settings;
}

SeparatorGuard::SeparatorGuard(char decimalSeparator, char thousandSeparator)
    : savedDecimal_(formatSettings().decimalSeparator), savedThousand_(formatSettings().thousandSeparator) {
  formatSettings().decimalSeparator = decimalSeparator;
  formatSettings().thousandSeparator = thousandSeparator;
}

SeparatorGuard::~SeparatorGuard() {
  formatSettings().decimalSeparator = savedDecimal_;
  formatSettings().thousandSeparator = savedThousand_;
}

}  // namespace vekrano::common
