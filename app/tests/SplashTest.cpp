// The splash: one button per language with its flag when the file exists, the
// prompt in the stored language, and how each way of closing it chooses.
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "FlagPainter.h"
#include "ModuloLingua.h"
#include "Splash.h"
#include "ShellTestSupport.h"

namespace {
// Three languages, flags for the first two only.
struct ThreeLanguages {
  QTemporaryDir folder;
  TModuloLingua language;

  ThreeLanguages() {
    WriteDictionary(QDir(folder.path()).filePath(QStringLiteral("DizionarioVnt.dbf")),
                    {"IDENTIF", "ITALIANO", "ENGLISH", "KLINGON"},
                    {{"MenuLingua", "&Italiano", "Eng&lish", "tlhIngan Hol"},
                     {"LabelAvvio", "Scegli", "Choose", "wIv"}});
    QDir(folder.path()).mkpath(QStringLiteral("immagini"));
    for (const char* field : {"ITALIANO", "ENGLISH"}) {
      PaintFlag(QLatin1String(field))
          .save(QDir(folder.path())
                    .filePath(QStringLiteral("immagini/%1.bmp").arg(QLatin1String(field))),
                "BMP");
    }
    language.Open(folder.path(), QStringLiteral("DizionarioVnt.dbf"));
  }

  void AddButtons(TFormSplash& splash) {
    const QList<QAction*> items = language.PopupMenuLingue()->actions();
    for (int i = 0; i < items.size(); ++i) {
      splash.AddLanguageButton(items[i]->objectName(), items[i]->text(), i, folder.path());
    }
  }
};

QList<QToolButton*> LanguageButtons(const TFormSplash& splash) {
  QList<QToolButton*> buttons;
  for (QToolButton* button : splash.ToolBarLingue->findChildren<QToolButton*>()) {
    if (button->property("Tag").isValid()) buttons.append(button);
  }
  return buttons;
}
}  // namespace

class SplashTest : public QObject {
  Q_OBJECT

 private slots:
  void ButtonsAndFlags() {
    ThreeLanguages languages;
    TFormSplash splash;
    splash.LoadPicture();
    languages.AddButtons(splash);
    const QList<QToolButton*> buttons = LanguageButtons(splash);
    QCOMPARE(buttons.size(), 3);
    QCOMPARE(buttons[0]->objectName(), QStringLiteral("ITALIANO0"));
    QCOMPARE(buttons[2]->objectName(), QStringLiteral("KLINGON2"));
    QCOMPARE(buttons[0]->property("ImageIndex").toInt(), 0);
    QCOMPARE(buttons[1]->property("ImageIndex").toInt(), 1);
    QCOMPARE(buttons[2]->property("ImageIndex").toInt(), TFormSplash::kNoImage);
    QVERIFY(!buttons[1]->icon().isNull());
    QVERIFY(buttons[2]->icon().isNull());
    // Hints carry the names without their accelerator.
    QCOMPARE(buttons[0]->toolTip(), QStringLiteral("Italiano"));
    QCOMPARE(buttons[1]->toolTip(), QStringLiteral("English"));
    QCOMPARE(buttons[2]->property("Tag").toInt(), 2);
    // Sized to the picture: the bar right under it, as wide as the window.
    QCOMPARE(splash.width(), 377);
    QCOMPARE(splash.ToolBarLingue->geometry(), QRect(0, 226, 377, 44));
    QCOMPARE(splash.LabelAvvio->width(), 377);
  }

  void FlagFrameIsTransparent() {
    ThreeLanguages languages;
    TFormSplash splash;
    languages.AddButtons(splash);
    const QImage shown =
        LanguageButtons(splash)[0]->icon().pixmap(36, 36).toImage().convertToFormat(
            QImage::Format_ARGB32);
    QCOMPARE(qAlpha(shown.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(shown.pixel(18, 18)), 255);
  }

  void ClosingChooses_data() {
    QTest::addColumn<int>("answer");  // 0 Enter, 1 Escape, 2 button
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("tag");
    QTest::newRow("Enter keeps the stored language") << 0 << -1 << -1;
    QTest::newRow("Escape chooses the first") << 1 << -1 << 0;
    QTest::newRow("a flag chooses its language") << 2 << 2 << 2;
    QTest::newRow("a flag of the stored language") << 2 << 1 << 1;
  }
  void ClosingChooses() {
    QFETCH(int, answer);
    QFETCH(int, button);
    QFETCH(int, tag);
    ThreeLanguages languages;
    TFormSplash splash;
    splash.LoadPicture();
    languages.AddButtons(splash);
    AnswerNextSplash(answer == 1 ? SplashAnswer::Escape : SplashAnswer::Enter, button);
    splash.exec();
    QCOMPARE(splash.Tag(), tag);
  }

  void PromptInTheStoredLanguage_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("prompt");
    const QString design = QStringLiteral("Selezionare la lingua o premere INVIO per cominciare");
    QTest::newRow("stored English") << 1 << QStringLiteral("Choose");
    QTest::newRow("stored index outside the menu") << 7 << design;
    QTest::newRow("negative index") << -1 << design;
  }
  void PromptInTheStoredLanguage() {
    QFETCH(int, stored);
    QFETCH(QString, prompt);
    ThreeLanguages languages;
    TFormSplash splash;
    splash.SetPrompt(languages.language, stored);
    QCOMPARE(splash.LabelAvvio->text(), prompt);
  }

  void PromptKeyMissingKeepsTheDesignText() {
    QTemporaryDir folder;
    WriteDictionary(QDir(folder.path()).filePath(QStringLiteral("DizionarioVnt.dbf")),
                    {"IDENTIF", "ITALIANO"}, {{"MenuLingua", "Italiano"}});
    TModuloLingua language;
    QVERIFY(language.Open(folder.path(), QStringLiteral("DizionarioVnt.dbf")));
    TFormSplash splash;
    const QString before = splash.LabelAvvio->text();
    splash.SetPrompt(language, 0);
    QCOMPARE(splash.LabelAvvio->text(), before);
  }
};

QTEST_MAIN(SplashTest)
#include "SplashTest.moc"
