// Field references inside expression texts.
#include "sql/program/field_references.h"

#include <cctype>

#include "sql/program/analyzer.h"

namespace vekrano::sql {
namespace {

bool isNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' ||
         static_cast<unsigned char>(c) >= 128;
}

}  // namespace

std::string rewriteReferences(const std::string& text, const TReferenceRewrite& field,
                              const TReferenceRewrite& parameter) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == kFieldMarker && i + 1 < text.size() && text[i + 1] == '"') {
      const std::size_t close = text.find('"', i + 2);
      if (close == std::string::npos) break;
      out += field(text.substr(i + 2, close - i - 2));
      i = close + 1;
    } else if (c == '"' || c == '\'') {
      const std::size_t close = text.find(c, i + 1);
      const std::size_t end = close == std::string::npos ? text.size() : close + 1;
      out.append(text, i, end - i);
      i = end;
    } else if (c == ':' && i + 1 < text.size() && isNameChar(text[i + 1])) {
      std::size_t end = i + 1;
      while (end < text.size() && isNameChar(text[end])) ++end;
      out += parameter(text.substr(i + 1, end - i - 1));
      i = end;
    } else {
      out += c;
      ++i;
    }
  }
  if (i < text.size()) out.append(text, i, std::string::npos);
  return out;
}

void forEachReference(const std::string& text, const std::function<void(const std::string& name)>& visit) {
  rewriteReferences(
      text,
      [&](const std::string& name) {
        visit(name);
        return std::string();
      },
      [](const std::string&) { return std::string(); });
}

bool isLoneReference(const std::string& text) {
  return text.size() >= 3 && text[0] == kFieldMarker && text[1] == '"' && text.back() == '"' &&
         text.find('"', 2) == text.size() - 1;
}

std::size_t qualifierDot(std::string_view name) {
  bool inBrackets = false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '[') inBrackets = true;
    if (name[i] == ']') inBrackets = false;
    if (name[i] == '.' && !inBrackets) return i;
  }
  return std::string::npos;
}

std::string withoutBrackets(std::string_view name) {
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
  return std::string(name);
}

}  // namespace vekrano::sql
