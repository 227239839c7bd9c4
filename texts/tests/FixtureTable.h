// Small dictionary tables for the tests, written with shapelib the same way
// the build writes the real one (UTF-8 texts, "UTF-8" .cpg file).
#pragma once

#include <shapefil.h>

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

// fields: the column names; rows: one cell per column.
inline bool WriteFixtureTable(const QString& path, const QStringList& fields,
                              const QList<QStringList>& rows) {
  DBFHandle dbf = DBFCreateEx(QFile::encodeName(path).constData(), "UTF-8");
  if (dbf == nullptr) return false;
  bool ok = true;
  for (const QString& field : fields)
    ok = ok && DBFAddField(dbf, field.toLatin1().constData(), FTString, 120, 0) >= 0;
  for (int r = 0; ok && r < rows.size(); ++r) {
    for (int c = 0; ok && c < rows[r].size(); ++c)
      ok = DBFWriteStringAttribute(dbf, r, c, rows[r][c].toUtf8().constData()) != 0;
  }
  DBFClose(dbf);
  return ok;
}
