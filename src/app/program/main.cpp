// Vekrano: prints Code 39 barcode labels from a list of records kept beside the program.
#include "app/application.h"
#include "app/desktop.h"
#include "app/main_window.h"
#include "app/program/program_info.h"
#include "app/program_directory.h"
#include "app/unwritable_directory_notice.h"
#include "records/article_data.h"

int main(int argc, char** argv) {
  if (auto status = vekrano::app::answerInfoOption(argc, argv)) return *status;
  vekrano::app::VekranoApplication application(argc, argv);
  if (auto status = vekrano::app::rejectLeftArguments(argc, argv)) return *status;
  vekrano::app::QtDesktop desktop;
  const std::string directory = vekrano::app::ProgramDirectory();
  vekrano::records::ArticleData data(directory);
  vekrano::app::TFprincip window(directory, desktop, data);
  vekrano::app::noticeIfProgramDirectoryUnwritable();
  application.prompts().setParent(&window);
  window.show();
  return application.exec();
}
