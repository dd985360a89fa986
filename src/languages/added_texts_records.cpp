// Added interface texts of the record editor and record list, in UTF-8: French, English, Portuguese, Spanish.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedRecordTexts() {
  static const std::vector<CaptionRow> rows = {
      {135,
       {"Le numéro de fiche dépasserait 99999 : la fiche ne peut pas être créée",
        "The record number would exceed 99999: the record cannot be created",
        "O número da ficha ultrapassaria 99999: a ficha não pode ser criada",
        "El número de ficha superaría 99999: la ficha no puede crearse"}},
      {136,
       {"La quantité doit être un nombre entier de -99 à 999",
        "The quantity must be a whole number from -99 to 999",
        "A quantidade deve ser um número inteiro de -99 a 999",
        "La cantidad debe ser un número entero de -99 a 999"}},
  };
  return rows;
}

}  // namespace vekrano::languages
