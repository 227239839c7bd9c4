// One copy of the program at a time. The first copy holds a lock file and
// listens on a local socket, both named after "OXTMutexName" in the user's
// runtime folder; a second copy finds the lock taken, asks the first one over
// the socket to bring its active window to the front, and ends.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  explicit SingleInstance(const QString& name = QStringLiteral("OXTMutexName"),
                          QObject* parent = nullptr);
  ~SingleInstance() override;

  // false when another copy holds the lock; true otherwise (also when no
  // lock can be made at all), and this copy then answers later copies.
  bool Claim();
  // Asks the running copy to come to the front; false when it did not answer.
  bool BringRunningCopyForward();

  // The window a request brings forward: the modal window on top if there is
  // one, else the active window, else the main window. A minimised window
  // comes back as it was before (maximised stays maximised).
  static void RaiseActiveWindow();

 protected:
  // Notes each top-level window's state while it is not minimised, since a
  // window manager may forget "maximised" while a window is minimised.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnNewConnection();

  QString lockPath_;
  QString socketPath_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer server_;
};
