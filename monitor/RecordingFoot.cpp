#include "RecordingFoot.h"

#include <QFontMetrics>

namespace monitor {

QString RecordingFootText(const QFontMetrics& metrics, int width, const QString& caption,
                          const QString& file, const QString& marks) {
  const QString tail = marks.isEmpty() ? QString() : QStringLiteral("   ") + marks;
  const QString bullet = QStringLiteral("\u25CF ");
  const QString whole = bullet + caption + QStringLiteral(": ") + file + tail;
  if (metrics.horizontalAdvance(whole) <= width) return whole;
  const QString compact = bullet + file + tail;
  if (metrics.horizontalAdvance(compact) <= width) return compact;
  return metrics.elidedText(compact, Qt::ElideRight, width);
}

}  // namespace monitor
