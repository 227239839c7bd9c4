#include "Events.h"

#include <QApplication>
#include <QWidget>

void SendProgressToActiveWindow(int percent, bool add) {
  QWidget* window = QApplication::activeWindow();
  if (window == nullptr) return;
  ProgressEvent event(percent, add);
  QCoreApplication::sendEvent(window, &event);
}

void ConnectionStateRelay::ConnectionChanged(bool connected) {
  QCoreApplication::postEvent(this, new ConnectionStateEvent(connected));
}

void ConnectionStateRelay::customEvent(QEvent* event) {
  if (event->type() != kConnectionStateEventType) return;
  QWidget* window = QApplication::activeWindow();
  if (window == nullptr) return;
  ConnectionStateEvent forwarded(static_cast<ConnectionStateEvent*>(event)->Connected());
  QCoreApplication::sendEvent(window, &forwarded);
}
