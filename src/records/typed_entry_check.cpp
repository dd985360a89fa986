// The record editor's check of its three edits on OK, kept apart from the checks themselves: the
// SQL shell links those and must not load Qt for this one.
#include <QLineEdit>

#include "common/prompts.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"
#include "records/entry_check.h"

namespace vekrano::records {
namespace {

constexpr int kRefusedCaption = 52;
constexpr int kReplacedCaption = 262;

}  // namespace

bool acceptTypedTexts(QLineEdit& cb, QLineEdit& lib1, QLineEdit& lib2) {
  const CheckedEntry entry =
      checkEntry({cb.text().toStdString(), lib1.text().toStdString(), lib2.text().toStdString()});
  if (entry.refusal) {
    common::showMessage(*entry.refusal, languages::GetText(kRefusedCaption));
    return false;
  }
  cb.setText(languages::toQt(entry.stored.cb));
  lib1.setText(languages::toQt(entry.stored.lib1));
  lib2.setText(languages::toQt(entry.stored.lib2));
  if (!entry.replacements.empty()) {
    common::showMessage(replacementNotice(entry.replacements), languages::GetText(kReplacedCaption));
  }
  return true;
}

}  // namespace vekrano::records
