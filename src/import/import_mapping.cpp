// From a data line's fields to a barcode record.
#include "import/import_mapping.h"

#include <algorithm>
#include <charconv>
#include <climits>

#include "import/csv_source.h"
#include "records/article_fields.h"
#include "records/entry_check.h"

namespace vekrano::import {

namespace {

std::string fieldText(const std::vector<std::string>& fields, int number, bool quoted) {
  if (number < 1 || number > static_cast<int>(fields.size())) return {};
  std::string text = fields[number - 1];
  if (!quoted) text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
  return text;
}

}  // namespace

std::optional<int> integerOf(const std::string& text) {
  std::size_t at = text.find_first_not_of(' ');
  if (at == std::string::npos) return std::nullopt;
  bool negative = false;
  if (text[at] == '+' || text[at] == '-') negative = text[at++] == '-';
  if (at >= text.size()) return std::nullopt;
  for (std::size_t i = at; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  }
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range || value > INT_MAX) return negative ? INT_MIN : INT_MAX;
  return static_cast<int>(negative ? -value : value);
}

LineRecord recordFromFields(const std::vector<std::string>& fields, const FieldMapping& mapping, bool quoted) {
  LineRecord line;
  const records::CheckedEntry entry =
      records::checkEntry({fieldText(fields, mapping.cb, quoted), fieldText(fields, mapping.lib1, quoted),
                           fieldText(fields, mapping.lib2, quoted)});
  if (entry.refusal) {
    line.refusal = entry.refusal;
    return line;
  }
  line.replacements = entry.replacements;
  records::BarcodeRecord record;
  record.cb = entry.stored.cb;
  record.lib1 = entry.stored.lib1;
  record.lib2 = entry.stored.lib2;
  record.topp = records::kTopped;
  if (mapping.quantite != kNoField) {
    const std::optional<int> quantity = integerOf(
        fields.size() >= static_cast<std::size_t>(mapping.quantite) ? fields[mapping.quantite - 1] : std::string());
    if (quantity) record.quantite = *quantity;
  }
  if (record.quantite >= records::kMinQuantity && record.quantite <= records::kMaxQuantity) {
    line.record = record;
  }
  return line;
}

}  // namespace vekrano::import
