// Helpers for the shell's tests: settings kept in a temporary folder, program
// folders with a chosen link library and dictionary, dictionary tables written
// on the spot, an in-process link stand-in, and answers for the splash.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "EcuLink.h"

class ConfCar;
class GlobalData;
class ScopedMessageBoxCapture;

// Points QSettings at a temporary folder for the life of the object, so no
// test touches the real user's settings.
class SettingsSandbox {
 public:
  SettingsSandbox();
  ~SettingsSandbox();
  QString Folder() const { return dir_.path(); }
  // The file the program's settings land in.
  QString SettingsFile() const;
  // Writes values as a previous run would have left them.
  void Store(const QString& mainPath, const QVariant& language, const QVariant& stat1);

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

// An in-process link that is either connected or not and records nothing.
class StubLink final : public ecu::EcuLink {
 public:
  int connected = 0;
  int GetPortInUse() override { return 0; }
  void SetStartOptionA(int) override {}
  void SetStartOptionB(int) override {}
  void AttachScreen(ecu::ConnectionSink*) override {}
  int IsConnected() override { return connected; }
  bool Connect() override { return false; }
  void Disconnect() override {}
  bool ReadParameter(std::uint32_t, std::int32_t*) override { return false; }
  bool ReadLiveBlock(int, std::uint8_t*, int) override { return false; }
  bool WriteParameter(std::uint32_t, std::int32_t) override { return false; }
  bool WriteParameterElement(std::uint32_t, int, std::int32_t) override { return false; }
  bool ReadIdentification(ecu::Identification*) override { return false; }
  bool OpenLink() override { return false; }
  void SetIndicatorOutput(int, int) override {}
};

// The process-wide objects a window needs (store, settings, link), set up in
// Process() for the life of the object and cleared afterwards.
class ProcessFixture {
 public:
  explicit ProcessFixture(const QString& programFolder, int storedLanguage = 0);
  ~ProcessFixture();
  GlobalData& Settings() { return *settings_; }
  ConfCar& Store() { return *store_; }
  StubLink link;

 private:
  SettingsSandbox sandbox_;
  std::unique_ptr<ConfCar> store_;
  std::unique_ptr<GlobalData> settings_;
};

// How the next splash is closed.
enum class SplashAnswer { Enter, Escape };
// Closes the next modal splash as soon as it shows: with a key, or by clicking
// the language button at buttonIndex (when >= 0).
void AnswerNextSplash(SplashAnswer answer, int buttonIndex = -1);

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
