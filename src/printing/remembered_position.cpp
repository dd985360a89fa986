// The position file is plain text, so that a user may read or clear it by hand; reading forgives
// anything and keeps what it can make sense of.
#include "printing/remembered_position.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "common/code_page.h"
#include "common/safe_file_writer.h"
#include "languages/text_file.h"

namespace vekrano::printing {
namespace {

constexpr const char* kHeader =
    "# Vekrano: first free position of the last sheet printed, by label type and printer "
    "(label type or sheet name, position, printer name, separated by tabs)\n";

std::optional<int> positiveNumber(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 1) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

RememberedPositions parsePositions(std::string_view text) {
  RememberedPositions positions;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.empty() || line.front() == '#') continue;
    const std::size_t firstTab = line.find('\t');
    if (firstTab == std::string_view::npos) continue;
    const std::size_t secondTab = line.find('\t', firstTab + 1);
    if (secondTab == std::string_view::npos) continue;
    const std::string_view type = line.substr(0, firstTab);
    const auto position = positiveNumber(line.substr(firstTab + 1, secondTab - firstTab - 1));
    if (type.empty() || !position) continue;
    const SheetKey key{std::string(type), std::string(line.substr(secondTab + 1))};
    if (*position == 1) {
      positions.erase(key);
    } else {
      positions[key] = *position;
    }
  }
  return positions;
}

std::string formatPositions(const RememberedPositions& positions) {
  std::string text = kHeader;
  for (const auto& [key, position] : positions) {
    if (position <= 1 || key.first.empty() || key.first.front() == '#' ||
        key.first.find_first_of("\t\r\n") != std::string::npos ||
        key.second.find_first_of("\r\n") != std::string::npos) {
      continue;
    }
    text += key.first + '\t' + std::to_string(position) + '\t' + key.second + '\n';
  }
  return text;
}

RememberedPositions readPositionFile(const std::string& path) {
  try {
    return parsePositions(languages::readAnsiText(path));
  } catch (const std::exception&) {
    return {};
  }
}

int offeredPosition(const RememberedPositions& positions, const SheetKey& key, int labelsPerSheet) {
  const auto it = positions.find(key);
  if (it == positions.end() || it->second > labelsPerSheet) return 1;
  return it->second;
}

void rememberPosition(const std::string& path, const SheetKey& key, int nextPosition) {
  RememberedPositions positions = readPositionFile(path);
  const auto it = positions.find(key);
  if (nextPosition <= 1) {
    if (it == positions.end()) return;  // nothing kept, nothing to change
    positions.erase(it);
  } else {
    positions[key] = nextPosition;
  }
  common::replaceFileContent(path, common::ansiToUtf8(formatPositions(positions)));
}

}  // namespace vekrano::printing
