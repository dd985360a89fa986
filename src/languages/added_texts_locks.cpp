// Added interface texts of the shared table and locks, in UTF-8: French, English, Portuguese, Spanish.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedLockTexts() {
  static const std::vector<CaptionRow> rows = {
      {235,
       {"L'index des fiches ne correspondait plus à la table des fiches : il a été reconstruit.",
        "The record index no longer matched the record table: it was rebuilt.",
        "O índice das fichas já não correspondia à tabela das fichas: foi reconstruído.",
        "El índice de las fichas ya no correspondía a la tabla de fichas: se ha reconstruido."}},
      {236,
       {"L'ancien index est conservé sous le nom :",
        "The old index is kept as:",
        "O índice antigo foi guardado como:",
        "El índice antiguo se conserva como:"}},
      {237, {"Cause :", "Cause:", "Causa:", "Causa:"}},
  };
  return rows;
}

}  // namespace vekrano::languages
