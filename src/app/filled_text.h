// Interface texts with values filled in: "%1 labels on %2 sheets sent to %3". Unlike the
// engines' "%s" patterns, these are widget texts: their values (paths, printer names) may hold
// any character, and a language may put them in another order.
#pragma once

#include <QString>
#include <initializer_list>

namespace vekrano::app {

// `text` with each "%1", "%2", ... replaced by the value of that rank in one pass, so that a
// value holding "%2" is never replaced again. Placeholders without a value stay as they are.
QString fillIn(const QString& text, std::initializer_list<QString> values);

}  // namespace vekrano::app
