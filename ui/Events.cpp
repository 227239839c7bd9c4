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
  const bool connected = static_cast<ConnectionStateEvent*>(event)->Connected();
  // The window active now hears it first. When there is none, or it does not
  // handle the news (a progress window, a file dialog), the main window does:
  // a lost cable must never go unnoticed.
  QWidget* window = QApplication::activeWindow();
  if (window != nullptr) {
    ConnectionStateEvent forwarded(connected);
    forwarded.ignore();  // a window that handles the news accepts it
    QCoreApplication::sendEvent(window, &forwarded);
    if (forwarded.isAccepted()) return;
  }
  QWidget* main = fallback_ ? fallback_() : nullptr;
  if (main != nullptr && main != window) {
    ConnectionStateEvent forwarded(connected);
    QCoreApplication::sendEvent(main, &forwarded);
  }
}
