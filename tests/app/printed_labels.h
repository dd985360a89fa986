// The labels of a PDF read back one position at a time, for the tests of the print runs.
#pragma once

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vekrano::testing {

// The barcode of every position of every page of a PDF of type 1 sheets, page after page in
// position order, each position cut out and decoded alone by zbarimg ("" where none is found).
// Pages are rendered into `dir`.
std::vector<std::string> labelsIn(const std::string& pdf, const TempDir& dir);

}  // namespace vekrano::testing
