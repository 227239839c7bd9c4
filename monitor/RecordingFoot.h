// The live view's foot line while it records: what is recorded, the log's
// file name and the markers set by hand, in a label of fixed width.
#pragma once

#include <QString>

class QFontMetrics;

namespace monitor {

// "● caption: file   marks" when it fits in width; otherwise the caption
// goes first, so the file name stays whole ("● file   marks"); only a name
// too long even then is cut at its end. marks may be empty (none set yet).
QString RecordingFootText(const QFontMetrics& metrics, int width, const QString& caption,
                          const QString& file, const QString& marks);

}  // namespace monitor
