// The node that reads a field of a source dataset's current record.
#pragma once

#include "dbase/dataset/field.h"
#include "sql/expr/expression.h"

namespace vekrano::sql {

// The expression type of a field type: small integer, integer, word, auto-increment -> Integer;
// boolean -> Boolean; float, currency, BCD, FMT BCD, date, time, date-time, large integer ->
// Float; blob and bytes -> Integer (read as the empty text); every other type -> String.
TExprType fieldExprType(dbase::TFieldType type);

class TFieldExpr : public TExpression {
 public:
  // The field must outlive the node.
  explicit TFieldExpr(dbase::TField& field);
  // String fields: "X" repeated to the field's size (10 for memo fields); integer fields of a
  // given width (the sign included) as wide as that width.
  std::string maxString() const override;
  std::string AsString() const override;
  double AsFloat() const override;
  std::int32_t AsInteger() const override;
  bool AsBoolean() const override;
  TExprType exprType() const override { return type_; }
  bool IsNull() const override { return field_.IsNull(); }
  std::optional<std::string> stringOrNull() const override;
  std::optional<std::string_view> textView() const override;

  dbase::TField& Field() const { return field_; }

 private:
  bool isBinary() const;

  dbase::TField& field_;
  TExprType type_;
};

}  // namespace vekrano::sql
