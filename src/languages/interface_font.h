// The interface font of the language file, set on the windows at the first activation.
#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace vekrano::languages {

class Tgerelanguage;

// The face name the interface uses: slot 302 of a loaded language file when not empty, else
// the system's menu font.
QString interfaceFontFace(const Tgerelanguage* manager);

// Sets the face name (only the face: sizes and styles stay) on each window and on every
// control of it that has a font of its own. The character set of slot 303 has no counterpart
// in the toolkit's fonts: a face carries every script it holds.
void ApplyInterfaceFont(const Tgerelanguage* manager, const std::vector<QWidget*>& windows);

}  // namespace vekrano::languages
