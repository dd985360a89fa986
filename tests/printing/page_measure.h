// Measuring rendered label pages: pixels from millimetres, dark pixels, runs along a row, and
// running the reference tools (zint, zbarimg, pdftoppm).
#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "printing/label_layouts.h"
#include "printing/label_report.h"

namespace vekrano::printing::testing {

inline constexpr int kDpi = 600;

int px(double mm, int dpi = kDpi);
bool isDark(const QImage& image, int x, int y);
// First dark pixel of row y in [from, to), or -1.
int firstDarkInRow(const QImage& image, int y, int from, int to);
// Last dark pixel of row y in [from, to), or -1.
int lastDarkInRow(const QImage& image, int y, int from, int to);
// First dark pixel of column x in [from, to), or -1.
int firstDarkInColumn(const QImage& image, int x, int from, int to);
// True when any pixel of the rectangle is dark.
bool anyDark(const QImage& image, int left, int top, int width, int height);
// Lengths of the alternating dark/light runs of row y from the first to the last dark pixel.
std::vector<int> darkLightRuns(const QImage& image, int y, int from, int to);

// The page of `layout` with the given slot values, rendered through the label report.
QImage renderLayout(const std::string& layoutName, const SlotValues& values, int dpi = kDpi);

// Runs a program with its arguments (no shell) and returns what it writes on stdout;
// `exitCode` receives its exit status.
std::string runProgram(const std::vector<std::string>& arguments, int* exitCode = nullptr);

}  // namespace vekrano::printing::testing
