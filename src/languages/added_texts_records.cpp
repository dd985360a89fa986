// Added interface texts of the record editor and record list, in UTF-8: French, English, Portuguese, Spanish.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedRecordTexts() {
  // clang-format off
  static const std::vector<CaptionRow> rows = {
      {135,
       {"Le nombre maximal de fiches (99999) est atteint : la fiche n'est pas enregistrée",
        "The largest record number (99999) is reached: the record is not saved",
        "O número máximo de fichas (99999) foi atingido: a ficha não foi gravada",
        "Se alcanzó el número máximo de fichas (99999): la ficha no se guarda"}},
      {136,
       {"La quantité doit être comprise entre -99 et 999",
        "The quantity must lie between -99 and 999",
        "A quantidade deve estar entre -99 e 999",
        "La cantidad debe estar entre -99 y 999"}},
      {137,
       {"Le chargement de la sauvegarde remplacera les %s fiches actuelles. Continuer ?",
        "Loading the backup will replace the %s current records. Go on?",
        "O carregamento da cópia de segurança substituirá as %s fichas actuais. Continuar?",
        "La carga de la copia de seguridad reemplazará las %s fichas actuales. ¿Continuar?"}},
      {138, {"%s fiche", "%s record", "%s ficha", "%s ficha"}},
      {139, {"%s fiches", "%s records", "%s fichas", "%s fichas"}},
      {140,
       {"Le bouton « Réparer la table des fiches » de la page Parametres la répare.",
        "The button \"Repair the record table\" on the Parameters page repairs it.",
        "O botão «Reparar a tabela das fichas» da página Parâmetros repara-a.",
        "El botón «Reparar la tabla de fichas» de la página Parámetros la repara."}},
  };
  // clang-format on
  return rows;
}

}  // namespace vekrano::languages
