// Added interface texts of the program directory and installation, in UTF-8: French, English, Portuguese, Spanish.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedInstallTexts() {
  // clang-format off
  static const std::vector<CaptionRow> rows = {
      {215,
       {"Vekrano ne peut écrire dans aucun de ces dossiers :",
        "Vekrano cannot write in either of these folders:",
        "O Vekrano não pode escrever em nenhuma destas pastas:",
        "Vekrano no puede escribir en ninguna de estas carpetas:"}},
      {216,
       {"Les fiches et les paramètres ne seront pas enregistrés. Donnez-vous le droit d'écrire "
        "dans l'un d'eux, ou indiquez un autre dossier dans XDG_DATA_HOME.",
        "Records and settings will not be saved. Allow yourself to write in one of them, or name "
        "another folder in XDG_DATA_HOME.",
        "As fichas e os parâmetros não serão gravados. Dê-se o direito de escrever numa delas, "
        "ou indique outra pasta em XDG_DATA_HOME.",
        "Las fichas y los parámetros no se guardarán. Dese permiso para escribir en una de "
        "ellas, o indique otra carpeta en XDG_DATA_HOME."}},
  };
  // clang-format on
  return rows;
}

}  // namespace vekrano::languages
