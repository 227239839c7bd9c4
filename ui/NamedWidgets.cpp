#include "NamedWidgets.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

namespace ui {

QLabel* MakeLabel(QWidget* parent, QAnyStringView name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

QLabel* MakeLabel(QWidget* parent, QAnyStringView name, const QString& text, const QRect& place) {
  QLabel* label = MakeLabel(parent, name, text);
  label->setGeometry(place);
  return label;
}

QPushButton* MakeButton(QWidget* parent, QAnyStringView name, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  return button;
}

QPushButton* MakeButton(QWidget* parent, QAnyStringView name, const QString& text,
                        const QRect& place) {
  QPushButton* button = MakeButton(parent, name, text);
  button->setGeometry(place);
  return button;
}

QString ShownCaption(QString caption) {
  caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  caption.remove(QLatin1Char('&'));
  caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return caption;
}

void KeepCaptionMargins(QPushButton* button) {
  QStyleOptionButton option;
  option.initFrom(button);
  const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
  const int caption = QFontMetrics(button->font()).horizontalAdvance(ShownCaption(button->text()));
  const int wanted = caption + 2 * margin;
  button->setMinimumWidth(std::max(button->sizeHint().width(), wanted));
}

}  // namespace ui
