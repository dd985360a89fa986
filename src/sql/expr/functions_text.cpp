// Text functions: case, substrings, positions, lengths and trimming.
#include "sql/expr/functions.h"

#include <algorithm>

#include "common/code_page.h"
#include "sql/errors.h"
#include "sql/expr_messages.h"

namespace vekrano::sql {
namespace {

bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string trimmed(std::string text, bool leading, bool trailing) {
  if (trailing) {
    while (!text.empty() && isBlankOrControl(text.back())) text.pop_back();
  }
  if (leading) {
    const auto first = std::find_if_not(text.begin(), text.end(), isBlankOrControl);
    text.erase(text.begin(), first);
  }
  return text;
}

// `count` characters from the 1-based `start`, clipped to the text.
std::string copyOf(const std::string& text, std::int64_t start, std::int64_t count) {
  start = std::max<std::int64_t>(start, 1);
  if (count <= 0 || start > static_cast<std::int64_t>(text.size())) return {};
  return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count));
}

std::size_t clippedCount(std::int32_t n, std::size_t size) {
  return n <= 0 ? 0 : std::min(static_cast<std::size_t>(n), size);
}

// The widest text of a copy of params[0] whose count, params[countAt], is the same on every
// record; a count that fails to evaluate fails when the value is read, not while sizing.
std::string widestCopy(const TExprList& params, std::size_t countAt) {
  if (params.empty()) return {};
  std::string widest = params[0]->maxString();
  if (params.size() != countAt + 1 || params[countAt]->readsRecord()) return widest;
  try {
    const TExpression& count = *params[countAt];
    if (count.exprType() == ttInteger || count.exprType() == ttBoolean) {
      widest.resize(clippedCount(count.AsInteger(), widest.size()));
    }
  } catch (const std::exception&) {
  }
  return widest;
}

}  // namespace

TStringExpression::TStringExpression(std::string name, TExprList params, Kind kind)
    : TFunction(std::move(name), std::move(params)), kind_(kind) {}

TExprType TStringExpression::exprType() const {
  return kind_ == Kind::Pos || kind_ == Kind::Length ? ttInteger : ttString;
}

std::string TStringExpression::maxString() const {
  if (exprType() != ttString || Params().empty()) return TExpression::maxString();
  return kind_ == Kind::Copy ? widestCopy(Params(), 2) : param(0).maxString();
}

std::string TStringExpression::AsString() const {
  if (exprType() != ttString) return TExpression::AsString();
  if (kind_ == Kind::Copy) {
    requireArgs({Arg::String, Arg::Integer, Arg::Integer});
    return copyOf(param(0).AsString(), param(1).AsInteger(), param(2).AsInteger());
  }
  requireArgs({Arg::String});
  std::string text = param(0).AsString();
  switch (kind_) {
    case Kind::Upper: return common::ansiUpper(text);
    case Kind::Lower: return common::ansiLower(text);
    case Kind::LTrim: return trimmed(std::move(text), true, false);
    case Kind::RTrim: return trimmed(std::move(text), false, true);
    default: return trimmed(std::move(text), true, true);
  }
}

std::int32_t TStringExpression::AsInteger() const {
  if (exprType() != ttInteger) return TExpression::AsInteger();
  if (kind_ == Kind::Length) {
    requireArgs({Arg::String});
    return static_cast<std::int32_t>(param(0).AsString().size());
  }
  requireArgs({Arg::String, Arg::String});
  const std::string sub = param(0).AsString();
  if (sub.empty()) return 0;
  const std::size_t at = param(1).AsString().find(sub);
  return at == std::string::npos ? 0 : static_cast<std::int32_t>(at + 1);
}

std::string TLeftExpr::maxString() const { return widestCopy(Params(), 1); }

std::string TLeftExpr::AsString() const {
  requireArgs({Arg::String, Arg::Integer});
  const std::string text = param(0).AsString();
  return text.substr(0, clippedCount(param(1).AsInteger(), text.size()));
}

std::string TRightExpr::maxString() const { return widestCopy(Params(), 1); }

std::string TRightExpr::AsString() const {
  requireArgs({Arg::String, Arg::Integer});
  const std::string text = param(0).AsString();
  return text.substr(text.size() - clippedCount(param(1).AsInteger(), text.size()));
}

TASCIIExpr::TASCIIExpr(std::string name, TExprList params) : TFunction(std::move(name), std::move(params)) {
  if (Params().size() != 1 || param(0).exprType() != ttString) throw EExpression(messages::kAsciiArgument);
}

std::int32_t TASCIIExpr::AsInteger() const {
  const std::string text = param(0).AsString();
  return text.empty() ? 0 : static_cast<unsigned char>(text.front());
}

std::string TSQLTrimExpr::maxString() const { return Params().size() < 2 ? std::string() : param(1).maxString(); }

std::string TSQLTrimExpr::AsString() const {
  requireArgs({Arg::String, Arg::String, Arg::Integer});
  const std::string ch = param(0).AsString();
  if (ch.size() != 1) throw EExpression(messages::kTrimCharLength);
  const std::int32_t ends = param(2).AsInteger();
  std::string text = param(1).AsString();
  if (ends == 1 || ends == 2) {
    while (!text.empty() && text.back() == ch.front()) text.pop_back();
  }
  if (ends == 0 || ends == 2)
    text.erase(
        0, text.find_first_not_of(ch.front()) == std::string::npos ? text.size() : text.find_first_not_of(ch.front()));
  return text;
}

}  // namespace vekrano::sql
