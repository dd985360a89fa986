#include "app/program/program_info.h"

#include <cstdio>
#include <cstring>

namespace vekrano::app {

namespace {

constexpr const char* kUsage =
    "usage: vekrano [--help] [--version]\n"
    "Prints Code 39 barcode labels from a list of records.\n"
    "Everything it keeps (article.dbf, article.mdx, VEKRANO.PAR and the optional vekrano.lg)\n"
    "lies in its program directory: the executable's own directory, or, when the program is\n"
    "installed in a bin directory or cannot write beside itself,\n"
    "${XDG_DATA_HOME:-~/.local/share}/vekrano. The language file and the help file vkb.chm\n"
    "are looked for there first, then beside the executable.\n"
    "The toolkit's options (-platform NAME, -display DISPLAY, ...) are accepted.\n";

}  // namespace

void printVersion(const char* programName) { std::printf("%s %s\n", programName, VEKRANO_VERSION); }

std::optional<int> answerInfoOption(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      printVersion("vekrano");
      return 0;
    }
  }
  return std::nullopt;
}

std::optional<int> rejectLeftArguments(int argc, char** argv) {
  if (argc < 2) return std::nullopt;
  std::fprintf(stderr, "vekrano: unknown argument '%s'\n%s", argv[1], kUsage);
  return 2;
}

}  // namespace vekrano::app
