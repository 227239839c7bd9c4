// Helpers for the shell's tests: the process-wide objects set up for a test,
// and answers for the splash.
#pragma once

#include <QString>
#include <memory>

#include "StubLink.h"
#include "WindowTestSupport.h"

class ConfCar;
class GlobalData;

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
