// The scaling helper: hand-placed widgets and fonts scale, layouts keep theirs,
// and the screen width comes from the one place a test sets.
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

#include "Scaling.h"

class ScalingTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { OverrideScreenWidth(0); }

  void ScreenWidthOverride() {
    OverrideScreenWidth(1024);
    QCOMPARE(ScreenWidth(), 1024);
    QCOMPARE(ScreenScaleFactor(), 1.28);
    OverrideScreenWidth(0);
    QVERIFY(ScreenWidth() > 0);
  }

  // By the width on a 4:3 screen (and a taller one); by the height on a
  // wider one, whose lower part the width's scale would push off screen.
  void ScaleFactorByScreen_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<double>("factor");
    QTest::newRow("800x600") << QSize(800, 600) << 1.0;
    QTest::newRow("1024x768") << QSize(1024, 768) << 1.28;
    QTest::newRow("1920x1440") << QSize(1920, 1440) << 2.4;
    QTest::newRow("1280x1024, 5:4") << QSize(1280, 1024) << 1.6;
    QTest::newRow("1366x768") << QSize(1366, 768) << 1.28;
    QTest::newRow("1920x1080") << QSize(1920, 1080) << 1.8;
    QTest::newRow("1024x600") << QSize(1024, 600) << 1.0;
  }
  void ScaleFactorByScreen() {
    QFETCH(QSize, screen);
    QFETCH(double, factor);
    OverrideScreenWidth(screen.width(), screen.height());
    QCOMPARE(ScreenScaleFactor(), factor);
  }

  void ScalesPositionsSizesAndFontsOnce() {
    QWidget window;
    QFont windowFont = window.font();
    windowFont.setPixelSize(11);
    window.setFont(windowFont);
    window.resize(400, 300);
    auto* placed = new QLabel(QStringLiteral("x"), &window);
    placed->setGeometry(10, 20, 100, 30);
    QFont own = placed->font();
    own.setPixelSize(27);
    placed->setFont(own);
    auto* inheriting = new QLabel(QStringLiteral("y"), &window);
    auto* panel = new QWidget(&window);
    panel->setGeometry(0, 100, 200, 100);
    auto* layout = new QVBoxLayout(panel);
    auto* managed = new QLabel(QStringLiteral("z"), panel);
    layout->addWidget(managed);

    OverrideScreenWidth(1024);
    QVERIFY(ScaleToScreen(&window));
    QCOMPARE(placed->geometry(), QRect(13, 26, 128, 38));
    QCOMPARE(placed->font().pixelSize(), 35);
    QCOMPARE(window.font().pixelSize(), 14);
    // Inherited, not scaled a second time.
    QCOMPARE(inheriting->font().pixelSize(), 14);
    QCOMPARE(panel->geometry(), QRect(0, 128, 256, 128));
    QCOMPARE(window.size(), QSize(512, 384));
  }

  // A dialog of fixed size grows with its controls: a plain resize() would
  // leave it at its design size with the scaled buttons past its edges.
  void FixedSizeWindowGrowsWithItsControls() {
    QWidget window;
    window.setFixedSize(400, 300);
    auto* ok = new QLabel(QStringLiteral("OK"), &window);
    ok->setGeometry(300, 260, 90, 30);
    OverrideScreenWidth(1024);
    QVERIFY(ScaleToScreen(&window));
    QCOMPARE(window.size(), QSize(512, 384));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(window.rect().contains(ok->geometry()));
  }

  // A dialog grows only as far as the screen shows it whole, its frame
  // included; a window that is not of fixed size (one that opens maximised)
  // keeps the screen's scale.
  void FixedSizeWindowStaysInsideTheScreen() {
    OverrideScreenWidth(1366, 768);
    QWidget dialog;
    dialog.setFixedSize(780, 580);  // at 1.28 with its frame: 782 high
    auto* ok = new QLabel(QStringLiteral("OK"), &dialog);
    ok->setGeometry(600, 530, 140, 34);
    QVERIFY(ScaleToScreen(&dialog));
    QCOMPARE(dialog.height(), 768 - kFrameAllowance.height());
    QVERIFY(dialog.rect().contains(ok->geometry()));

    QWidget maximised;
    maximised.resize(400, 300);
    QVERIFY(ScaleToScreen(&maximised));
    QCOMPARE(maximised.size(), QSize(512, 384));

    // Panels take room from the screen: the report window on a 1024 x 768
    // screen with a panel 48 pixels high.
    QCOMPARE(FittingScale(QSize(760, 540), QRect(0, 48, 1024, 720)), 680.0 / 540);
  }

  void NothingAtEightHundred() {
    OverrideScreenWidth(800);
    QWidget window;
    auto* label = new QLabel(&window);
    label->setGeometry(1, 2, 3, 4);
    QVERIFY(!ScaleToScreen(&window));
    QCOMPARE(label->geometry(), QRect(1, 2, 3, 4));
  }
};

QTEST_MAIN(ScalingTest)
#include "ScalingTest.moc"
