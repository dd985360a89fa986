// Creation of a table from a textual field list such as "quantite,N,3,0", with the corrections
// of doubtful definitions shown to the user.
#pragma once

#include <string>
#include <vector>

namespace vekrano::dbase {

// Creates the table `fileName` from `fieldList` (one "name,type,length,decimals" per line,
// nullptr when the caller has none). Definitions of type "X" are skipped; doubtful ones are
// corrected after an information box naming `componentName`. Automatic error reporting is
// suspended meanwhile. Returns true when the table was created.
bool createDbfFromFieldList(const std::string& componentName, const std::vector<std::string>* fieldList,
                            const std::string& fileName);

}  // namespace vekrano::dbase
