#include "FittedText.h"

#include <QFontMetrics>
#include <QLabel>

void SetFittedText(QLabel* label, const QString& text) {
  const QFontMetrics metrics(label->font());
  const int room = label->contentsRect().width() - 2 * label->margin();
  if (text.contains(QLatin1Char('\n')) || metrics.horizontalAdvance(text) <= room) {
    label->setText(text);
    label->setToolTip(QString());
    return;
  }
  label->setText(metrics.elidedText(text, Qt::ElideRight, room));
  label->setToolTip(text);
}
