// Query parameters.
#include "sql/query/params.h"

#include <cctype>

#include "common/code_page.h"
#include "sql/errors.h"
#include "sql/query_messages.h"

namespace vekrano::sql {
namespace {

bool sameName(const std::string& a, const std::string& b) {
  return common::ansiUpper(a) == common::ansiUpper(b);
}

bool isNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' ||
         static_cast<unsigned char>(c) >= 128;
}

// The names of the ":name" markers of `sql`, in text order.
std::vector<std::string> markerNames(const std::string& sql) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < sql.size();) {
    const char c = sql[i];
    if (c == '"' || c == '\'') {
      const std::size_t close = sql.find(c, i + 1);
      i = close == std::string::npos ? sql.size() : close + 1;
    } else if (sql.compare(i, 2, "/*") == 0) {
      const std::size_t close = sql.find("*/", i + 2);
      i = close == std::string::npos ? sql.size() : close + 2;
    } else if (c == ':' && i + 1 < sql.size() && isNameChar(sql[i + 1])) {
      std::size_t end = i + 1;
      while (end < sql.size() && isNameChar(sql[end])) ++end;
      names.push_back(sql.substr(i + 1, end - i - 1));
      i = end;
    } else {
      ++i;
    }
  }
  return names;
}

}  // namespace

TParam* TParams::FindParam(const std::string& name) {
  for (TParam& param : items_) {
    if (sameName(param.Name, name)) return &param;
  }
  return nullptr;
}

TParam& TParams::ParamByName(const std::string& name) {
  if (TParam* param = FindParam(name)) return *param;
  items_.push_back(TParam{name, std::nullopt});
  return items_.back();
}

void TParams::ParseSQL(const std::string& sql) {
  std::vector<TParam> parsed;
  for (const std::string& name : markerNames(sql)) {
    bool listed = false;
    for (const TParam& param : parsed) listed = listed || sameName(param.Name, name);
    if (listed) continue;
    const TParam* old = FindParam(name);
    parsed.push_back(TParam{name, old != nullptr ? old->Value : std::nullopt});
  }
  items_ = std::move(parsed);
}

void TParamsAsFields::Add(const std::string& paramName, const std::string& fieldName) {
  for (const TParamAsFieldItem& item : items_) {
    if (sameName(item.ParamName, paramName)) throw ESqlQueryError(messages::kParamsAsFieldsDuplicate);
  }
  items_.push_back(TParamAsFieldItem{paramName, fieldName});
}

}  // namespace vekrano::sql
