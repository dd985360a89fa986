// The order parts of the list statement and the title click rule.
#include "list/sort_state.h"

#include <algorithm>
#include <cctype>

#include "records/article_fields.h"

namespace vekrano::list {

namespace {

struct OrderPieces {
  const char* field;
  const char* head;
  const char* tail;
};

// By sort column; the blanks are those the list statement has always had.
constexpr OrderPieces kPieces[] = {
    {records::kNumField, "order by num", ""},
    {records::kCbField, " order by cb ", ""},
    {records::kLib1Field, " order by lib1 ", ""},
    {records::kLib2Field, " order by lib2 ", ""},
    {records::kQuantiteField, " order by quantite ", " , cb"},
    {records::kToppField, " order by topp ", " , cb "},
};

std::string trimmedLower(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  std::string name(text.substr(first, last - first + 1));
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

}  // namespace

SortState& sortState() {
  static SortState state;
  return state;
}

SortColumn sortColumnOfField(std::string_view fieldName) {
  const std::string name = trimmedLower(fieldName);
  for (int column = 1; column <= 5; ++column) {
    if (name == kPieces[column].field) return static_cast<SortColumn>(column);
  }
  return SortColumn::None;
}

bool ClickTitle(SortState& state, std::string_view fieldName) {
  const SortColumn clicked = sortColumnOfField(fieldName);
  if (clicked == SortColumn::None) return false;
  state.descending = clicked == state.column ? !state.descending : false;
  state.column = clicked;
  return true;
}

std::string listOrderPart(const SortState& state) {
  const OrderPieces& pieces = kPieces[static_cast<int>(state.column)];
  // The record number order is never descending.
  const bool descending = state.descending && state.column != SortColumn::None;
  return std::string(pieces.head) + (descending ? "desc" : "") + pieces.tail;
}

}  // namespace vekrano::list
