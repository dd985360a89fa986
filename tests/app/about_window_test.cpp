// The about window keeps one size while it is open, the size its texts need in its font.
#include "app/about_window.h"

#include <QApplication>
#include <gtest/gtest.h>

#include "layout_findings.h"

namespace vekrano::app::testing {
namespace {

TEST(AboutWindow, IsNotResizableAndGrowsWithItsFont) {
  Tfapropos about;
  about.show();
  QApplication::processEvents();
  EXPECT_EQ(about.minimumSize(), about.maximumSize());
  EXPECT_GE(about.width(), 400);
  EXPECT_EQ(layoutFindings(about), QStringList());
  const QSize usual = about.size();
  about.hide();
  QFont larger = about.font();
  larger.setPixelSize(26);
  about.setFont(larger);
  about.show();
  QApplication::processEvents();
  EXPECT_GT(about.height(), usual.height());
  EXPECT_EQ(layoutFindings(about), QStringList());
}

}  // namespace
}  // namespace vekrano::app::testing
