#include "TextFit.h"

#include "NamedWidgets.h"
#include "TitleBar.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

QString Describe(const QWidget* widget, const QString& text) {
  const QString name = widget->objectName().isEmpty()
                           ? QString::fromLatin1(widget->metaObject()->className())
                           : widget->objectName();
  return name + QStringLiteral(" \"") + text + QStringLiteral("\"");
}

// The widest line of a text, as the widget's font draws it.
int TextWidth(const QFontMetrics& metrics, const QString& text) {
  int widest = 0;
  for (const QString& line : text.split(QLatin1Char('\n')))
    widest = qMax(widest, metrics.horizontalAdvance(line));
  return widest;
}

void CheckLabel(const QLabel* label, QStringList* problems) {
  if (label->text().isEmpty() || label->textFormat() == Qt::RichText) return;
  const QFontMetrics metrics(label->font());
  const int margins = 2 * label->margin() + qMax(0, label->indent());
  const int room = label->contentsRect().width() - margins;
  if (label->wordWrap()) {
    // A wrapped text needs its height, and no single word may be wider.
    const QRect needed = metrics.boundingRect(QRect(0, 0, room, 100000),
                                              Qt::TextWordWrap | label->alignment(), label->text());
    int longestWord = 0;
    for (const QString& word : label->text().split(QRegularExpression(QStringLiteral("\\s+"))))
      longestWord = qMax(longestWord, metrics.horizontalAdvance(word));
    if (needed.height() > label->contentsRect().height() || longestWord > room) {
      problems->append(Describe(label, label->text()) +
                       QStringLiteral(": wrapped it needs %1 x %2, the label has %3 x %4")
                           .arg(longestWord)
                           .arg(needed.height())
                           .arg(room)
                           .arg(label->contentsRect().height()));
    }
    return;
  }
  const int width = TextWidth(metrics, label->text());
  if (width > room) {
    problems->append(Describe(label, label->text()) +
                     QStringLiteral(": %1 pixels wide, the label %2").arg(width).arg(room));
  }
}

void CheckButton(const QPushButton* button, QStringList* problems) {
  if (button->text().isEmpty()) return;
  QStyleOptionButton option;
  option.initFrom(button);
  const QString caption = ui::ShownCaption(button->text());
  const int textWidth = QFontMetrics(button->font()).horizontalAdvance(caption);
  // The frame and padding the style puts around a caption.
  const int frame = 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
  if (textWidth + frame > button->width()) {
    problems->append(Describe(button, button->text()) +
                     QStringLiteral(": needs %1 pixels with its frame, the button has %2")
                         .arg(textWidth + frame)
                         .arg(button->width()));
  }
}

// Inside the window: a text that fits its control but runs off the window
// is cut all the same. area: where the text is drawn, in the widget.
void CheckInsideWindow(const QWidget* widget, const QRect& area, const QWidget* window,
                       const QString& text, QStringList* problems) {
  const QRect inWindow(widget->mapTo(window, area.topLeft()), area.size());
  if (!window->rect().contains(inWindow)) {
    problems->append(Describe(widget, text) +
                     QStringLiteral(": reaches %1, past the window's edge at %2")
                         .arg(inWindow.right())
                         .arg(window->rect().right()));
  }
}

// A text drawn over a frame (a box around a group of rows) starts and ends
// inside it. drawn: where the text is, in the widget's parent.
void CheckInsideFrames(const QWidget* widget, const QRect& drawn, const QString& text,
                       QStringList* problems) {
  const QWidget* parent = widget->parentWidget();
  if (parent == nullptr) return;
  for (const QFrame* frame : parent->findChildren<QFrame*>(Qt::FindDirectChildrenOnly)) {
    if (frame->metaObject() != &QFrame::staticMetaObject || !frame->isVisible() ||
        frame->frameShape() == QFrame::NoFrame)
      continue;
    const QRect inside = frame->geometry();
    if (!inside.contains(QPoint(drawn.left(), drawn.center().y())) || inside.contains(drawn))
      continue;
    problems->append(Describe(widget, text) +
                     QStringLiteral(": reaches %1, past the edge of %2 at %3")
                         .arg(drawn.right())
                         .arg(frame->objectName())
                         .arg(inside.right()));
  }
}

}  // namespace

QStringList TextFitProblems(const QWidget* window) {
  QStringList problems;
  for (const QLabel* label : window->findChildren<QLabel*>()) {
    if (!label->isVisibleTo(window)) continue;
    CheckLabel(label, &problems);
    if (label->text().isEmpty() || label->wordWrap()) continue;
    // A label may reach past the window's edge; its text must not.
    const QSize textSize(TextWidth(QFontMetrics(label->font()), label->text()), 1);
    const QRect drawn = QStyle::alignedRect(label->layoutDirection(),
                                            label->alignment() & Qt::AlignHorizontal_Mask,
                                            textSize, label->contentsRect());
    CheckInsideWindow(label, drawn, window, label->text(), &problems);
    CheckInsideFrames(label, drawn.translated(label->pos()), label->text(), &problems);
  }
  for (const QPushButton* button : window->findChildren<QPushButton*>()) {
    if (!button->isVisibleTo(window)) continue;
    CheckButton(button, &problems);
    CheckInsideWindow(button, button->rect(), window, button->text(), &problems);
  }
  const QString title = window->windowTitle();
  if (!title.isEmpty() && !(window->windowFlags() & Qt::FramelessWindowHint)) {
    const int width = TitleBarWidth(title);
    if (width > window->frameGeometry().width()) {
      problems.append(QStringLiteral("title \"") + title +
                       QStringLiteral("\": %1 pixels wide with the title bar's buttons, the "
                                      "window %2")
                           .arg(width)
                           .arg(window->frameGeometry().width()));
    }
  }
  return problems;
}
