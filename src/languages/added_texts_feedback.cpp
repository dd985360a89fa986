// Added interface texts of the feedback at the end of long work and of the help, in UTF-8:
// French, English, Portuguese, Spanish. "%1", "%2" and "%3" stand for the values filled in.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedFeedbackTexts() {
  // clang-format off
  static const std::vector<CaptionRow> rows = {
      {280, {"1 étiquette sur 1 feuille envoyée à %3", "1 label on 1 sheet sent to %3",
             "1 etiqueta em 1 folha enviada para %3", "1 etiqueta en 1 hoja enviada a %3"}},
      {281, {"%1 étiquettes sur 1 feuille envoyées à %3", "%1 labels on 1 sheet sent to %3",
             "%1 etiquetas em 1 folha enviadas para %3", "%1 etiquetas en 1 hoja enviadas a %3"}},
      {282, {"%1 étiquettes sur %2 feuilles envoyées à %3", "%1 labels on %2 sheets sent to %3",
             "%1 etiquetas em %2 folhas enviadas para %3",
             "%1 etiquetas en %2 hojas enviadas a %3"}},
      {283, {"l'imprimante par défaut", "the default printer", "a impressora predefinida",
             "la impresora predeterminada"}},
      {284, {"PDF écrit : %1", "PDF written: %1", "PDF escrito: %1", "PDF escrito: %1"}},
      {285, {"Sauvegarde écrite : 1 fichier, %2", "Backup written: 1 file, %2",
             "Salvaguarda escrita: 1 ficheiro, %2", "Copia de seguridad escrita: 1 archivo, %2"}},
      {286, {"Sauvegarde écrite : %1 fichiers, %2", "Backup written: %1 files, %2",
             "Salvaguarda escrita: %1 ficheiros, %2",
             "Copia de seguridad escrita: %1 archivos, %2"}},
      {287, {"Restauration terminée : 1 fiche", "Restored: 1 record",
             "Restauro terminado: 1 ficha",
             "Restauración terminada: 1 registro"}},
      {288, {"Restauration terminée : %1 fiches", "Restored: %1 records",
             "Restauro terminado: %1 fichas", "Restauración terminada: %1 registros"}},
      {289, {"Le manuel d'utilisation est introuvable : %1", "The user manual was not found: %1",
             "O manual do utilizador não foi encontrado: %1",
             "No se encontró el manual del usuario: %1"}},
      {290, {"%1 octets", "%1 bytes", "%1 bytes", "%1 bytes"}},
      {291, {"%1 Ko", "%1 KB", "%1 KB", "%1 KB"}},
      {292, {"%1 Mo", "%1 MB", "%1 MB", "%1 MB"}},
      {293, {"%1 Go", "%1 GB", "%1 GB", "%1 GB"}},
  };
  // clang-format on
  return rows;
}

}  // namespace vekrano::languages
