// Added interface texts of the printing, in UTF-8: French, English, Portuguese, Spanish.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedPrintingTexts() {
  // clang-format off
  static const std::vector<CaptionRow> rows = {
      {155, {"Imprimer dans un fichier PDF", "Print to a PDF file", "Imprimir num ficheiro PDF",
             "Imprimir en un archivo PDF"}},
      {156, {"Enregistrer les étiquettes en PDF", "Save the labels as PDF",
             "Guardar as etiquetas em PDF", "Guardar las etiquetas en PDF"}},
      {157, {"Fichiers PDF (*.pdf)", "PDF files (*.pdf)", "Ficheiros PDF (*.pdf)",
             "Archivos PDF (*.pdf)"}},
      {158, {"Première position libre sur la première feuille",
             "First free position on the first sheet", "Primeira posição livre na primeira folha",
             "Primera posición libre en la primera hoja"}},
      {159, {"Aperçu avant impression", "Print preview", "Pré-visualizar a impressão",
             "Vista previa de la impresión"}},
      {160, {"Aperçu des étiquettes", "Label preview", "Pré-visualização das etiquetas",
             "Vista previa de las etiquetas"}},
      {161, {"Page", "Page", "Página", "Página"}},
      {162, {"Imprimer", "Print", "Imprimir", "Imprimir"}},
      {163, {"Fermer", "Close", "Fechar", "Cerrar"}},
      {164, {"Page précédente", "Previous page", "Página anterior", "Página anterior"}},
      {165, {"Page suivante", "Next page", "Página seguinte", "Página siguiente"}},
      {166, {"Calibration de l'imprimante", "Printer calibration", "Calibração da impressora",
             "Calibración de la impresora"}},
      {167, {"Décalage horizontal (mm)", "Horizontal offset (mm)", "Deslocamento horizontal (mm)",
             "Desplazamiento horizontal (mm)"}},
      {168, {"Décalage vertical (mm)", "Vertical offset (mm)", "Deslocamento vertical (mm)",
             "Desplazamiento vertical (mm)"}},
      {169, {"Échelle (%)", "Scale (%)", "Escala (%)", "Escala (%)"}},
      {170, {"Imprimer une page de test", "Print a test sheet", "Imprimir uma página de teste",
             "Imprimir una hoja de prueba"}},
      {171, {"Aucune étiquette à imprimer", "No label to print", "Nenhuma etiqueta para imprimir",
             "Ninguna etiqueta para imprimir"}},
      {172, {"La calibration n'a pas pu être enregistrée : ", "The calibration could not be saved: ",
             "A calibração não pôde ser guardada: ", "No se pudo guardar la calibración: "}},
      {173, {"fiche(s) dont le code barre ne peut pas s'imprimer tel quel sur ces étiquettes "
             "(caractère absent du Code 39, ou trop long pour l'étiquette) :",
             "record(s) whose barcode cannot print as itself on these labels (a character Code 39 "
             "lacks, or too long for the label):",
             "ficha(s) cujo código de barras não pode ser impresso tal como está nestas etiquetas "
             "(carácter que o Code 39 não tem, ou demasiado longo para a etiqueta):",
             "ficha(s) cuyo código de barras no puede imprimirse tal cual en estas etiquetas "
             "(carácter que el Code 39 no tiene, o demasiado largo para la etiqueta):"}},
      {174, {"Imprimer les autres fiches ? Les étiquettes de celles-ci resteront blanches.",
             "Print the other records? The labels of these stay blank.",
             "Imprimir as outras fichas? As etiquetas destas ficam em branco.",
             "¿Imprimir las otras fichas? Las etiquetas de estas quedan en blanco."}},
  };
  // clang-format on
  return rows;
}

}  // namespace vekrano::languages
