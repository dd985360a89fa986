// Added interface texts of the dataset layer's errors, in UTF-8: French, English, Portuguese,
// Spanish. The French ones are the dataset layer's own texts, word for word.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedDatasetTexts() {
  // clang-format off
  static const std::vector<CaptionRow> rows = {
      {245,
       {"Champ '%s' non trouvé", "Field '%s' not found", "Campo '%s' não encontrado",
        "Campo '%s' no encontrado"}},
      {246,
       {"L'ensemble de données n'est pas en mode Edition ou Insertion",
        "The data set is not in edit or insert mode",
        "O conjunto de dados não está em modo de edição ou inserção",
        "El conjunto de datos no está en modo de edición o inserción"}},
      {247,
       {"Impossible de modifier le champ '%s'", "The field '%s' cannot be changed",
        "Não é possível modificar o campo '%s'", "No se puede modificar el campo '%s'"}},
      {248,
       {"Impossible d'effectuer cette opération sur un ensemble de données fermé",
        "This operation cannot be done on a closed data set",
        "Não é possível efectuar esta operação num conjunto de dados fechado",
        "No se puede realizar esta operación en un conjunto de datos cerrado"}},
      {249,
       {"Impossible de modifier un ensemble de données en lecture seule",
        "A read-only data set cannot be changed",
        "Não é possível modificar um conjunto de dados só de leitura",
        "No se puede modificar un conjunto de datos de solo lectura"}},
      {250,
       {"Impossible d'effectuer cette opération sur un ensemble de données vide",
        "This operation cannot be done on an empty data set",
        "Não é possível efectuar esta operação num conjunto de dados vazio",
        "No se puede realizar esta operación en un conjunto de datos vacío"}},
      {251,
       {"Le champ '%s' ne peut pas être lu ou écrit en tant que %s",
        "The field '%s' cannot be read or written as %s",
        "O campo '%s' não pode ser lido nem escrito como %s",
        "El campo '%s' no se puede leer ni escribir como %s"}},
      {252,
       {"'%s' n'est pas une valeur entière correcte", "'%s' is not a valid whole number",
        "'%s' não é um valor inteiro válido", "'%s' no es un valor entero válido"}},
      {253,
       {"'%s' n'est pas une valeur flottante correcte", "'%s' is not a valid number",
        "'%s' não é um valor numérico válido", "'%s' no es un valor numérico válido"}},
      {254,
       {"'%s' n'est pas une valeur booléenne correcte", "'%s' is not a valid true or false value",
        "'%s' não é um valor lógico válido", "'%s' no es un valor lógico válido"}},
      {255,
       {"'%s' n'est pas une date correcte", "'%s' is not a valid date", "'%s' não é uma data válida",
        "'%s' no es una fecha válida"}},
  };
  // clang-format on
  return rows;
}

}  // namespace vekrano::languages
