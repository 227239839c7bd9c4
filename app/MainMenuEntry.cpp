#include "MainMenuEntry.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPalette>

QFont MainEntryFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Bookman Old Style"), QStringLiteral("URW Bookman"),
                    QStringLiteral("DejaVu Serif")});
  font.setPixelSize(27);
  font.setBold(true);
  font.setItalic(true);
  return font;
}

MainMenuEntry::MainMenuEntry(const QString& name, const QString& caption, int index,
                             QWidget* parent)
    : QLabel(caption, parent), tag_(index) {
  setObjectName(name);
  setFont(MainEntryFont());
  setCursor(Qt::PointingHandCursor);
  setAttribute(Qt::WA_TranslucentBackground);
  setMouseTracking(true);
  SetHighlighted(false);
  adjustSize();
}

void MainMenuEntry::SetHighlighted(bool on) {
  QFont f = font();
  f.setUnderline(on);
  setFont(f);
  QPalette p = palette();
  p.setColor(QPalette::WindowText,
             on ? QColor(255, 255, 0) : QApplication::palette().color(QPalette::Base));
  setPalette(p);
}

void MainMenuEntry::SetCaption(const QString& caption) {
  setText(caption);
  adjustSize();
}

void MainMenuEntry::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  emit Pointed(tag_);
}

void MainMenuEntry::mouseMoveEvent(QMouseEvent* event) {
  QLabel::mouseMoveEvent(event);
  emit Pointed(tag_);
}

void MainMenuEntry::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit Clicked(tag_);
  }
}
