// Read-only access to one dBase table through shapelib: its field names and
// the text of a cell, with the rows indexed by the key column for lookups.
// Texts are stored as UTF-8 (the table carries a "UTF-8" .cpg file beside it
// and language driver byte 0) and decoded with QString::fromUtf8.
#pragma once

#include <shapefil.h>

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

class DbfTable {
 public:
  DbfTable() = default;
  ~DbfTable();
  DbfTable(const DbfTable&) = delete;
  DbfTable& operator=(const DbfTable&) = delete;

  // Opens the file for reading; false when it is missing or not a dBase table.
  bool Open(const QString& path);
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }

  QStringList FieldNames() const { return fields_; }
  // The rows the file really holds (a damaged header may claim more).
  int RowCount() const { return rowCount_; }

  // Indexes the rows by the field named keyField (first row wins for a key
  // that appears twice); false when there is no such field.
  bool IndexBy(const QString& keyField);

  // The text in field for the indexed row whose key is key; nullopt when the
  // key or the field does not exist or the cell is empty.
  std::optional<QString> Cell(const QString& key, const QString& field) const;

 private:
  int FieldIndex(const QString& field) const;

  DBFHandle handle_ = nullptr;
  QStringList fields_;
  int rowCount_ = 0;
  QHash<QString, int> rowOfKey_;
};
