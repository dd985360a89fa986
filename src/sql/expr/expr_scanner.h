// The state the generated expression scanner and parser share with TExprParser.
#pragma once

#include <string>

#include "sql/expr/expr_builder.h"

namespace vekrano::sql {

// Position of the scanner in a NUL-terminated expression text.
struct ExprScanner {
  explicit ExprScanner(const std::string& text)
      : cursor(reinterpret_cast<const unsigned char*>(text.c_str())),
        end(cursor + text.size()),
        tokenStart(cursor),
        lineStart(cursor) {}

  // The text of the token scanned last.
  std::string token() const {
    return std::string(reinterpret_cast<const char*>(tokenStart), static_cast<std::size_t>(cursor - tokenStart));
  }
  // 0-based column of the last token's first character.
  int column() const { return static_cast<int>(tokenStart - lineStart); }

  const unsigned char* cursor;
  const unsigned char* end;
  const unsigned char* tokenStart;
  const unsigned char* lineStart;
  int line = 1;
};

// Everything one parse works with.
struct ExprDriver {
  ExprScanner scanner;
  const ExprBuilder& builder;
  TExprPtr result;
  std::string errorText;
};

}  // namespace vekrano::sql
