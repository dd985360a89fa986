// Execution of UPDATE, DELETE and INSERT through the source dataset's own operations.
#include <optional>
#include <set>
#include <variant>

#include "common/code_page.h"
#include "common/scope_exit.h"
#include "sql/exec/statement_run.h"
#include "sql/errors.h"
#include "sql/expr_messages.h"
#include "sql/query_messages.h"

namespace vekrano::sql {
namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  throw ESqlQueryError(common::formatText(messages::kNotHexDigit, {std::string_view(&c, 1)}));
}

// Text read as hexadecimal digit pairs; a last odd digit is ignored.
std::string hexBytes(const std::string& text) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    bytes += static_cast<char>(hexValue(text[i]) * 16 + hexValue(text[i + 1]));
  }
  return bytes;
}

// The setter a field's data type calls for.
enum class FieldSetter { Float, Integer, Boolean, Binary, Text };

FieldSetter setterFor(const dbase::TField& field) {
  using dbase::TFieldType;
  if (dbase::isHeldAsDouble(field.DataType())) return FieldSetter::Float;
  switch (field.DataType()) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftWord:
    case TFieldType::ftAutoInc:
    case TFieldType::ftLargeint: return FieldSetter::Integer;
    case TFieldType::ftBoolean: return FieldSetter::Boolean;
    case TFieldType::ftMemo:
    case TFieldType::ftBlob:
    case TFieldType::ftBytes: return FieldSetter::Binary;
    default: return FieldSetter::Text;
  }
}

void assignValue(dbase::TField& field, const TExpression& value, bool binaryAsHex) {
  switch (setterFor(field)) {
    case FieldSetter::Float: field.setAsFloat(value.AsFloat()); return;
    case FieldSetter::Integer: field.setAsInteger(value.AsInteger()); return;
    case FieldSetter::Boolean: field.setAsBoolean(value.AsBoolean()); return;
    case FieldSetter::Binary:
      field.setAsString(binaryAsHex ? hexBytes(value.AsString()) : value.AsString());
      return;
    case FieldSetter::Text: field.setAsString(value.AsString()); return;
  }
}

// A literal the field's setter takes as it is, the value its expression would give: a whole
// number into a number field, a text into a text field. Nothing for any other pairing.
std::optional<TPlainLiteral> literalFor(const dbase::TField& field, const std::string& text) {
  std::optional<TPlainLiteral> literal = plainLiteral(text);
  if (!literal) return std::nullopt;
  const FieldSetter setter = setterFor(field);
  const bool isNumber = std::holds_alternative<std::int32_t>(*literal);
  if (isNumber ? setter == FieldSetter::Integer || setter == FieldSetter::Float : setter == FieldSetter::Text) {
    return literal;
  }
  return std::nullopt;
}

// An empty text is null, as its expression would be: the field is left as it is.
void assignLiteral(dbase::TField& field, const TPlainLiteral& literal) {
  if (const auto* text = std::get_if<std::string_view>(&literal)) {
    if (!text->empty()) field.setAsString(std::string(*text));
  } else if (setterFor(field) == FieldSetter::Float) {
    field.setAsFloat(std::get<std::int32_t>(literal));
  } else {
    field.setAsInteger(std::get<std::int32_t>(literal));
  }
}

}  // namespace

void assignFieldValue(dbase::TField& field, const TExpression& value) { assignValue(field, value, false); }

void TStatementRun::executeChange(int& changedRowCount) {
  switch (analizer_.statementKind) {
    case TStatementKind::Update: executeUpdate(changedRowCount); break;
    case TStatementKind::Delete: executeDelete(changedRowCount); break;
    case TStatementKind::Insert: executeInsert(changedRowCount); break;
    default: break;
  }
}

void TStatementRun::executeUpdate(int& changedRowCount) {
  bindTables();
  resolveStatementTexts();
  runSubqueries();
  struct Assignment {
    dbase::TField* field;
    TExprPtr value;  // null for SET field = NULL
  };
  std::vector<Assignment> assignments;
  for (const TUpdateItem& item : analizer_.updates) {
    dbase::TField* field = nullptr;
    for (const TBoundTable& table : tables_) {
      if ((field = table.dataSet->FindField(item.fieldName)) != nullptr) break;
    }
    if (field == nullptr) throw ESqlQueryError(common::formatText(messages::kFieldMissing, {item.fieldName}));
    assignments.push_back(Assignment{field, nullptr});
  }
  for (std::size_t i = 0; i < assignments.size(); ++i) {
    const std::string& text = analizer_.updates[i].expression;
    if (!text.empty()) assignments[i].value = Parse(text);
  }
  if (!analizer_.whereText.empty()) {
    where_ = Parse(analizer_.whereText);
    if (where_->exprType() != ttBoolean) throw ESqlQueryError(messages::kWhereNotBoolean);
  }
  dbase::TDataSet& source = *tables_.front().dataSet;
  // A posted record may move ahead of the scan in the source's order; it is changed only once.
  std::set<dbase::TBookmark> updated;
  Scan([&] {
    if (where_ && !where_->AsBoolean()) return true;
    dbase::TBookmark bookmark = source.GetBookmark();
    if (!updated.insert(bookmark).second) return true;
    source.Edit();
    // A value or a post that fails (a refused record lock) must not leave the edit pending,
    // or the next statement would post it.
    const common::OnUnwind canceled([&] { source.Cancel(); });
    for (const Assignment& assignment : assignments) {
      if (!assignment.value) {
        assignment.field->Clear();
      } else if (!assignment.value->IsNull()) {
        assignFieldValue(*assignment.field, *assignment.value);
      }
    }
    source.Post();
    ++changedRowCount;
    return true;
  });
}

void TStatementRun::executeDelete(int& changedRowCount) {
  bindTables();
  resolveStatementTexts();
  runSubqueries();
  if (!analizer_.whereText.empty()) {
    where_ = Parse(analizer_.whereText);
    if (where_->exprType() != ttBoolean) throw ESqlQueryError(messages::kWhereNotBoolean);
  }
  dbase::TDataSet& source = *tables_.front().dataSet;
  Scan([&] {
    if (where_ && !where_->AsBoolean()) return true;
    source.Delete();
    ++changedRowCount;
    return false;
  });
}

void TStatementRun::executeInsert(int& changedRowCount) {
  bindTables();
  resolveStatementTexts();
  const TInsertItem& item = analizer_.inserts.front();
  dbase::TDataSet& target = *tables_.front().dataSet;
  std::vector<dbase::TField*> fields;
  fields.reserve(item.fieldNames.size());
  for (const std::string& name : item.fieldNames) {
    fields.push_back(target.FindField(name));
    if (fields.back() == nullptr) throw ESqlQueryError(common::formatText(messages::kInsertFieldMissing, {name}));
  }
  // Most values are one literal: those their field takes as they are need no expression built.
  std::vector<std::optional<TPlainLiteral>> literals(item.values.size());
  std::vector<TExprPtr> values(item.values.size());
  for (std::size_t i = 0; i < item.values.size(); ++i) {
    const std::string& text = item.values[i];
    if (common::sameAnsiText(text, "NULL")) continue;
    if (i < fields.size() && (literals[i] = literalFor(*fields[i], text))) continue;
    values[i] = Parse(text);
  }
  target.Insert();
  const common::OnUnwind canceled([&] { target.Cancel(); });
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i >= values.size()) {
      throw ESqlQueryError(common::formatText(messages::kListIndex, {std::to_string(i)}));
    }
    if (literals[i]) {
      assignLiteral(*fields[i], *literals[i]);
    } else if (values[i] && !values[i]->IsNull()) {
      assignValue(*fields[i], *values[i], true);
    }
  }
  target.Post();
  ++changedRowCount;
}

}  // namespace vekrano::sql
