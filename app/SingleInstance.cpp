#include "SingleInstance.h"

#include <QApplication>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QWidget>

#include "FormMain.h"
#include "ProcessObjects.h"

namespace {
const QByteArray kRaiseRequest = "raise\n";
constexpr int kAnswerWaitMs = 2000;
// The state a window had when last shown on screen (maximised, full screen).
const char* const kShownStateProperty = "shownWindowState";
constexpr Qt::WindowStates kShownStates = Qt::WindowMaximized | Qt::WindowFullScreen;

// Back from minimised to the state noted before, or, when none was noted,
// to what the window's state says besides "minimised".
void RestoreFromMinimised(QWidget* window) {
  Qt::WindowStates restored = window->windowState() & ~Qt::WindowMinimized;
  const QVariant shown = window->property(kShownStateProperty);
  if (shown.isValid()) restored = (restored & ~kShownStates) | Qt::WindowStates(shown.toInt());
  window->setWindowState(restored);
  window->show();
}

QString RuntimeFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return folder;
}
}  // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent) {
  const QDir folder(RuntimeFolder());
  lockPath_ = folder.filePath(name + QStringLiteral(".lock"));
  socketPath_ = folder.filePath(name + QStringLiteral(".socket"));
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
}

SingleInstance::~SingleInstance() {
  server_.close();
  if (lock_) lock_->unlock();
}

bool SingleInstance::Claim() {
  lock_ = std::make_unique<QLockFile>(lockPath_);
  // A lock left by a copy that no longer runs is taken over.
  lock_->setStaleLockTime(0);
  if (!lock_->tryLock(0)) {
    const bool heldByAnotherCopy = lock_->error() == QLockFile::LockFailedError;
    lock_.reset();
    // A lock that cannot be made at all (no such folder, no room, no
    // permission) says nothing about another copy: the program runs.
    if (heldByAnotherCopy) return false;
  }
  if (qApp != nullptr) qApp->installEventFilter(this);
  QLocalServer::removeServer(socketPath_);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  server_.listen(socketPath_);
  return true;
}

bool SingleInstance::BringRunningCopyForward() {
  QLocalSocket socket;
  socket.connectToServer(socketPath_);
  if (!socket.waitForConnected(kAnswerWaitMs)) return false;
  socket.write(kRaiseRequest);
  if (!socket.waitForBytesWritten(kAnswerWaitMs)) return false;
  const bool answered = socket.waitForReadyRead(kAnswerWaitMs);
  socket.disconnectFromServer();
  return answered;
}

bool SingleInstance::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::WindowStateChange && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    const Qt::WindowStates state = widget->windowState();
    if (widget->isWindow() && !(state & Qt::WindowMinimized)) {
      widget->setProperty(kShownStateProperty, static_cast<int>(state & kShownStates));
    }
  }
  return QObject::eventFilter(watched, event);
}

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, socket, [socket] {
      if (!socket->canReadLine()) return;
      const QByteArray request = socket->readLine();
      if (request == kRaiseRequest) {
        RaiseActiveWindow();
        socket->write("ok\n");
        socket->flush();
      }
    });
  }
}

void SingleInstance::RaiseActiveWindow() {
  QWidget* window = QApplication::activeModalWidget();
  if (window == nullptr) window = QApplication::activeWindow();
  if (window == nullptr) window = Process().mainWindow;
  if (window == nullptr) return;
  if (window->isMinimized()) RestoreFromMinimised(window);
  window->raise();
  window->activateWindow();
}
