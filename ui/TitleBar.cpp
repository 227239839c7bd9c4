#include "TitleBar.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QString>

int TitleBarWidth(const QString& title) {
  QFont font = QApplication::font("QMdiSubWindowTitleBar");
  font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(title) + kTitleBarDecorationWidth;
}
