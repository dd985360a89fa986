// Which fields of a data line give the record's barcode, texts and quantity, and the record a
// line gives.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "records/record_statements.h"

namespace vekrano::import {

// Field numbers from 1 to 10; kNoField (text 2 and quantity only) takes no field.
inline constexpr int kNoField = 0;

struct FieldMapping {
  int cb = 1;
  int lib1 = 2;
  int lib2 = 3;
  int quantite = kNoField;
};

// The integer `text` holds (leading blanks, an optional sign, decimal digits, nothing after);
// nothing for any other text, the empty one included. Values beyond the int range are clamped,
// so that they still fall outside every quantity the table holds.
std::optional<int> integerOf(const std::string& text);

// The record a data line gives, or why the line cannot be stored.
struct LineRecord {
  std::optional<records::BarcodeRecord> record;
  std::optional<std::string> refusal;  // ANSI; a character refused (see checkEntry)
  std::string replacements;  // ANSI; the characters written another way, or empty
};

// The record a data line (UTF-8 fields) gives, numbered 0 and topped "O": the mapped fields
// (empty when the line lacks them) through records::checkEntry, so the barcode is in capitals;
// in plain reading every double quote is removed from the texts. The quantity is 1 unless its
// field holds an integer. No record when that integer does not fit the table's quantity field,
// or when checkEntry refuses a character.
LineRecord recordFromFields(const std::vector<std::string>& fields, const FieldMapping& mapping, bool quoted);

}  // namespace vekrano::import
