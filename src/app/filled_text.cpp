#include "app/filled_text.h"

namespace vekrano::app {

QString fillIn(const QString& text, std::initializer_list<QString> values) {
  QString filled;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size()) {
      const int rank = text[i + 1].digitValue();
      if (rank >= 1 && rank <= static_cast<int>(values.size())) {
        filled += values.begin()[rank - 1];
        ++i;
        continue;
      }
    }
    filled += text[i];
  }
  return filled;
}

}  // namespace vekrano::app
