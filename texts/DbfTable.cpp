#include "DbfTable.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {
// shapelib reports every failed read on the standard error. A damaged table is
// read as far as it goes or refused, and the caller says so to the user.
void IgnoreTableError(const char* /*message*/) {}
}  // namespace

DbfTable::~DbfTable() {
  Close();
}

bool DbfTable::Open(const QString& path) {
  Close();
  SAHooks hooks;
  SASetupDefaultHooks(&hooks);
  hooks.Error = IgnoreTableError;
  handle_ = DBFOpenLL(QFile::encodeName(path).constData(), "rb", &hooks);
  if (handle_ == nullptr) return false;
  // A damaged header may claim more rows than the file holds: reading up to
  // that count would go on for hours. Only whole rows in the file count.
  const qint64 body = QFileInfo(path).size() - handle_->nHeaderLength;
  const int recordLength = handle_->nRecordLength;
  rowCount_ = body > 0 && recordLength > 0
                  ? static_cast<int>(std::min<qint64>(std::max(0, DBFGetRecordCount(handle_)),
                                                      body / recordLength))
                  : 0;
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
  rowCount_ = 0;
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
  for (int row = 0; row < rowCount_; ++row) {
    if (DBFIsRecordDeleted(handle_, row)) continue;
    const char* raw = DBFReadStringAttribute(handle_, row, keyIndex);
    if (raw == nullptr) break;  // the rest of the file cannot be read
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
