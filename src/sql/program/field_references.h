// Field references inside expression texts: the marker 0x0C, then the name between double
// quotes, "table.field" when qualified, either part possibly in brackets.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vekrano::sql {

using TReferenceRewrite = std::function<std::string(const std::string& name)>;

// Calls `field` for every field reference and `parameter` for every ":name" parameter outside
// string literals, in text order, and puts their answers in their place.
std::string rewriteReferences(const std::string& text, const TReferenceRewrite& field,
                              const TReferenceRewrite& parameter);

// Calls `visit` with the name of every field reference outside string literals, in text order.
void forEachReference(const std::string& text, const std::function<void(const std::string& name)>& visit);

// True when `text` is one field reference and nothing else.
bool isLoneReference(std::string_view text);
// The name inside such a text. REQUIRES: isLoneReference(text).
inline std::string loneReferenceName(std::string_view text) { return std::string(text.substr(2, text.size() - 3)); }

// The position of the "." between qualifier and field, outside brackets; npos when none.
std::size_t qualifierDot(std::string_view name);

// The name without the brackets around the whole of it.
std::string withoutBrackets(std::string_view name);

}  // namespace vekrano::sql
