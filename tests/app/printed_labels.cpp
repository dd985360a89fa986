// Each position is decoded alone so that the order of the labels on the sheet is read too.
#include "printed_labels.h"

#include <QFile>
#include <QImage>
#include <cstdio>

#include "printing/label_layouts.h"
#include "support/shell_command.h"

namespace vekrano::testing {

std::vector<std::string> labelsIn(const std::string& pdf, const TempDir& dir) {
  constexpr int kDpi = 300;
  const auto px = [](double mm) { return static_cast<int>(mm * kDpi / 25.4 + 0.5); };
  const printing::TLabelLayout& layout = *printing::Layout("etiquette1");
  runShell("pdftoppm -r " + std::to_string(kDpi) + " -gray -png " + pdf + " " + dir.file("page"));
  std::vector<std::string> labels;
  for (int page = 1; QFile::exists(QString::fromStdString(dir.file("page-" + std::to_string(page) + ".png"))); ++page) {
    const QImage image(QString::fromStdString(dir.file("page-" + std::to_string(page) + ".png")));
    for (const printing::TLabelPosition& at : layout.positions) {
      const std::string file = dir.file("position.png");
      image.copy(px(at.barLeft - 4), px(at.barTop - 1), px(50), px(at.barHeight + 2))
          .save(QString::fromStdString(file));
      std::string text = runShell("zbarimg -q --raw " + file).out;
      if (!text.empty() && text.back() == '\n') text.pop_back();
      labels.push_back(text);
    }
    std::remove(dir.file("page-" + std::to_string(page) + ".png").c_str());
  }
  return labels;
}

}  // namespace vekrano::testing
