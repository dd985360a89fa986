// The dataset layer's errors worded in the interface language for the windows.
#pragma once

#include <exception>
#include <string>

namespace vekrano::app {

// The text to show for `error`: a dataset error in the interface language (the French texts stay
// word for word), any other error with its own text.
std::string interfaceText(const std::exception& error);

}  // namespace vekrano::app
