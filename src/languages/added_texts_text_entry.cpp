// Added interface texts of the characters and barcodes that enter the table, in UTF-8: French,
// English, Portuguese, Spanish. %1, %2 and %3 stand for the values the message names.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedTextEntryTexts() {
  // clang-format off
  static const std::vector<CaptionRow> rows = {
      {260, {"%1 : le caractère %2 (position %3) ne peut pas être enregistré.",
             "%1: the character %2 (position %3) cannot be stored.",
             "%1: o carácter %2 (posição %3) não pode ser guardado.",
             "%1: el carácter %2 (posición %3) no se puede guardar."}},
      {261, {"%1 : le caractère %2 (position %3) n'existe pas en Code 39. Un code barre ne peut "
             "contenir que les chiffres, les lettres A à Z, l'espace et - . $ / + %",
             "%1: the character %2 (position %3) does not exist in Code 39. A barcode may hold only "
             "digits, the letters A to Z, the blank and - . $ / + %",
             "%1: o carácter %2 (posição %3) não existe em Code 39. Um código de barras só pode "
             "conter algarismos, as letras A a Z, o espaço e - . $ / + %",
             "%1: el carácter %2 (posición %3) no existe en Code 39. Un código de barras solo "
             "puede contener cifras, las letras A a Z, el espacio y - . $ / + %"}},
      {262, {"Caractères remplacés", "Characters replaced", "Caracteres substituídos",
             "Caracteres sustituidos"}},
      {263, {"Ces caractères ne peuvent pas être enregistrés tels quels et ont été écrits ainsi : %1",
             "These characters cannot be stored as they are and were written this way: %1",
             "Estes caracteres não podem ser guardados tal como estão e foram escritos assim: %1",
             "Estos caracteres no se pueden guardar tal cual y se escribieron así: %1"}},
      {264, {"Lignes refusées pour un caractère :", "Lines refused for a character:",
             "Linhas recusadas por um carácter:", "Líneas rechazadas por un carácter:"}},
      {265, {"ligne", "line", "linha", "línea"}},
      {266, {"Lignes dont des caractères ont été écrits autrement :",
             "Lines whose characters were written another way:",
             "Linhas cujos caracteres foram escritos de outra forma:",
             "Líneas cuyos caracteres se escribieron de otra forma:"}},
      {267, {"Aucune fiche ne peut contenir ce caractère :", "No record can hold this character:",
             "Nenhuma ficha pode conter este carácter:", "Ninguna ficha puede contener este carácter:"}},
  };
  // clang-format on
  return rows;
}

}  // namespace vekrano::languages
