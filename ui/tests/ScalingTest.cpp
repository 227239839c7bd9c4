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
