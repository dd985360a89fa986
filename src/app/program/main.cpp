// Vekrano: prints Code 39 barcode labels from a list of records kept beside the program.
#include "app/application.h"
#include "app/desktop.h"
#include "app/main_window.h"
#include "app/program_directory.h"
#include "app/record_data.h"

int main(int argc, char** argv) {
  vekrano::app::VekranoApplication application(argc, argv);
  vekrano::app::QtDesktop desktop;
  vekrano::app::RecordData records;
  vekrano::app::TFprincip window(vekrano::app::ProgramDirectory(), desktop, records);
  application.prompts().setParent(&window);
  window.show();
  return application.exec();
}
