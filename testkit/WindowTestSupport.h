// Helpers for every window test: settings kept in a temporary folder, program
// folders with a chosen link library and dictionary, dictionary tables written
// on the spot, and actions on the next modal window.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

// Points QSettings at a temporary folder for the life of the object, so no
// test touches the real user's settings nor sees the machine's installed
// defaults (system-wide settings live in a folder of their own inside it).
class SettingsSandbox {
 public:
  SettingsSandbox();
  ~SettingsSandbox();
  QString Folder() const { return dir_.path(); }
  // The file the program's settings land in.
  QString SettingsFile() const;
  // Writes values as a previous run would have left them.
  void Store(const QString& mainPath, const QVariant& language, const QVariant& stat1);
  // Writes the user's settings file, or the system-wide one (the defaults an
  // installation provides), with exactly this text.
  void WriteUserFile(const QByteArray& text) const;
  void WriteSystemFile(const QByteArray& text) const;

 private:
  QTemporaryDir dir_;
};

// Writes a dBase dictionary: fields[0] is the key column, each row one key
// followed by one text per further field.
bool WriteDictionary(const QString& path, const QStringList& fields,
                     const QList<QStringList>& rows);

// A program folder in a temporary directory.
class ProgramFolderFixture {
 public:
  ProgramFolderFixture();
  QString Path() const { return dir_.path(); }
  // Copies the link library stand-in from one of the test build folders.
  bool AddLinkLibrary(const QString& fromFolder);
  // Copies the real dictionary and flags from the build.
  bool AddBuiltDictionaryAndFlags();

 private:
  QTemporaryDir dir_;
};

class QWidget;

// Turns the mouse wheel by notches (120 each; negative is towards the user,
// "down") with the pointer over the middle of widget, delivered as the
// window system delivers it: Qt then gives the focus to a widget that takes
// it by wheel before anyone sees the event, as it does for a real mouse.
void TurnWheelOver(QWidget* widget, int notches);

// With MV_SCREENSHOTS set to a folder, keeps a picture of the window there as
// name.png; without it, does nothing.
void Screenshot(QWidget* window, const QString& name);

// Runs action on the next modal window of type Window as soon as it shows.
template <class Window, class Action>
void WhenModal(Action action);

#include <QApplication>
#include <QTimer>

template <class Window, class Action>
void WhenModal(Action action) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(0);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
    auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
    if (window == nullptr || !window->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    action(window);
  });
  timer->start();
}
