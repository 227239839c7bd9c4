#include "ProcessObjects.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {
ProcessObjects objects;
}  // namespace

ProcessObjects& Process() {
  return objects;
}

QString LinkFailureText() {
  return objects.linkFailure ? objects.linkFailure() : QString();
}

void RequestTermination() {
  objects.terminationRequested = true;
  // Queued, so that a request made before the loop starts ends it at once.
  if (QCoreApplication::instance() != nullptr) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
  }
}
