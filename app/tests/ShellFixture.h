// A main window built on a scripted in-process link: the real dictionary in a
// program folder of its own, the settings in a sandbox, the splash answered
// with Enter, and the store's progress going to the active window as at
// start-up. Configure `link` first, then Start().
#pragma once

#include <QAction>
#include <memory>

#include "ConfCar.h"
#include "Events.h"
#include "FormMain.h"
#include "ProcessObjects.h"
#include "ScriptedLink.h"
#include "ShellTestSupport.h"

struct ShellFixture {
  ProgramFolderFixture folder;
  std::unique_ptr<ProcessFixture> process;
  ScriptedLink link;
  std::unique_ptr<TFormMain> main;

  ShellFixture() {
    folder.AddBuiltDictionaryAndFlags();
    process = std::make_unique<ProcessFixture>(folder.Path());
    Process().link = &link;
    process->Store().SetLink(&link);
    process->Store().SetProgressCallback(
        [](int percent, bool add) { SendProgressToActiveWindow(percent, add); });
  }
  ~ShellFixture() { main.reset(); }

  void Start(const QStringList& arguments = {}) {
    AnswerNextSplash(SplashAnswer::Enter);
    main = std::make_unique<TFormMain>(arguments);
  }
  ConfCar& Store() { return process->Store(); }
  QAction* Action(const char* name) const { return main->Action(QLatin1String(name)); }
  QString Text(const char* key) const { return main->MessageText(QLatin1String(key)); }
  // The raw value the scripted ECU gave the store for a parameter.
  std::int32_t ReadValue(int identifier) {
    return Store().RawImage()[static_cast<std::size_t>(Store().MemberAddress(identifier))];
  }
  static std::int32_t EcuValue(int identifier) {
    return ScriptedLink::ValueAt(ecu::CodeAddress(ConfCar::ParameterCode(identifier)));
  }
};
