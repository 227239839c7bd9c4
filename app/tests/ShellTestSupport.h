// Helpers for the shell's tests: the process-wide objects set up for a test,
// answers for the splash, and whole-program sessions against an ECU.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "StubLink.h"
#include "WindowTestSupport.h"

class ConfCar;
class GlobalData;
class TFormMain;

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

// What a whole-program session needs: settings in a sandbox as a previous run
// left them, and a program folder holding the real link library, dictionary
// and flags, made the program folder for the life of the object.
class SessionFixture {
 public:
  SessionFixture();
  ~SessionFixture();
  // false when the program folder could not be made.
  bool Ready() const { return ready_; }
  QString Folder() const { return folder_.Path(); }

 private:
  SettingsSandbox sandbox_;
  ProgramFolderFixture folder_;
  bool ready_ = false;
};

// No whole-program session may outlive this, whatever goes wrong.
constexpr int kSessionLimitMs = 20000;

// Runs the whole program on the ECU at port, the splash answered with Enter.
// Once the main window is up with nothing modal over it, step runs; then the
// window is closed, unless the step leaves the program to end by itself.
// Returns false when the time limit had to end the session.
bool RunSession(const QString& port, const std::function<void(TFormMain&)>& step,
                bool closeAfterStep = true);
