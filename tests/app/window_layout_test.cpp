// The captions of the criteria edits and the flags of the language buttons, in each language:
// each stands right beside its control, shows its whole text and overlaps nothing.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>

#include "shell_fixture.h"

namespace vekrano::app::testing {
namespace {

class WindowLayout : public ShellTest {
 protected:
  // Where `widget` stands in the main window.
  QRect placeOf(const QWidget& widget) { return QRect(widget.mapTo(window.get(), QPoint(0, 0)), widget.size()); }
  void showPage(int page) {
    window->findChild<QTabWidget*>("PagePrincipal")->setCurrentIndex(page);
    QApplication::processEvents();
  }
  // Whether the label shows its whole text in its font.
  static bool showsWholeText(const QLabel& label) {
    const QFontMetrics metrics(label.font());
    return label.width() >= metrics.horizontalAdvance(label.text()) && label.height() >= metrics.height();
  }
  void expectApart(const QWidget& a, const QWidget& b) {
    EXPECT_FALSE(placeOf(a).intersects(placeOf(b)))
        << a.objectName().toStdString() << " over " << b.objectName().toStdString();
  }
};

TEST_F(WindowLayout, CaptionsAndFlagsStandBesideTheirControlsInEachLanguage) {
  for (int language = 1; language <= 4; ++language) {
    SCOPED_TRACE(language);
    std::filesystem::remove(directory.file("VEKRANO.PAR"));
    desktop.choice = language;
    start();
    window->show();
    EXPECT_LE(window->minimumSizeHint().width(), 1280);
    EXPECT_LE(window->minimumSizeHint().height(), 720);

    showPage(0);
    std::vector<const QWidget*> criteria{window->findChild<QGroupBox*>("gbtop"),
                                         window->findChild<QToolButton*>("SpeedButton1")};
    for (const char* name : {"TexCb", "text1", "text2"}) {
      SCOPED_TRACE(name);
      const auto* edit = window->findChild<QLineEdit*>(name);
      const auto* caption = window->findChild<QLabel*>(QString(name) + "EditLabel");
      const QRect above = placeOf(*caption);
      const QRect box = placeOf(*edit);
      EXPECT_GE(box.top() - above.bottom() - 1, 0);
      EXPECT_LE(box.top() - above.bottom() - 1, 6);
      EXPECT_LE(std::abs(above.left() - box.left()), 2);
      // A taller caption would centre its text far above the edit.
      EXPECT_LE(above.height(), QFontMetrics(caption->font()).height() + 4);
      EXPECT_TRUE(showsWholeText(*caption)) << caption->text().toStdString();
      criteria.push_back(edit);
      criteria.push_back(caption);
    }
    for (std::size_t i = 0; i < criteria.size(); ++i) {
      for (std::size_t j = i + 1; j < criteria.size(); ++j) expectApart(*criteria[i], *criteria[j]);
    }

    showPage(2);
    auto* languageGroup = window->findChild<QGroupBox*>("GLangue");
    std::vector<QLabel*> flags;
    for (QLabel* label : languageGroup->findChildren<QLabel*>()) {
      if (!label->pixmap().isNull()) flags.push_back(label);
    }
    ASSERT_EQ(flags.size(), 4u);
    std::sort(flags.begin(), flags.end(), [&](QLabel* a, QLabel* b) { return placeOf(*a).top() < placeOf(*b).top(); });
    const char* buttons[] = {"lfrancais", "langlais", "lportugais", "lespagnol"};
    for (int i = 0; i < 4; ++i) {
      SCOPED_TRACE(buttons[i]);
      const auto* button = window->findChild<QRadioButton*>(buttons[i]);
      const QRect flag = placeOf(*flags[i]);
      const QRect radio = placeOf(*button);
      // The picture stands at the left of its label: its right edge, not the label's, meets
      // the button.
      const int pictureRight = flag.left() + static_cast<int>(flags[i]->pixmap().deviceIndependentSize().width());
      EXPECT_GE(radio.left() - pictureRight, 0);
      EXPECT_LE(radio.left() - pictureRight, 16);
      EXPECT_LE(std::abs(flag.center().y() - radio.center().y()), 3);
      EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
      expectApart(*flags[i], *button);
      if (i > 0) expectApart(*window->findChild<QRadioButton*>(buttons[i - 1]), *button);
    }
    window->hide();
    stop();
  }
}

}  // namespace
}  // namespace vekrano::app::testing
