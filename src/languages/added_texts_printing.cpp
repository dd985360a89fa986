// Added interface texts of the printing, in UTF-8: French, English, Portuguese, Spanish.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedPrintingTexts() {
  static const std::vector<CaptionRow> rows = {
      {155, {"Imprimer dans un fichier PDF", "Print to a PDF file", "Imprimir num ficheiro PDF",
             "Imprimir en un archivo PDF"}},
      {156, {"Enregistrer les étiquettes en PDF", "Save the labels as PDF",
             "Guardar as etiquetas em PDF", "Guardar las etiquetas en PDF"}},
      {157, {"Fichiers PDF (*.pdf)", "PDF files (*.pdf)", "Ficheiros PDF (*.pdf)",
             "Archivos PDF (*.pdf)"}},
  };
  return rows;
}

}  // namespace vekrano::languages
