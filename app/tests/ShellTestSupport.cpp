#include "ShellTestSupport.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "ConfCar.h"
#include "GlobalData.h"
#include "ProcessObjects.h"
#include "Splash.h"

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
