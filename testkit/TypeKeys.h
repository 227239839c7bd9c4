// Typing for window tests: key by key, as a keyboard would, characters beyond
// ASCII too (QTest::keyClicks takes only ASCII).
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QString>
#include <QWidget>

inline void Type(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &release);
  }
}
