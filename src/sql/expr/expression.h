// The expression tree: the abstract node with its seven operations and the constant nodes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sql/expr_types.h"

namespace vekrano::dbase {
class TField;
}

namespace vekrano::sql {

// A node of an expression tree, evaluated against the current record of its dataset.
// Each node overrides the getter of its own type; the base class converts from it to the others
// and raises EExpression for the conversions the language does not allow.
class TExpression {
 public:
  virtual ~TExpression() = default;
  TExpression(const TExpression&) = delete;
  TExpression& operator=(const TExpression&) = delete;

  // A string as wide as the widest value the node can give (sizes result columns): by default
  // the value itself, or the widest text of the node's type when it reads the record.
  virtual std::string maxString() const;
  virtual std::string AsString() const;
  virtual double AsFloat() const;
  virtual std::int32_t AsInteger() const;
  virtual bool AsBoolean() const;
  // May raise EExpression when the node's operands do not fit its operator.
  virtual TExprType exprType() const = 0;
  // True exactly when the value as string is the empty text, unless a node knows better; only
  // a string node's text can be empty, so other nodes answer without evaluating.
  virtual bool IsNull() const;
  // The value as string, or nothing when the node is null, with one evaluation.
  virtual std::optional<std::string> stringOrNull() const;
  // The string value without a copy, valid until the source's record changes; nothing when the
  // node cannot give one (AsString then gives the value).
  virtual std::optional<std::string_view> textView() const { return std::nullopt; }

  // For a boolean node: a field of a source dataset whose text starts with `prefix` in every
  // record the node holds for, such that where it does not the node gives False without raising
  // (a LIKE with a fixed start, or an AND whose left side is one). Nothing when there is none.
  struct FieldPrefix {
    const dbase::TField* field = nullptr;
    std::string prefix;
  };
  virtual std::optional<FieldPrefix> requiredFieldPrefix() const { return std::nullopt; }

  // For a boolean node: two field nodes whose values, read as `type` (string or integer), are
  // equal and not null in every record the node holds for.
  struct FieldEquality {
    const TExpression* left = nullptr;
    const TExpression* right = nullptr;
    const dbase::TField* leftField = nullptr;  // the fields they read
    const dbase::TField* rightField = nullptr;
    TExprType type = ttString;
  };
  // Appends the equalities of two fields that the node's evaluation starts with: an AND chain
  // evaluates them first, they raise nothing, and where one fails the node gives False without
  // evaluating anything else. True when the node is nothing but such equalities, so that the
  // ones of a further AND side are evaluated after them alone.
  virtual bool leadingFieldEqualities(std::vector<FieldEquality>& /*equalities*/) const { return false; }

  // Nesting depth of the tree below and including this node.
  int depth() const { return depth_; }
  // True when the value may change from one record to the next: the node or one below it reads
  // a field or asks the application (a user function).
  bool readsRecord() const { return readsRecord_; }

 protected:
  TExpression() = default;
  // Records that `child` hangs below this node.
  void adopt(const TExpression& child);
  void markReadsRecord() { readsRecord_ = true; }

 private:
  int depth_ = 1;
  bool readsRecord_ = false;
};

// The widest text the engine assumes of a value read from a record when a node cannot tell.
inline constexpr std::size_t kWidestRecordText = 255;
// The widest texts of the other types: "-2147483648", "-1.23456789012345E-308", "False".
inline constexpr std::size_t kWidestIntegerText = 11;
inline constexpr std::size_t kWidestFloatText = 22;
inline constexpr std::size_t kWidestBooleanText = 5;

using TExprPtr = std::unique_ptr<TExpression>;
using TExprList = std::vector<TExprPtr>;

class TStringLiteral : public TExpression {
 public:
  explicit TStringLiteral(std::string value) : value_(std::move(value)) {}
  std::string AsString() const override { return value_; }
  TExprType exprType() const override { return ttString; }
  bool IsNull() const override { return value_.empty(); }

 private:
  std::string value_;
};

class TFloatLiteral : public TExpression {
 public:
  explicit TFloatLiteral(double value) : value_(value) {}
  double AsFloat() const override { return value_; }
  TExprType exprType() const override { return ttFloat; }
  bool IsNull() const override { return false; }

 private:
  double value_;
};

class TIntegerLiteral : public TExpression {
 public:
  explicit TIntegerLiteral(std::int32_t value) : value_(value) {}
  std::int32_t AsInteger() const override { return value_; }
  TExprType exprType() const override { return ttInteger; }
  bool IsNull() const override { return false; }

 private:
  std::int32_t value_;
};

class TBooleanLiteral : public TExpression {
 public:
  explicit TBooleanLiteral(bool value) : value_(value) {}
  bool AsBoolean() const override { return value_; }
  TExprType exprType() const override { return ttBoolean; }
  bool IsNull() const override { return false; }

 private:
  bool value_;
};

// A ":name" parameter: its value is fixed when the tree is built.
class TExplicitParamExpr : public TExpression {
 public:
  TExplicitParamExpr(std::string name, TExprValue value) : name_(std::move(name)), value_(std::move(value)) {}
  std::string AsString() const override;
  double AsFloat() const override;
  std::int32_t AsInteger() const override;
  bool AsBoolean() const override;
  TExprType exprType() const override { return valueType(value_); }
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
  TExprValue value_;
};

// Reads `node` as `type` (its natural getter for that type).
TExprValue readAs(const TExpression& node, TExprType type);

}  // namespace vekrano::sql
