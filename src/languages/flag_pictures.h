// Small flag pictures of our own drawing beside the language choices.
#pragma once

#include <QPixmap>

namespace vekrano::languages {

// The flag of `language` (1 French, 2 English, 3 Portuguese, 4 Spanish), 24 by 16 pixels.
QPixmap flagPicture(int language);

}  // namespace vekrano::languages
