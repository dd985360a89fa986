// The checks shared by the record editor, the import and the SQL shell's statements. Nothing here
// uses Qt, so that the shell, which calls them, starts without loading it.
#include "records/entry_check.h"

#include "common/best_fit_text.h"
#include "common/code_page.h"
#include "languages/interface_texts.h"

namespace vekrano::records {
namespace {

constexpr int kBarcodeLabelText = 45;
constexpr int kText1LabelText = 46;
constexpr int kText2LabelText = 47;
constexpr int kNotStorableText = 260;
constexpr int kNotCode39Text = 261;
constexpr int kReplacedText = 263;

// `pattern` with %1, %2 and %3 replaced by the values, in one pass so that a value holding "%2"
// stays as it is.
std::string fillIn(const std::string& pattern, const std::string (&values)[3]) {
  std::string text;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '3') {
      text += values[pattern[i + 1] - '1'];
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

std::string refusalText(int textId, int fieldLabel, std::uint32_t codePoint, std::size_t position) {
  return fillIn(languages::GetText(textId),
                {languages::GetText(fieldLabel), common::characterName(codePoint), std::to_string(position)});
}

// One text through the best-fit conversion; false, with the refusal, when it is refused.
bool convert(const std::string& typed, int fieldLabel, std::string& stored, CheckedEntry& entry) {
  const common::TableText text = common::toTableText(typed);
  if (text.refused) {
    entry.refusal = refusalText(kNotStorableText, fieldLabel, text.refused->codePoint, text.refused->position);
    return false;
  }
  stored = text.ansi;
  const std::string replaced = common::replacementList(text);
  if (!replaced.empty()) {
    if (!entry.replacements.empty()) entry.replacements += ", ";
    entry.replacements += replaced;
  }
  return true;
}

}  // namespace

std::size_t firstNonCode39(std::string_view barcode) { return barcode.find_first_not_of(kCode39Characters); }

CheckedEntry checkEntry(const EntryTexts& typed) {
  CheckedEntry entry;
  if (!convert(typed.cb, kBarcodeLabelText, entry.stored.cb, entry) ||
      !convert(typed.lib1, kText1LabelText, entry.stored.lib1, entry) ||
      !convert(typed.lib2, kText2LabelText, entry.stored.lib2, entry)) {
    return entry;
  }
  entry.stored.cb = common::ansiUpper(entry.stored.cb);
  const std::size_t at = firstNonCode39(entry.stored.cb);
  if (at != std::string_view::npos) {
    // The position is that in the stored text, which the edits then show.
    entry.refusal =
        refusalText(kNotCode39Text, kBarcodeLabelText, common::codePointOfAnsi(entry.stored.cb[at]), at + 1);
  }
  return entry;
}

std::string replacementNotice(const std::string& replacements) {
  return fillIn(languages::GetText(kReplacedText), {replacements, {}, {}});
}

}  // namespace vekrano::records
