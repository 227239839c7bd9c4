// The main window: moving between entries with hidden ones in the way, Enter
// and the mouse, the layout arithmetic, the scaling at first show, and the
// configuration files opened and saved from the File menu.
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <memory>

#include "AboutBox.h"
#include "ConfCar.h"
#include "Diagnosi.h"
#include "FormConfOpt.h"
#include "FormMain.h"
#include "MessageBoxes.h"
#include "ProcessObjects.h"
#include "Scaling.h"
#include "ShellTestSupport.h"
#include "ToolWindows.h"
#include "Visualizza.h"
#include "WindowTestSupport.h"

namespace {
// A main window built from the real dictionary in a program folder of its own,
// the splash answered with Enter.
struct MainWindowFixture {
  ProgramFolderFixture folder;
  std::unique_ptr<ProcessFixture> process;
  std::unique_ptr<TFormMain> main;

  explicit MainWindowFixture(const QStringList& arguments = {QStringLiteral("/demo")}) {
    folder.AddBuiltDictionaryAndFlags();
    process = std::make_unique<ProcessFixture>(folder.Path());
    AnswerNextSplash(SplashAnswer::Enter);
    main = std::make_unique<TFormMain>(arguments);
  }
  ~MainWindowFixture() { main.reset(); }

  void Show() {
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));
  }
  int Top(int entry) const { return main->EntryLabel(entry)->y(); }
  QString ConfigurationsFolder() const { return QDir(folder.Path()).filePath("Configurazioni"); }
};

using Keys = QList<int>;
}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { OverrideScreenWidth(800); }
  void cleanup() { OverrideScreenWidth(0); }

  void EntriesHiddenAtStart_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Keys>("hidden");
    QTest::addColumn<int>("optionalPage");
    QTest::newRow("demo") << QStringList{"/demo"} << Keys{TFormMain::kIndicatore} << 0;
    QTest::newRow("demo nocomm") << QStringList{"/demo", "/nocomm"}
                                 << Keys{TFormMain::kDiagnosi, TFormMain::kIndicatore} << 1;
  }
  void EntriesHiddenAtStart() {
    QFETCH(QStringList, arguments);
    QFETCH(Keys, hidden);
    QFETCH(int, optionalPage);
    MainWindowFixture f(arguments);
    for (int i = 0; i < f.main->EntryCount(); ++i) {
      QCOMPARE(f.main->EntryVisible(i), !hidden.contains(i));
      QCOMPARE(f.main->EntryAction(i)->isVisible(), !hidden.contains(i));
    }
    QCOMPARE(f.main->OptionalPage(), optionalPage);
    QCOMPARE(f.process->Store().VariantFlag(), optionalPage == 1);
    QCOMPARE(f.main->CurrentEntry(), 0);
    QCOMPARE(f.main->windowTitle(), QStringLiteral("Mirel Vantor"));
  }

  // From the entry start, the key leads to the entry expected.
  void Navigation_data() {
    QTest::addColumn<Keys>("hide");
    QTest::addColumn<Keys>("show");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    const int up = Qt::Key_Up, down = Qt::Key_Down;
    const Keys none;
    const Keys indicator{TFormMain::kIndicatore};
    QTest::newRow("down skips the hidden indicator") << none << none << 4 << down << 6;
    QTest::newRow("up skips the hidden indicator") << none << none << 6 << up << 4;
    QTest::newRow("up from the first wraps to exit") << none << none << 0 << up << 7;
    QTest::newRow("down from exit wraps to the first") << none << none << 7 << down << 0;
    QTest::newRow("down to the indicator once shown") << none << indicator << 4 << down << 5;
    QTest::newRow("down skips two hidden") << Keys{TFormMain::kDiagnosi} << none << 3 << down << 6;
    QTest::newRow("up skips two hidden") << Keys{TFormMain::kDiagnosi} << none << 6 << up << 3;
    QTest::newRow("up from exit") << none << none << 7 << up << 6;
  }
  void Navigation() {
    QFETCH(Keys, hide);
    QFETCH(Keys, show);
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, expected);
    MainWindowFixture f;
    f.Show();
    for (int i : hide) f.main->HideEntry(i);
    for (int i : show) f.main->ShowEntry(i);
    f.main->MarkEntry(start);
    QTest::keyClick(f.main.get(), Qt::Key(key));
    QCOMPARE(f.main->CurrentEntry(), expected);
    QCOMPARE(f.main->LabelFreccia->y(), f.Top(expected));
    // Only the current entry is underlined.
    for (int i = 0; i < f.main->EntryCount(); ++i) {
      QCOMPARE(f.main->EntryLabel(i)->font().underline(), i == expected);
    }
  }

  void EnterRunsTheCurrentEntryAndKeepsIt() {
    MainWindowFixture f;
    f.Show();
    ScopedMessageBoxCapture boxes;
    QSignalSpy triggered(f.main->EntryAction(TFormMain::kConfOpt), &QAction::triggered);
    f.main->MarkEntry(TFormMain::kConfOpt);
    // The optional window opens on the kept page and hands back the page it
    // closed on.
    int openedOn = -1;
    WhenModal<TFormConfOpt>([&](TFormConfOpt* window) {
      openedOn = window->PageControl1->currentIndex();
      window->PageControl1->setCurrentIndex(2);
      window->reject();
    });
    QTest::keyClick(f.main.get(), Qt::Key_Return);
    QCOMPARE(triggered.count(), 1);
    QCOMPARE(f.main->CurrentEntry(), int(TFormMain::kConfOpt));
    QCOMPARE(openedOn, 0);
    QCOMPARE(f.main->OptionalPage(), 2);
    QVERIFY(f.main->isVisible());
  }

  void ExitClosesTheWindow_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Enter on Uscita") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("Alt+Q") << int(Qt::Key_Q) << int(Qt::AltModifier);
    QTest::newRow("Ctrl+Q") << int(Qt::Key_Q) << int(Qt::ControlModifier);
  }
  void ExitClosesTheWindow() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    MainWindowFixture f;
    f.Show();
    f.main->MarkEntry(TFormMain::kUscita);
    QTest::keyClick(f.main.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(!f.main->isVisible());
    // Closing releases the language module.
    QCOMPARE(Process().language, nullptr);
  }

  // Esc closes an open menu; Esc again, on the closed menu bar, gives the
  // keyboard back to the entries, so Enter runs the current entry.
  void EscapeLeavesTheMenuBar() {
    MainWindowFixture f;
    f.Show();
    QApplication::setActiveWindow(f.main.get());
    f.main->MarkEntry(TFormMain::kUscita);
    QMenuBar* bar = f.main->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions().first()).center());
    QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    const auto keyToFocus = [&](Qt::Key key) {
      QWidget* focus = QApplication::focusWidget();
      QTest::keyClick(focus != nullptr ? focus : f.main.get(), key);
    };

    keyToFocus(Qt::Key_Escape);
    QVERIFY(QApplication::focusWidget() != bar);
    QVERIFY(bar->activeAction() == nullptr);
    keyToFocus(Qt::Key_Return);

    QVERIFY(QApplication::activePopupWidget() == nullptr);
    QVERIFY2(!f.main->isVisible(), "Enter did not reach the current entry, Uscita");
  }

  void CtrlAOpensTheAboutBox() {
    MainWindowFixture f;
    f.Show();
    bool opened = false;
    WhenModal<TAboutBox>([&](TAboutBox* box) {
      opened = true;
      box->accept();
    });
    QTest::keyClick(f.main.get(), Qt::Key_A, Qt::ControlModifier);
    QVERIFY(opened);
    QCOMPARE(f.main->CurrentEntry(), 0);
    QVERIFY(f.main->isVisible());
  }

  void MouseMarksAndRuns() {
    MainWindowFixture f;
    f.Show();
    ScopedMessageBoxCapture boxes;
    QLabel* diagnosis = f.main->EntryLabel(TFormMain::kDiagnosi);
    QTest::mouseMove(diagnosis, QPoint(5, 5));
    QTRY_COMPARE(f.main->CurrentEntry(), int(TFormMain::kDiagnosi));
    QSignalSpy triggered(f.main->EntryAction(TFormMain::kDiagnosi), &QAction::triggered);
    bool opened = false;
    WhenModal<TFormDiagnosi>([&opened](TFormDiagnosi* window) {
      opened = true;
      window->reject();
    });
    QTest::mouseClick(diagnosis, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(triggered.count(), 1);
    QVERIFY(opened);
  }

  // F12 in a configuration window opens the live view over that window.
  void LiveViewOpensOverTheWindowThatAskedForIt() {
    MainWindowFixture f;
    f.Show();
    QDialog configuration(f.main.get());
    QWidget* parent = nullptr;
    QPoint place(-1, -1);
    WhenModal<TFormVisualizza>([&](TFormVisualizza* view) {
      parent = view->parentWidget();
      place = view->pos();
      view->reject();
    });
    ToolWindows::OpenLiveView(&configuration);
    QCOMPARE(parent, &configuration);
    QCOMPARE(place, QPoint(0, 0));
  }

  void LayoutAfterHideAndShow() {
    MainWindowFixture f;
    QCOMPARE(f.main->ClientHeight(), 585);
    const int step = 585 / 10;
    QCOMPARE(f.main->LabelMenu->y(), step);
    // Indicatore hidden: the visible entries follow one another.
    const Keys before{2 * step, 3 * step, 4 * step, 5 * step, 6 * step, -1, 7 * step};
    for (int i = 0; i < 7; ++i) {
      if (before[i] >= 0) QCOMPARE(f.Top(i), before[i]);
    }
    const auto exitTop = [&f, step] {
      return int(std::trunc(800 * step * 1.5 * 0.00125 + f.Top(TFormMain::kFile)));
    };
    QCOMPARE(f.Top(TFormMain::kUscita), exitTop());

    // Hiding an entry moves only those below it.
    f.main->HideEntry(TFormMain::kConfOpt);
    QCOMPARE(f.Top(0), 2 * step);
    QCOMPARE(f.Top(1), 3 * step);
    QCOMPARE(f.Top(TFormMain::kConfSw), 4 * step);
    QCOMPARE(f.Top(TFormMain::kFile), 6 * step);
    QCOMPARE(f.Top(TFormMain::kUscita), exitTop());

    f.main->ShowEntry(TFormMain::kConfOpt);
    f.main->ShowEntry(TFormMain::kIndicatore);
    QCOMPARE(f.Top(TFormMain::kIndicatore), 7 * step);
    QCOMPARE(f.Top(TFormMain::kFile), 8 * step);
    // With every entry shown "Uscita" would run past the bottom edge: it is
    // kept inside the window instead.
    const int height = f.main->EntryLabel(TFormMain::kUscita)->height();
    QVERIFY(exitTop() + height > 585);
    QCOMPARE(f.Top(TFormMain::kUscita), 585 - height);
  }

  void EntriesCentred() {
    MainWindowFixture f;
    int widest = 0;
    for (int i = 0; i < f.main->EntryCount(); ++i) {
      widest = std::max(widest, f.main->EntryLabel(i)->width());
    }
    const int left = (f.main->ClientWidth() - widest) / 2;
    for (int i = 0; i < f.main->EntryCount(); ++i) QCOMPARE(f.main->EntryLabel(i)->x(), left);
    QCOMPARE(f.main->LabelFreccia->x(), left - 50);
    QCOMPARE(f.main->LabelMenu->x(), (f.main->ClientWidth() - f.main->LabelMenu->width()) / 2);
  }

  void ScaledOnceAtFirstShow_data() {
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<bool>("scaled");
    QTest::addColumn<int>("entryFont");
    QTest::newRow("800") << 800 << false << 27;
    QTest::newRow("1024") << 1024 << true << 35;
  }
  void ScaledOnceAtFirstShow() {
    QFETCH(int, screenWidth);
    QFETCH(bool, scaled);
    QFETCH(int, entryFont);
    OverrideScreenWidth(screenWidth);
    MainWindowFixture f;
    const int arrowLeft = f.main->LabelFreccia->x();
    f.Show();
    QCOMPARE(f.main->ScaledToScreen(), scaled);
    QCOMPARE(f.main->LabelMenu->font().pixelSize(), entryFont);
    QCOMPARE(f.main->EntryLabel(0)->font().pixelSize(), entryFont);
    QCOMPARE(f.main->LabelFreccia->x(), int(std::lround(arrowLeft * screenWidth / 800.0)));
    f.main->hide();
    f.Show();
    QCOMPARE(f.main->EntryLabel(0)->font().pixelSize(), entryFont);
  }

  void SaveAddsTheExtensionInTheConfigurationsFolder_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("without extension") << "prova"
                                       << "prova.vst";
    QTest::newRow("with extension") << "altra.vst"
                                    << "altra.vst";
  }
  void SaveAddsTheExtensionInTheConfigurationsFolder() {
    QFETCH(QString, typed);
    QFETCH(QString, written);
    MainWindowFixture f;
    QVERIFY(!QDir(f.ConfigurationsFolder()).exists());
    WhenModal<QFileDialog>([typed](QFileDialog* dialog) {
      dialog->selectFile(typed);
      static_cast<QDialog*>(dialog)->accept();
    });
    f.main->SaveConfiguration();
    QCOMPARE(f.main->SaveDialog1()->directory().absolutePath(), f.ConfigurationsFolder());
    const QString path = QDir(f.ConfigurationsFolder()).filePath(written);
    QVERIFY2(QFile::exists(path), qPrintable(path));
    QCOMPARE(f.main->StatusPanel(TFormMain::kPanelFile), written);
    QCOMPARE(QString::fromStdString(f.process->Store().FileName()), path);
  }

  void OpenLoadsAnExistingFileAndRefusesAMissingOne() {
    MainWindowFixture f;
    WhenModal<QFileDialog>([](QFileDialog* dialog) {
      dialog->selectFile(QStringLiteral("salvata"));
      static_cast<QDialog*>(dialog)->accept();
    });
    f.main->SaveConfiguration();
    f.main->SetStatusPanel(TFormMain::kPanelFile, QString());
    f.process->Store().SetFileName("altro.dmr");

    bool stayedOpen = false;
    WhenModal<QFileDialog>([&stayedOpen](QFileDialog* dialog) {
      WhenModal<QMessageBox>([](QMessageBox* box) { box->accept(); });
      dialog->selectFile(QStringLiteral("manca.vst"));
      static_cast<QDialog*>(dialog)->accept();
      stayedOpen = dialog->isVisible();
      dialog->reject();
    });
    f.main->OpenConfiguration();
    QVERIFY(stayedOpen);
    QCOMPARE(QString::fromStdString(f.process->Store().FileName()), QStringLiteral("altro.dmr"));

    WhenModal<QFileDialog>([](QFileDialog* dialog) {
      dialog->selectFile(QStringLiteral("salvata.vst"));
      static_cast<QDialog*>(dialog)->accept();
    });
    f.main->OpenConfiguration();
    QCOMPARE(f.main->StatusPanel(TFormMain::kPanelFile), QStringLiteral("salvata.vst"));
    QCOMPARE(QString::fromStdString(f.process->Store().FileName()),
             QDir(f.ConfigurationsFolder()).filePath(QStringLiteral("salvata.vst")));
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
