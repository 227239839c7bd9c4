// Every window's texts fit, in every language of the real dictionary, on
// screens from 800 x 600 to 1920 x 1440, the wide 1366 x 768 and 1920 x 1080
// among them: one table of windows, each laid out offscreen as the program
// opens it, checked for labels, buttons and titles whose text does not fit,
// for accelerators ("&x") that two entries of a menu, or two controls shown
// together, share, and for a window larger than the screen. A new window is
// one more row of kWindows.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <memory>

#include "AboutBox.h"
#include "Accelerators.h"
#include "Confronta.h"
#include "Grafico.h"
#include "Officina.h"
#include "Rapporto.h"
#include "SchedaVettura.h"
#include "VehicleCard.h"
#include "Verifica.h"
#include "Diagnosi.h"
#include "FormEmulazione.h"
#include "FormSensore.h"
#include "MessageBoxes.h"
#include "FormConfOpt.h"
#include "FormConfSw.h"
#include "FormVettura.h"
#include "Indicatore.h"
#include "Visualizza.h"
#include "Events.h"
#include "Attendere.h"
#include "FormMain.h"
#include "Fileapri.h"
#include "FileSalva.h"
#include "Files.h"
#include "ModuloLingua.h"
#include "PasswordDlg.h"
#include "ProcessObjects.h"
#include "Scaling.h"
#include "ShellTestSupport.h"
#include "Splash.h"
#include "StartupWait.h"
#include "TextFit.h"

namespace {

using Problems = QStringList;

// A window that does not open maximised must fit the screen, or its lower
// buttons are out of reach.
Problems OffScreen(const QWidget* window) {
  if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return {};
  const QSize room = ScreenArea().size();
  if (window->width() <= room.width() && window->height() <= room.height()) return {};
  return {QStringLiteral("%1 x %2, larger than the screen's %3 x %4")
              .arg(window->width())
              .arg(window->height())
              .arg(room.width())
              .arg(room.height())};
}

// What is wrong with the texts of a window as it shows now.
Problems Look(const QWidget* window) {
  return TextFitProblems(window) + AcceleratorClashes(window) + OffScreen(window);
}

// The problems of a window once it is on screen.
Problems OnScreen(QWidget* window) {
  window->show();
  if (!QTest::qWaitForWindowExposed(window)) return {QStringLiteral("never shown")};
  return Look(window);
}

// Opens a modal window with open() and checks it while it shows.
template <class Window>
Problems WhileModal(const std::function<void()>& open,
                    Problems (*check)(const QWidget*) = Look) {
  Problems found{QStringLiteral("never opened")};
  WhenModal<Window>([&found, check](Window* window) {
    found = check(window);
    window->reject();
  });
  open();
  return found;
}

Problems MainWindow(TFormMain& main) {
  return Look(&main);
}

Problems ProgressWindow(TFormMain& main) {
  std::unique_ptr<QWidget> window(StartupWait::CreateWindow(main, false));
  ProgressEvent done(100, false);
  QCoreApplication::sendEvent(window.get(), &done);
  return OnScreen(window.get());
}

Problems WaitBanner(TFormMain& main) {
  std::unique_ptr<QWidget> window(StartupWait::CreateWindow(main, true));
  return OnScreen(window.get());
}

Problems Splash(TFormMain&) {
  TModuloLingua& language = *Process().language;
  TFormSplash splash;
  splash.LoadPicture();
  const QStringList fields = language.LanguageFields();
  const QList<QAction*> items = language.PopupMenuLingue()->actions();
  for (int i = 0; i < fields.size(); ++i)
    splash.AddLanguageButton(fields.at(i), items.at(i)->text(), i, ProgramFolder());
  splash.SetPrompt(language, fields.indexOf(language.SelectedColumn()));
  return OnScreen(&splash);
}

Problems AboutBox(TFormMain& main) {
  return WhileModal<TAboutBox>([&main] { main.Action(QStringLiteral("MenuAbout"))->trigger(); });
}

Problems CustomerCode(TFormMain& main) {
  return WhileModal<TPasswordDlg>([&main] { main.Action(QStringLiteral("ActionCli"))->trigger(); });
}

Problems FileManagement(TFormMain& main) {
  return WhileModal<TFormFile>(
      [&main] { main.Action(QStringLiteral("ActionGestioneFile"))->trigger(); });
}

// The load and save windows, opened from the file management window.
template <class Window>
Problems FromFileManagement(TFormMain& main, void (TFormFile::*command)()) {
  Problems found{QStringLiteral("never opened")};
  WhenModal<TFormFile>([&found, command](TFormFile* files) {
    found = WhileModal<Window>([files, command] { (files->*command)(); });
    files->reject();
  });
  main.Action(QStringLiteral("ActionGestioneFile"))->trigger();
  return found;
}

Problems LoadWindow(TFormMain& main) {
  return FromFileManagement<TFormApriFile>(main, &TFormFile::CaricaConf);
}

Problems SaveWindow(TFormMain& main) {
  return FromFileManagement<TFormFileSalva>(main, &TFormFile::SalvaConf);
}

// A tool window opened by the main window's action of that name.
template <class Window>
Problems ToolWindow(TFormMain& main, const char* action) {
  return WhileModal<Window>([&main, action] { main.Action(QLatin1String(action))->trigger(); });
}

// A configuration window as it shows each of its rows: every page, every
// edit with the focus and so its range hint beside it, and every row caption
// in the window's own size (none shrunk to fit).
Problems WithEveryRow(QWidget* window) {
  Problems found;
  auto look = [&found, window] {
    for (const QString& problem : Look(window))
      if (!found.contains(problem)) found.append(problem);
  };
  QList<QWidget*> pages = {window};
  auto* pageControl = window->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
  if (pageControl != nullptr) {
    pages.clear();
    for (int p = 0; p < pageControl->count(); ++p)
      if (pageControl->isTabVisible(p)) pages.append(pageControl->widget(p));
  }
  for (QWidget* page : pages) {
    // No event loop runs meanwhile: the offscreen screen is smaller than the
    // screens the windows are scaled for, and would shrink them.
    if (pageControl != nullptr) pageControl->setCurrentWidget(page);
    look();
    for (QLineEdit* edit : page->findChildren<QLineEdit*>()) {
      if (!edit->isVisibleTo(window) || !edit->isEnabled()) continue;
      edit->setFocus(Qt::TabFocusReason);
      look();
    }
  }
  const int size = window->font().pixelSize();
  for (const QLabel* label : window->findChildren<QLabel*>()) {
    if (!label->property("Tag").isValid() || label->font().pixelSize() >= size) continue;
    found.append(label->objectName() + QStringLiteral(" \"") + label->text() +
                 QStringLiteral("\": drawn at %1 pixels, the window's captions at %2")
                     .arg(label->font().pixelSize())
                     .arg(size));
  }
  return found;
}

// A message box of the window, titled as the window's messages are, with
// the shortest of texts: the title must not be cut.
Problems MessageTitle(QWidget* window) {
  const auto box = MessageBoxes::MakeBox(
      window, {QStringLiteral("?"), window->windowTitle(), BoxIcon::Warning, BoxButtons::Ok, {}});
  // Sized as it shows; no event loop runs, which would let the offscreen
  // screen shrink the window under it.
  box->show();
  Problems found = Look(box.get());
  for (QString& problem : found) problem.prepend(QStringLiteral("message box: "));
  return found;
}

template <class Window>
Problems ConfigurationWindow(TFormMain& main, const char* action) {
  Problems found{QStringLiteral("never opened")};
  WhenModal<Window>([&found](Window* window) {
    found = WithEveryRow(window) + MessageTitle(window);
    window->reject();
  });
  main.Action(QLatin1String(action))->trigger();
  return found;
}

Problems LevelSensor(TFormMain& main) {
  TFormSensore window(Process().language, nullptr, &main);
  window.ButtonCalcola->show();
  return OnScreen(&window) + MessageTitle(&window);
}

Problems LambdaEmulation(TFormMain& main) {
  TFormEmulazione window(Process().language, 100, 100, 10, 2, &main);
  return OnScreen(&window) + MessageTitle(&window);
}

Problems LiveView(TFormMain& main) {
  return ToolWindow<TFormVisualizza>(main, "ActionVisualizza");
}
Problems VehicleConfiguration(TFormMain& main) {
  return ConfigurationWindow<TFormVettura>(main, "ActionConfVett");
}
Problems OptionalConfiguration(TFormMain& main) {
  return ConfigurationWindow<TFormConfOpt>(main, "ActionConfOp");
}
Problems SoftwareConfiguration(TFormMain& main) {
  return ConfigurationWindow<TFormConfSw>(main, "ActionConfSoftware");
}
Problems Diagnosis(TFormMain& main) {
  return ToolWindow<TFormDiagnosi>(main, "ActionDiagnosi");
}
Problems CompareWindow(TFormMain& main) {
  return ToolWindow<TFormConfronta>(main, "MenuConfronta");
}
Problems ChartWindow(TFormMain& main) {
  return ToolWindow<TFormGrafico>(main, "MenuGrafico");
}
Problems CalibrationCheck(TFormMain& main) {
  return ToolWindow<TFormVerifica>(main, "ActionVerifica");
}
Problems WorkshopDetails(TFormMain& main) {
  return ToolWindow<TFormOfficina>(main, "MenuOfficina");
}

Problems ReportWindow(TFormMain& main) {
  const QString now = QStringLiteral("2026-12-11 08:00");
  TFormRapporto window([](const QString&) { return ReportData(); }, {{now, now}},
                       Process().language, &main);
  return OnScreen(&window);
}

// With a card in use, so that the list and the line naming the car in use
// are filled as in a workshop.
Problems VehicleCards(TFormMain& main) {
  QTemporaryDir history;
  FormContext context;
  context.store = Process().store;
  context.language = Process().language;
  context.settings = Process().settings;
  context.identification = Process().identification;
  vehicle::Card card;
  card.plate = "AB 123 CD";
  card.make = "Alfa Romeo";
  card.model = "Giulietta Sportwagon";
  const auto added = vehicle::AddCard(history.path().toStdString(), context.identification, card);
  if (!added.done) return {QString::fromStdString(added.error)};
  TFormSchedaVettura::Session session;
  session.key = vehicle::Key(card);
  TFormSchedaVettura window(context, history.path().toStdString(), session, &main);
  if (window.ListaVetture->count() != 1) return {QStringLiteral("the card is not listed")};
  return OnScreen(&window);
}

struct WindowRow {
  const char* name;
  Problems (*check)(TFormMain& main);
};

const WindowRow kWindows[] = {
    {"main window", MainWindow},
    {"progress window", ProgressWindow},
    {"wait banner", WaitBanner},
    {"splash", Splash},
    {"About box", AboutBox},
    {"customer code", CustomerCode},
    {"file management", FileManagement},
    {"load window", LoadWindow},
    {"save window", SaveWindow},
    {"live view", LiveView},
    {"vehicle configuration", VehicleConfiguration},
    {"optional configuration", OptionalConfiguration},
    {"software configuration", SoftwareConfiguration},
    {"diagnosis", Diagnosis},
    {"compare window", CompareWindow},
    {"chart", ChartWindow},
    {"calibration check", CalibrationCheck},
    {"workshop details", WorkshopDetails},
    {"report", ReportWindow},
    {"vehicle cards", VehicleCards},
    {"level sensor", LevelSensor},
    {"lambda emulation", LambdaEmulation},
};

const QSize kScreens[] = {{800, 600}, {1024, 768}, {1366, 768}, {1920, 1080}, {1920, 1440}};

}  // namespace

class TextsFitTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(folder_.AddBuiltDictionaryAndFlags());
    // One file to list in the load window.
    const QDir configurations(QDir(folder_.Path()).filePath(QStringLiteral("Configurazioni")));
    QVERIFY(configurations.mkpath(QStringLiteral(".")));
    QFile file(configurations.filePath(QStringLiteral("Cliente Rossi.dmr")));
    QVERIFY(file.open(QIODevice::WriteOnly));
  }
  void cleanup() { OverrideScreenWidth(0); }

  void EveryWindowInEveryLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QSize>("screen");
    const char* const languages[] = {"ITALIANO", "ENGLISH", "FRANCAIS",
                                     "DEUTSCH",  "ESPANOL", "POLSKI"};
    for (int language = 0; language < 6; ++language) {
      for (const QSize& screen : kScreens) {
        QTest::addRow("%s at %dx%d", languages[language], screen.width(), screen.height())
            << language << screen;
      }
    }
  }
  void EveryWindowInEveryLanguage() {
    QFETCH(int, language);
    QFETCH(QSize, screen);
    OverrideScreenWidth(screen.width(), screen.height());
    ProcessFixture process(folder_.Path());
    AnswerNextSplash(SplashAnswer::Enter, language);
    TFormMain main({QStringLiteral("/demo")});
    QCoreApplication::processEvents();  // the wait banner goes at the first idle moment
    QCOMPARE(Process().language->SelectedColumn(),
             Process().language->LanguageFields().at(language));
    // Shown, the window scales to the screen and fills it, as maximised.
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    main.resize(screen);
    QCoreApplication::processEvents();

    QStringList problems;
    for (const WindowRow& row : kWindows) {
      for (const QString& problem : row.check(main))
        problems.append(QLatin1String(row.name) + QStringLiteral(": ") + problem);
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
  }

 private:
  ProgramFolderFixture folder_;
};

QTEST_MAIN(TextsFitTest)
#include "TextsFitTest.moc"
