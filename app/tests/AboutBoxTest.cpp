// The About box: the ECU line reads "DEMO" in demo mode, otherwise the prefix
// and the version number; the picture is centred in the panel.
#include <QLabel>
#include <QTest>

#include "AboutBox.h"
#include "ProductPictures.h"

class AboutBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void Fill_data() {
    QTest::addColumn<bool>("demo");
    QTest::addColumn<QString>("cpuLine");
    QTest::newRow("demo") << true << QStringLiteral("DEMO");
    QTest::newRow("connected ECU") << false << QStringLiteral("ECU version 17");
  }
  void Fill() {
    QFETCH(bool, demo);
    QFETCH(QString, cpuLine);
    TAboutBox box;
    box.Fill(QStringLiteral("Mirel Vantor"), QStringLiteral("Version"),
             QStringLiteral("ECU version"), demo, 17);
    QCOMPARE(box.windowTitle(), QStringLiteral("Mirel Vantor"));
    QCOMPARE(box.ProductName->text(), QStringLiteral("Mirel Vantor"));
    QCOMPARE(box.Version->text(), QStringLiteral("Version 3.0"));
    QCOMPARE(box.LabelVersioneCpu->text(), cpuLine);
    QCOMPARE(box.ImageAbout->size(), QSize(kAboutPictureWidth, kAboutPictureHeight));
    QCOMPARE(box.ImageAbout->x(), (281 - kAboutPictureWidth) / 2);
  }
};

QTEST_MAIN(AboutBoxTest)
#include "AboutBoxTest.moc"
