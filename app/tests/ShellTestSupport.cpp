#include "ShellTestSupport.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "ConfCar.h"
#include "FormMain.h"
#include "GlobalData.h"
#include "ProcessObjects.h"
#include "Splash.h"
#include "Startup.h"

ProcessFixture::ProcessFixture(const QString& programFolder, int storedLanguage) {
  sandbox_.Store(programFolder, storedLanguage, 0);
  SetProgramFolder(programFolder);
  store_ = std::make_unique<ConfCar>("default.dmr");
  int goOn = 1;
  settings_ = std::make_unique<GlobalData>(goOn);
  Process().store = store_.get();
  Process().settings = settings_.get();
  Process().link = &link;
  store_->SetLink(&link);
}

ProcessFixture::~ProcessFixture() {
  Process() = ProcessObjects{};
  settings_->DiscardWithoutSaving();
  SetProgramFolder(QString());
}

void AnswerNextSplash(SplashAnswer answer, int buttonIndex) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(0);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, answer, buttonIndex] {
    auto* splash = qobject_cast<TFormSplash*>(QApplication::activeModalWidget());
    if (splash == nullptr) return;
    timer->stop();
    timer->deleteLater();
    if (buttonIndex >= 0) {
      QList<QToolButton*> buttons;
      for (QToolButton* button : splash->ToolBarLingue->findChildren<QToolButton*>()) {
        if (button->property("Tag").isValid()) buttons.append(button);
      }
      QTest::mouseClick(buttons.at(buttonIndex), Qt::LeftButton);
    } else if (answer == SplashAnswer::Enter) {
      QTest::keyClick(splash, Qt::Key_Return);
    } else {
      QTest::keyClick(splash, Qt::Key_Escape);
    }
  });
  timer->start();
}

// Runs the whole program on the ECU at port, the splash answered with Enter.
// Once the main window is up with nothing modal over it, step runs; then the
// window is closed, unless the step leaves the program to end by itself.
// Returns false when the time limit had to end the session.
SessionFixture::SessionFixture() {
  sandbox_.Store(QStringLiteral("/old"), 0, 5);
  ready_ = folder_.AddLinkLibrary(QStringLiteral(PROGRAM_FOLDER)) &&
           folder_.AddBuiltDictionaryAndFlags();
  SetProgramFolder(folder_.Path());
}

SessionFixture::~SessionFixture() {
  SetProgramFolder(QString());
}

bool RunSession(const QString& port, const std::function<void(TFormMain&)>& step,
                bool closeAfterStep) {
  qputenv("SEROXT_PORT", QFile::encodeName(port));
  AnswerNextSplash(SplashAnswer::Enter);
  QTimer ready;
  ready.setInterval(10);
  QObject::connect(&ready, &QTimer::timeout, [&] {
    TFormMain* main = Process().mainWindow;
    if (main == nullptr || !main->isVisible() || QApplication::activeModalWidget() != nullptr)
      return;
    ready.stop();
    step(*main);
    if (closeAfterStep) main->close();
  });
  bool timedOut = false;
  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, [&] {
    timedOut = true;
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    if (Process().mainWindow != nullptr) Process().mainWindow->close();
  });
  ready.start();
  limit.start(kSessionLimitMs);
  RunProgram({});
  qunsetenv("SEROXT_PORT");
  return !timedOut;
}
