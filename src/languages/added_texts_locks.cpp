// Added interface texts of the shared table and locks, in UTF-8: French, English, Portuguese, Spanish.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedLockTexts() {
  // clang-format off
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
      {238,
       {"Réparer la table des fiches", "Repair the record table", "Reparar a tabela das fichas",
        "Reparar la tabla de fichas"}},
      {239,
       {"La table des fiches est endommagée. La réparer ? Les fiches entières sont gardées et l'ancienne "
        "table est conservée à côté.",
        "The record table is damaged. Repair it? The whole records are kept, and the old table is kept "
        "beside it.",
        "A tabela das fichas está danificada. Repará-la? As fichas inteiras são guardadas e a tabela antiga "
        "é conservada ao lado.",
        "La tabla de fichas está dañada. ¿Repararla? Se guardan las fichas enteras y la tabla antigua se "
        "conserva al lado."}},
      {240,
       {"Table réparée : %s fiches gardées. L'ancienne table est conservée sous le nom :",
        "Table repaired: %s records kept. The old table is kept as:",
        "Tabela reparada: %s fichas guardadas. A tabela antiga foi guardada como:",
        "Tabla reparada: se guardan %s fichas. La tabla antigua se conserva como:"}},
      {241,
       {"Un autre programme a la table des fiches ouverte : fermez-le, puis réparez à nouveau.",
        "Another program has the record table open: close it, then repair again.",
        "Outro programa tem a tabela das fichas aberta: feche-o e repare de novo.",
        "Otro programa tiene abierta la tabla de fichas: ciérrelo y vuelva a reparar."}},
  };
  // clang-format on
  return rows;
}

}  // namespace vekrano::languages
