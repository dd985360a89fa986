// The parameters of a query: values for ":name" markers, and parameter names that stand for
// field names.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sql/expr_types.h"

namespace vekrano::sql {

struct TParam {
  std::string Name;
  std::optional<TExprValue> Value;  // nothing until assigned
};

class TParams {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // REQUIRES: 0 <= index < Count().
  TParam& items(int index) { return items_[static_cast<std::size_t>(index)]; }
  // The parameter of that name (without regard to case); null when none.
  TParam* findParam(const std::string& name);
  void Clear() { items_.clear(); }
  // The parameters become the ":name" markers of `sql` (outside string literals and comments),
  // in text order, keeping the values of names that remain.
  void parseSQL(const std::string& sql);

 private:
  std::vector<TParam> items_;
};

struct TParamAsFieldItem {
  std::string ParamName;
  std::string FieldName;
};

class TParamsAsFields {
 public:
  // Raises ESqlQueryError "ParamsAsFields: duplicate name" when the parameter name (without
  // regard to case) is already listed.
  void Add(const std::string& paramName, const std::string& fieldName);
  const std::vector<TParamAsFieldItem>& items() const { return items_; }
  void Clear() { items_.clear(); }

 private:
  std::vector<TParamAsFieldItem> items_;
};

}  // namespace vekrano::sql
