// Vekrano: prints Code 39 barcode labels from a list of records kept beside the program.
#include "app/application.h"
#include "app/desktop.h"
#include "app/main_window.h"
#include "app/program_directory.h"
#include "records/article_data.h"

int main(int argc, char** argv) {
  vekrano::app::VekranoApplication application(argc, argv);
  vekrano::app::QtDesktop desktop;
  const std::string directory = vekrano::app::ProgramDirectory();
  vekrano::records::ArticleData data(directory);
  vekrano::app::TFprincip window(directory, desktop, data);
  application.prompts().setParent(&window);
  window.show();
  return application.exec();
}
