#include "NamedWidgets.h"

#include <QLabel>
#include <QPushButton>

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

}  // namespace ui
