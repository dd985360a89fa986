// The window reader finds what a user would see as wrong: a text cut by its control, a group
// title or a tab wider than its room, controls drawn over each other or past the window's edge;
// and nothing in a window laid out by Qt's layouts.
#include "layout_findings.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace vekrano::app::testing {
namespace {

const QString kLong = QStringLiteral("Imprimer seulement les fiches correspondant aux critères");

QStringList findingsOf(QWidget& window) {
  window.show();
  QApplication::processEvents();
  return layoutFindings(window);
}

bool anyNames(const QStringList& findings, const QString& name) {
  return std::any_of(findings.begin(), findings.end(), [&](const QString& f) { return f.startsWith(name + ":"); });
}

TEST(LayoutFindings, TextsCutByTheirControlsAreFound) {
  QWidget window;
  window.resize(600, 400);
  auto place = [&](QWidget* control, const char* name, int top) {
    control->setObjectName(name);
    control->setParent(&window);
    control->setGeometry(10, top, 60, 30);
  };
  place(new QLabel(kLong), "label", 0);
  place(new QPushButton(kLong), "button", 40);
  place(new QCheckBox(kLong), "check", 80);
  place(new QRadioButton(kLong), "radio", 120);
  auto* box = new QGroupBox(kLong);
  place(box, "group", 160);
  auto* tabs = new QTabWidget;
  tabs->addTab(new QWidget, kLong);
  tabs->addTab(new QWidget, kLong);
  place(tabs, "tabs", 200);
  tabs->setGeometry(10, 200, 120, 120);
  // The same texts where they fit are no finding.
  auto* wide = new QCheckBox(QStringLiteral("&Texte 1 "), &window);
  wide->setObjectName("wide");
  wide->setGeometry(300, 0, 200, 30);

  const QStringList found = findingsOf(window);
  for (const char* name : {"label", "button", "check", "radio", "group", "tabs"}) {
    EXPECT_TRUE(anyNames(found, name)) << name << "\n" << found.join("\n").toStdString();
  }
  EXPECT_FALSE(anyNames(found, "wide")) << found.join("\n").toStdString();
  // Both tabs run past the bar.
  EXPECT_EQ(found.size(), 7) << found.join("\n").toStdString();
}

TEST(LayoutFindings, OverlapsAndControlsPastTheEdgeAreFound) {
  QWidget window;
  window.resize(300, 200);
  auto* a = new QLineEdit(&window);
  a->setObjectName("a");
  a->setGeometry(10, 10, 100, 24);
  auto* b = new QPushButton(QStringLiteral("OK"), &window);
  b->setObjectName("b");
  b->setGeometry(100, 20, 100, 24);
  auto* outside = new QLineEdit(&window);
  outside->setObjectName("outside");
  outside->setGeometry(250, 150, 100, 24);
  // A group holds its controls: that is no overlap.
  auto* group = new QGroupBox(QStringLiteral("G"), &window);
  group->setGeometry(10, 60, 150, 80);
  auto* inside = new QLineEdit(group);
  inside->setGeometry(10, 30, 100, 24);

  const QStringList found = findingsOf(window);
  EXPECT_EQ(found, QStringList({"outside: stands outside the window", "a and b overlap over 10 x 14 px"}));
}

TEST(LayoutFindings, ACaptionFarFromItsControlIsFound) {
  QWidget window;
  window.resize(600, 200);
  auto captioned = [&](const char* name, QRect caption, QRect control) {
    auto* label = new QLabel(QStringLiteral("Code"), &window);
    label->setObjectName(name);
    label->setGeometry(caption);
    auto* edit = new QLineEdit(&window);
    edit->setGeometry(control);
    label->setBuddy(edit);
  };
  captioned("beside", {10, 10, 36, 24}, {50, 10, 100, 24});
  captioned("above", {200, 10, 60, 18}, {200, 30, 100, 24});
  captioned("far", {10, 80, 60, 24}, {400, 80, 100, 24});
  captioned("floating", {200, 120, 60, 18}, {200, 170, 100, 24});
  const QStringList found = findingsOf(window);
  ASSERT_EQ(found.size(), 2) << found.join("\n").toStdString();
  EXPECT_TRUE(found[0].startsWith("far: caption stands apart")) << found[0].toStdString();
  EXPECT_TRUE(found[1].startsWith("floating: caption stands apart")) << found[1].toStdString();
}

TEST(LayoutFindings, AWindowOfLayoutsHasNone) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* group = new QGroupBox(kLong);
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel(kLong), 0, 0);
  grid->addWidget(new QLineEdit, 0, 1);
  grid->addWidget(new QRadioButton(kLong), 1, 0, 1, 2);
  layout->addWidget(group);
  auto* tabs = new QTabWidget;
  tabs->addTab(new QWidget, kLong);
  tabs->addTab(new QWidget, QStringLiteral("Impression"));
  layout->addWidget(tabs);
  layout->addWidget(new QPushButton(kLong));
  EXPECT_EQ(findingsOf(window), QStringList());
}

}  // namespace
}  // namespace vekrano::app::testing
