// The symbol's width is (16 n + 31) narrow elements for n characters, so the narrow element that
// fills a room is found directly.
#include "printing/symbol_fit.h"

#include <algorithm>

#include "printing/code39.h"

namespace vekrano::printing {
namespace {

constexpr int kNarrowWidthsPerCharacter = 16;
constexpr int kNarrowWidthsOfStartAndStop = 31;

int narrowWidths(std::string_view value) {
  return kNarrowWidthsPerCharacter * static_cast<int>(value.size()) + kNarrowWidthsOfStartAndStop;
}

// The room of the tightest position: the layouts' positions differ by a few tenths.
double narrowestRoom(const TLabelLayout& layout) {
  double room = layout.pageWidthMm();
  for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
    room = std::min(room, labelRectangle(layout, p).right - layout.positions[p - 1].barLeft);
  }
  return room;
}

}  // namespace

double code39WidthMm(std::string_view value, double narrowMm) { return narrowWidths(value) * narrowMm; }

SymbolFit fitCode39(double roomMm, std::string_view value) {
  if (code39Encodable(value).size() != value.size()) return {};
  const double forSymbol = roomMm - kQuietZoneMm;
  if (code39WidthMm(value, kCode39NarrowMm) <= forSymbol) return {kCode39NarrowMm};
  const double narrow = forSymbol / narrowWidths(value);
  if (narrow < kCode39NarrowestMm) return {};
  return {narrow};
}

SymbolFit fitAtPosition(const TLabelLayout& layout, int position, std::string_view value) {
  return fitCode39(labelRectangle(layout, position).right - layout.positions[position - 1].barLeft, value);
}

Unprintable unprintableOn(const TLabelLayout& layout, std::string_view value) {
  if (code39Encodable(value).size() != value.size()) return Unprintable::Character;
  return fitCode39(narrowestRoom(layout), value).fits() ? Unprintable::No : Unprintable::Length;
}

}  // namespace vekrano::printing
