// The text of a control is measured with the font metrics of its own font and compared with the
// room its widget gives it after the style's margins; controls are compared where they stand in
// the window.
#include "layout_findings.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSizeGrip>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <vector>

namespace vekrano::app::testing {
namespace {

// Widgets whose inner widgets are theirs alone (a combo box's edit, a view's headers, a tab
// bar's scroll arrows): they are read as one control.
bool isSealed(const QWidget& widget) {
  return qobject_cast<const QComboBox*>(&widget) || qobject_cast<const QAbstractSpinBox*>(&widget) ||
         qobject_cast<const QLineEdit*>(&widget) || qobject_cast<const QAbstractItemView*>(&widget) ||
         qobject_cast<const QTextEdit*>(&widget) || qobject_cast<const QPlainTextEdit*>(&widget) ||
         qobject_cast<const QTabBar*>(&widget) || qobject_cast<const QProgressBar*>(&widget) ||
         qobject_cast<const QScrollBar*>(&widget) || qobject_cast<const QSizeGrip*>(&widget) ||
         qobject_cast<const QAbstractButton*>(&widget);
}

// Tab bars are read through their tab widget; scroll bars and size grips belong to the frame.
bool isControl(const QWidget& widget) {
  if (qobject_cast<const QTabBar*>(&widget) || qobject_cast<const QScrollBar*>(&widget) ||
      qobject_cast<const QSizeGrip*>(&widget)) {
    return false;
  }
  return isSealed(widget) || qobject_cast<const QLabel*>(&widget) || qobject_cast<const QGroupBox*>(&widget) ||
         qobject_cast<const QTabWidget*>(&widget);
}

QString nameOf(const QWidget& widget) {
  if (!widget.objectName().isEmpty()) return widget.objectName();
  QString text;
  if (auto* label = qobject_cast<const QLabel*>(&widget)) text = label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(&widget)) text = button->text();
  if (auto* box = qobject_cast<const QGroupBox*>(&widget)) text = box->title();
  return QStringLiteral("%1 \"%2\"").arg(widget.metaObject()->className(), text);
}

// The text as shown: "&&" shows one "&", a single "&" marks the shortcut and is not shown;
// blanks around it take no visible room.
QString shownText(QString text, bool hasShortcut) {
  text = text.trimmed();
  if (!hasShortcut) return text;
  text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  return text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

int widestLine(const QFontMetrics& metrics, const QString& text) {
  int widest = 0;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    widest = std::max(widest, metrics.horizontalAdvance(line));
  }
  return widest;
}

class Reader {
 public:
  // How far a caption may stand from its control: a layout's spacing with room to spare.
  static constexpr int kNearPx = 24;

  explicit Reader(const QWidget& window) : window_(window) {}

  QStringList read() {
    collect(window_);
    for (const QWidget* control : controls_) {
      checkText(*control);
      auto* label = qobject_cast<const QLabel*>(control);
      if (label != nullptr && label->buddy() != nullptr && label->buddy()->isVisible()) {
        checkBesideBuddy(*label, *label->buddy());
      }
      if (!window_.rect().contains(placeOf(*control))) add(*control, "stands outside the window");
    }
    for (std::size_t i = 0; i < controls_.size(); ++i) {
      for (std::size_t j = i + 1; j < controls_.size(); ++j) checkApart(*controls_[i], *controls_[j]);
    }
    return findings_;
  }

 private:
  void collect(const QWidget& parent) {
    for (QObject* child : parent.children()) {
      auto* widget = qobject_cast<QWidget*>(child);
      if (widget == nullptr || widget->isWindow() || !widget->isVisible()) continue;
      if (isControl(*widget)) controls_.push_back(widget);
      if (!isSealed(*widget)) collect(*widget);
    }
  }

  QRect placeOf(const QWidget& widget) const { return QRect(widget.mapTo(&window_, QPoint(0, 0)), widget.size()); }

  void add(const QWidget& widget, const QString& what) { findings_ << nameOf(widget) + ": " + what; }

  void needs(const QWidget& widget, const QString& text, int width, int height, QSize room) {
    if (width > room.width() || height > room.height()) {
      add(widget, QStringLiteral("\"%1\" needs %2 x %3 px, has %4 x %5")
                      .arg(text)
                      .arg(width)
                      .arg(height)
                      .arg(room.width())
                      .arg(room.height()));
    }
  }

  void checkText(const QWidget& widget) {
    if (auto* label = qobject_cast<const QLabel*>(&widget)) checkLabel(*label);
    if (auto* box = qobject_cast<const QGroupBox*>(&widget)) checkGroupTitle(*box);
    if (auto* tabs = qobject_cast<const QTabWidget*>(&widget)) checkTabs(*tabs);
    if (auto* button = qobject_cast<const QAbstractButton*>(&widget)) checkButton(*button);
  }

  void checkLabel(const QLabel& label) {
    if (label.text().isEmpty()) return;
    const QFontMetrics metrics(label.font());
    QString text = label.text();
    if (label.textFormat() == Qt::RichText || (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
      QTextDocument document;
      document.setHtml(text);
      text = document.toPlainText();
    }
    text = shownText(text, label.buddy() != nullptr);
    if (label.wordWrap()) {
      int longestWord = 0;
      for (const QString& word : text.split(QRegularExpression(QStringLiteral("\\s+")))) {
        longestWord = std::max(longestWord, metrics.horizontalAdvance(word));
      }
      needs(label, text, longestWord, label.heightForWidth(label.width()), label.size());
      return;
    }
    const int margin = label.margin();
    const QRect room = label.contentsRect().adjusted(margin, margin, -margin, -margin);
    const int lines = static_cast<int>(text.count(QLatin1Char('\n'))) + 1;
    needs(label, text, widestLine(metrics, text), metrics.height() + (lines - 1) * metrics.lineSpacing(), room.size());
  }

  // The title's place as the style draws it: inside the group and as wide as its text.
  void checkGroupTitle(const QGroupBox& box) {
    if (box.title().isEmpty()) return;
    QStyleOptionGroupBox option;
    option.initFrom(&box);
    option.text = box.title();
    option.textAlignment = box.alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box.isCheckable()) option.subControls |= QStyle::SC_GroupBoxCheckBox;
    if (box.isFlat()) option.features |= QStyleOptionFrame::Flat;
    const QRect title = box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
    const int textWidth = QFontMetrics(box.font()).horizontalAdvance(shownText(box.title(), true));
    if (!box.rect().contains(title) || title.width() < textWidth) {
      add(box, QStringLiteral("title \"%1\" runs over the group's %2 px").arg(box.title()).arg(box.width()));
    }
  }

  void checkTabs(const QTabWidget& tabs) {
    const QTabBar& bar = *tabs.tabBar();
    const QFontMetrics metrics(bar.font());
    const int padding = bar.style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, &bar);
    for (int i = 0; i < bar.count(); ++i) {
      if (!bar.isTabVisible(i)) continue;
      const QString text = shownText(bar.tabText(i), true);
      const QRect tab = bar.tabRect(i);
      const int width = metrics.horizontalAdvance(text) + padding;
      if (tab.width() < width) {
        add(tabs, QStringLiteral("tab \"%1\" needs %2 px, has %3 px").arg(text).arg(width).arg(tab.width()));
      } else if (!bar.rect().contains(tab)) {
        add(tabs, QStringLiteral("tab \"%1\" runs past the tab bar's %2 px").arg(text).arg(bar.width()));
      }
    }
  }

  void checkButton(const QAbstractButton& button) {
    const QString text = shownText(button.text(), true);
    if (text.isEmpty()) return;
    const QFontMetrics metrics(button.font());
    const QStyle& style = *button.style();
    const int iconWidth = button.icon().isNull() ? 0 : button.iconSize().width() + 4;
    int width = metrics.horizontalAdvance(text) + iconWidth;
    if (qobject_cast<const QCheckBox*>(&button)) {
      width += style.pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &button) +
               style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &button);
    } else if (qobject_cast<const QRadioButton*>(&button)) {
      width += style.pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, &button) +
               style.pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, &button);
    } else if (auto* tool = qobject_cast<const QToolButton*>(&button)) {
      if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly) return;
      width = tool->sizeHint().width();
    } else {
      // The room a push button's own size hint gives its text.
      width += style.pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button) +
               2 * style.pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &button);
    }
    needs(button, text, width, metrics.height(), button.size());
  }

  // A caption stands right before its control on the same line, or right above it.
  void checkBesideBuddy(const QLabel& label, const QWidget& buddy) {
    const QRect caption = placeOf(label);
    const QRect control = placeOf(buddy);
    const int textWidth = widestLine(QFontMetrics(label.font()), shownText(label.text(), true));
    const QRect room = label.contentsRect().translated(caption.topLeft());
    const Qt::Alignment alignment = QStyle::visualAlignment(label.layoutDirection(), label.alignment());
    const int textLeft = alignment & Qt::AlignRight     ? room.right() + 1 - textWidth
                         : alignment & Qt::AlignHCenter ? room.center().x() - textWidth / 2
                                                        : room.left();
    const int textRight = textLeft + textWidth;
    const auto near = [](int gap) { return gap >= 0 && gap <= kNearPx; };
    const bool sameLine = caption.center().y() >= control.top() && caption.center().y() <= control.bottom();
    const bool besideIt = sameLine && near(control.left() - textRight);
    const bool aboveIt = near(control.top() - caption.bottom() - 1) && std::abs(textLeft - control.left()) <= kNearPx;
    if (!besideIt && !aboveIt) {
      add(label, QStringLiteral("caption stands apart from %1 (text %2..%3, control at %4,%5)")
                     .arg(nameOf(buddy))
                     .arg(textLeft)
                     .arg(textRight)
                     .arg(control.left())
                     .arg(control.top()));
    }
  }

  void checkApart(const QWidget& a, const QWidget& b) {
    if (a.isAncestorOf(&b) || b.isAncestorOf(&a)) return;
    const QRect common = placeOf(a).intersected(placeOf(b));
    if (!common.isEmpty()) {
      findings_ << QStringLiteral("%1 and %2 overlap over %3 x %4 px")
                       .arg(nameOf(a), nameOf(b))
                       .arg(common.width())
                       .arg(common.height());
    }
  }

  const QWidget& window_;
  std::vector<const QWidget*> controls_;
  QStringList findings_;
};

}  // namespace

QStringList layoutFindings(const QWidget& window) { return Reader(window).read(); }

}  // namespace vekrano::app::testing
