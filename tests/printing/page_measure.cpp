#include "page_measure.h"

#include <QPainter>
#include <QProcess>
#include <QStringList>
#include <cmath>

namespace vekrano::printing::testing {
namespace {

// The sink of renderLayout: keeps the last page.
class LastImage : public PageDestination {
 public:
  explicit LastImage(int dpi) : dpi_(dpi) {}
  void printPage(const TLabelLayout& layout, const std::string&, const PagePainter& paint) override {
    image = renderPageImage(layout, dpi_, paint);
  }
  QImage image;

 private:
  int dpi_;
};

}  // namespace

int px(double mm, int dpi) { return static_cast<int>(std::lround(mm / 25.4 * dpi)); }

bool isDark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

int firstDarkInRow(const QImage& image, int y, int from, int to) {
  for (int x = from; x < to; ++x) {
    if (isDark(image, x, y)) return x;
  }
  return -1;
}

int lastDarkInRow(const QImage& image, int y, int from, int to) {
  for (int x = to - 1; x >= from; --x) {
    if (isDark(image, x, y)) return x;
  }
  return -1;
}

int firstDarkInColumn(const QImage& image, int x, int from, int to) {
  for (int y = from; y < to; ++y) {
    if (isDark(image, x, y)) return y;
  }
  return -1;
}

bool anyDark(const QImage& image, int left, int top, int width, int height) {
  for (int y = top; y < top + height; ++y) {
    if (firstDarkInRow(image, y, left, left + width) >= 0) return true;
  }
  return false;
}

std::vector<int> darkLightRuns(const QImage& image, int y, int from, int to) {
  const int first = firstDarkInRow(image, y, from, to);
  const int last = lastDarkInRow(image, y, from, to);
  std::vector<int> runs;
  if (first < 0) return runs;
  bool dark = true;
  int length = 0;
  for (int x = first; x <= last; ++x) {
    if (isDark(image, x, y) != dark) {
      runs.push_back(length);
      dark = !dark;
      length = 0;
    }
    ++length;
  }
  runs.push_back(length);
  return runs;
}

QImage renderLayout(const std::string& layoutName, const SlotValues& values, int dpi) {
  LastImage destination(dpi);
  LabelReport report(destination);
  report.open(kLayoutFileName);
  for (const auto& [slot, text] : values) report.setSlot(slot, text);
  report.printLayout(layoutName);
  return destination.image;
}

std::string runProgram(const std::vector<std::string>& arguments, int* exitCode) {
  QStringList rest;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    rest << QString::fromStdString(arguments[i]);
  }
  QProcess process;
  process.start(QString::fromStdString(arguments.at(0)), rest);
  const bool finished = process.waitForStarted() && process.waitForFinished(60000);
  if (exitCode != nullptr) {
    *exitCode = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  }
  return process.readAllStandardOutput().toStdString();
}

}  // namespace vekrano::printing::testing
