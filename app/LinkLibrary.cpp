#include "LinkLibrary.h"

#include <QDir>

LinkLibrary::~LinkLibrary() {
  Unload();
}

bool LinkLibrary::Load(const QString& folder) {
  library_.setFileName(QDir(folder).filePath(QStringLiteral(ECU_LINK_LIBRARY_FILE)));
  if (library_.load()) return true;
  error_ = library_.errorString();
  return false;
}

ecu::EcuLink* LinkLibrary::CreateLink() {
  const auto create =
      reinterpret_cast<CreateClassInstanceFn>(library_.resolve(ECU_LINK_CREATE_SYMBOL));
  destroy_ = reinterpret_cast<DestroyClassInstanceFn>(library_.resolve(ECU_LINK_DESTROY_SYMBOL));
  lastFailure_ = reinterpret_cast<GetLastFailureTextFn>(library_.resolve(ECU_LINK_FAILURE_SYMBOL));
  lastFailureKind_ =
      reinterpret_cast<GetLastFailureKindFn>(library_.resolve(ECU_LINK_FAILURE_KIND_SYMBOL));
  if (create == nullptr) {
    error_ = QString::fromUtf8(
                 "La libreria di collegamento %1 non è utilizzabile: manca la funzione %2.\n"
                 "Impossibile continuare.")
                 .arg(QDir::toNativeSeparators(library_.fileName()),
                      QStringLiteral(ECU_LINK_CREATE_SYMBOL));
    return nullptr;
  }
  ecu::EcuLink* link = create();
  if (link == nullptr) {
    error_ = QString::fromUtf8(
                 "La libreria di collegamento %1 non ha fornito il collegamento con la "
                 "centralina.\nImpossibile continuare.")
                 .arg(QDir::toNativeSeparators(library_.fileName()));
  }
  return link;
}

void LinkLibrary::DestroyLink(ecu::EcuLink* link) {
  if (destroy_ != nullptr && link != nullptr) destroy_(link);
}

QString LinkLibrary::LastFailure() const {
  if (lastFailure_ == nullptr) return QString();
  QByteArray text(256, '\0');
  const int length = lastFailure_(text.data(), static_cast<int>(text.size()));
  if (length <= 0) return QString();
  if (length >= text.size()) {  // longer than the first guess: ask again
    text.resize(length + 1);
    lastFailure_(text.data(), static_cast<int>(text.size()));
  }
  return QString::fromUtf8(text.constData(), qMin(length, static_cast<int>(text.size()) - 1));
}

LinkFailure LinkLibrary::LastFailureDetail() const {
  LinkFailure failure;
  failure.text = LastFailure();
  if (lastFailureKind_ == nullptr) {
    failure.kind = failure.text.isEmpty() ? ecu::kFailureNone : ecu::kFailureOther;
    return failure;
  }
  // Room for any path the system allows and any group name.
  QByteArray port(4096, '\0');
  QByteArray group(256, '\0');
  failure.kind = lastFailureKind_(port.data(), static_cast<int>(port.size()), group.data(),
                                  static_cast<int>(group.size()), &failure.number);
  failure.port = QString::fromUtf8(port.constData());
  failure.group = QString::fromUtf8(group.constData());
  return failure;
}

void LinkLibrary::Unload() {
  destroy_ = nullptr;
  lastFailure_ = nullptr;
  lastFailureKind_ = nullptr;
  if (library_.isLoaded()) library_.unload();
}
