// Where an archived name is restored. Names may come from another system, so "\", "/" and ":"
// all separate their components.
#pragma once

#include <optional>
#include <string>

namespace vekrano::backup {

// The target path of the archived `name`:
// - `destination` empty: the saved name itself;
// - otherwise, without `fullPath`: `destination` followed by the name's last component;
// - with `fullPath`: `destination` followed by the name without its root (a drive such as
//   "c:\", or a leading "/").
// Nothing when the name would leave the destination folder: a ".." component anywhere, or a
// remainder that is itself absolute (a further separator or a drive) under `fullPath`.
// REQUIRES: `destination` is empty or ends with "/".
std::optional<std::string> restoreTarget(const std::string& name, const std::string& destination, bool fullPath);

}  // namespace vekrano::backup
