#include "DbfTable.h"

#include <QFile>

DbfTable::~DbfTable() {
  Close();
}

bool DbfTable::Open(const QString& path) {
  Close();
  handle_ = DBFOpen(QFile::encodeName(path).constData(), "rb");
  if (handle_ == nullptr) return false;
  const int count = DBFGetFieldCount(handle_);
  for (int i = 0; i < count; ++i) {
    char name[XBASE_FLDNAME_LEN_READ + 1] = {};
    DBFGetFieldInfo(handle_, i, name, nullptr, nullptr);
    fields_.append(QString::fromLatin1(name).trimmed());
  }
  return true;
}

void DbfTable::Close() {
  if (handle_ != nullptr) DBFClose(handle_);
  handle_ = nullptr;
  fields_.clear();
  rowOfKey_.clear();
}

// dBase field names are compared without regard to case.
int DbfTable::FieldIndex(const QString& field) const {
  for (int i = 0; i < fields_.size(); ++i) {
    if (fields_[i].compare(field, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

bool DbfTable::IndexBy(const QString& keyField) {
  rowOfKey_.clear();
  if (handle_ == nullptr) return false;
  const int keyIndex = FieldIndex(keyField);
  if (keyIndex < 0) return false;
  const int rows = DBFGetRecordCount(handle_);
  for (int row = 0; row < rows; ++row) {
    if (DBFIsRecordDeleted(handle_, row)) continue;
    const char* raw = DBFReadStringAttribute(handle_, row, keyIndex);
    if (raw == nullptr) continue;
    const QString key = QString::fromUtf8(raw).trimmed();
    if (!key.isEmpty() && !rowOfKey_.contains(key)) rowOfKey_.insert(key, row);
  }
  return true;
}

std::optional<QString> DbfTable::Cell(const QString& key, const QString& field) const {
  if (handle_ == nullptr || field.isEmpty()) return std::nullopt;
  const auto row = rowOfKey_.constFind(key);
  const int fieldIndex = FieldIndex(field);
  if (row == rowOfKey_.constEnd() || fieldIndex < 0) return std::nullopt;
  const char* raw = DBFReadStringAttribute(handle_, *row, fieldIndex);
  if (raw == nullptr) return std::nullopt;
  QString text = QString::fromUtf8(raw);
  if (text.trimmed().isEmpty()) return std::nullopt;
  return text;
}
