// A Qt plugin that rides along in a real start of the installed program, so
// the install test sees what a user would see without any test hook inside
// the program. Loaded with QT_PLUGIN_PATH=<folder> QT_QPA_GENERIC_PLUGINS=
// startprobe, it reports on standard error, one "start-probe:" line each:
//   - every message box, which it then closes (so a failure cannot hang);
//   - the splash's language buttons and how many show a flag, then it picks
//     English (the button tagged 1);
//   - the main window's title and its menu caption, then it closes the main
//     window, which ends the program the normal way.
#include <QApplication>
#include <QGenericPlugin>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

namespace {
constexpr int kEnglishTag = 1;

void Report(const QString& line) {
  std::fprintf(stderr, "start-probe: %s\n", qPrintable(line));
  std::fflush(stderr);
}

class StartProbe : public QObject {
 public:
  StartProbe() {
    auto* timer = new QTimer(this);
    timer->setInterval(100);
    connect(timer, &QTimer::timeout, this, &StartProbe::Look);
    timer->start();
  }

 private:
  void Look() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      Report(QStringLiteral("message box '%1': %2").arg(box->windowTitle(), box->text()));
      box->reject();
      return;
    }
    if (modal != nullptr && modal->inherits("TFormSplash")) {
      AnswerSplash(*modal);
      return;
    }
    if (modal != nullptr) return;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (!window->inherits("TFormMain") || !window->isVisible()) continue;
      // One more look, so the start-up's first idle moment has passed.
      if (!mainSeen_) {
        mainSeen_ = true;
        return;
      }
      const auto* menu = window->findChild<QLabel*>(QStringLiteral("LabelMenu"));
      Report(QStringLiteral("main window '%1', menu '%2'")
                 .arg(window->windowTitle(), menu != nullptr ? menu->text() : QString()));
      window->close();
      return;
    }
  }

  void AnswerSplash(QWidget& splash) {
    int buttons = 0;
    int flags = 0;
    QToolButton* english = nullptr;
    for (QToolButton* button : splash.findChildren<QToolButton*>()) {
      const QVariant tag = button->property("Tag");
      if (!tag.isValid()) continue;
      ++buttons;
      if (!button->icon().isNull()) ++flags;
      if (tag.toInt() == kEnglishTag) english = button;
    }
    Report(QStringLiteral("splash: %1 languages, %2 with a flag").arg(buttons).arg(flags));
    if (english != nullptr) {
      english->click();
    } else {
      splash.close();
    }
  }

  bool mainSeen_ = false;
};

}  // namespace

class StartProbePlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "StartProbe.json")

 public:
  QObject* create(const QString& key, const QString&) override {
    if (key.compare(QLatin1String("startprobe"), Qt::CaseInsensitive) != 0) return nullptr;
    return new StartProbe;
  }
};

#include "StartProbe.moc"
