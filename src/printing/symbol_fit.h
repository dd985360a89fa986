// Fitting a Code 39 symbol into its label: the narrow element is made smaller, within what
// scanners read, until the symbol and its quiet zone end before the label's right edge.
#pragma once

#include <string>
#include <string_view>

#include "printing/code39.h"
#include "printing/label_layouts.h"

namespace vekrano::printing {

// Below this narrow element common scanners no longer read a printed symbol reliably.
inline constexpr double kCode39NarrowestMm = 0.19;
// The blank a symbol needs after its last bar: ten narrow elements of the layouts' own symbol.
inline constexpr double kQuietZoneMm = 2.54;

// The narrow element a symbol is printed with; 0 when it cannot be printed at all.
struct SymbolFit {
  double narrowMm = 0;
  bool fits() const { return narrowMm > 0; }
};

// How the symbol of `value` fits `roomMm`, the room from its first bar to the label's right
// edge: at kCode39NarrowMm when it ends with its quiet zone inside the room, else with the widest
// narrow element that makes it end there, down to kCode39NarrowestMm; no fit below that. A value
// with a character outside the 43 of Code 39 never fits.
SymbolFit fitCode39(double roomMm, std::string_view value);

// Width in millimetres of the symbol of `value` (of the 43 characters) at `narrowMm`.
double code39WidthMm(std::string_view value, double narrowMm);

// Why a barcode cannot be printed on a sheet: it holds a character Code 39 does not have (it
// would scan as another value), or it is too long for the narrowest label even at the
// narrowest element.
enum class Unprintable { No, Character, Length };

// Whether `value` prints at every position of `layout`.
Unprintable unprintableOn(const TLabelLayout& layout, std::string_view value);

// The fit of `value` at position p (1-based) of `layout`.
SymbolFit fitAtPosition(const TLabelLayout& layout, int position, std::string_view value);

}  // namespace vekrano::printing
