// Making files durable before they are published by a rename, and the unique name beside a
// file that a new version is written under first.
#pragma once

#include <filesystem>
#include <string>

namespace vekrano::backup {

// Commits a file or a folder's entries to disk, so that a rename never publishes a file whose
// data a crash or a full disk could still lose. False when it cannot.
bool syncPath(const std::filesystem::path& path, bool folder);

// Creates an empty file of a fresh hidden name in the folder of `target`, with the same
// extension, and returns its path; empty when none can be made.
std::string createFileBeside(const std::string& target);

// Removes the files that createFileBeside made for `target`, and their further volumes, which
// no open holds any more: left by a run that was killed.
void removeFilesLeftBeside(const std::string& target);

}  // namespace vekrano::backup
