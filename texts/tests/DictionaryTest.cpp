// The dictionary the build writes: its languages, every text of its source
// table read back intact (accents included) within its key's maximum, and the
// keys the windows look up.
#include <QFile>
#include <QHash>
#include <QMenu>
#include <QTest>

#include "ModuloLingua.h"

namespace {

struct SourceRow {
  int maxLength = 0;
  QStringList texts;  // one per language, in column order
};

QString Unescaped(const QString& cell) {
  QString text;
  for (qsizetype i = 0; i < cell.size(); ++i) {
    if (cell[i] != QLatin1Char('\\') || i + 1 == cell.size()) {
      text += cell[i];
      continue;
    }
    const QChar next = cell[++i];
    text += next == QLatin1Char('n') ? QChar('\n') : next == QLatin1Char('t') ? QChar('\t') : next;
  }
  return text;
}

// The source table: header IDENTIF, MAX, languages; '#' lines are comments.
bool ReadSource(QStringList& languages, QHash<QString, SourceRow>& rows) {
  QFile file(QStringLiteral(DICTIONARY_SOURCE));
  if (!file.open(QIODevice::ReadOnly)) return false;
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).remove(QLatin1Char('\n'));
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    const QStringList cells = line.split(QLatin1Char('\t'));
    if (languages.isEmpty()) {
      languages = cells.mid(2);
      continue;
    }
    SourceRow row;
    row.maxLength = cells.value(1).toInt();
    for (const QString& cell : cells.mid(2)) row.texts << Unescaped(cell);
    rows.insert(cells.value(0), row);
  }
  return !languages.isEmpty();
}

}  // namespace

class DictionaryTest : public QObject {
  Q_OBJECT

 private:
  TModuloLingua lingua_;

 private slots:
  void initTestCase() {
    QVERIFY2(lingua_.Open(QStringLiteral(DICTIONARY_FOLDER), "DizionarioVnt.dbf"),
             "the build writes DizionarioVnt.dbf beside the program");
  }

  void languagesInMenuOrder() {
    QCOMPARE(lingua_.LanguageFields(),
             QStringList({"ITALIANO", "ENGLISH", "FRANCAIS", "DEUTSCH", "ESPANOL", "POLSKI"}));
    QStringList names;
    for (const QAction* item : lingua_.PopupMenuLingue()->actions()) names << item->text();
    QCOMPARE(names, QStringList(
                        {"&Italiano", "&English", "&Français", "&Deutsch", "&Español", "&Polski"}));
  }

  // Every text of the source comes back unchanged from the table, is not
  // empty and fits its key's maximum, so no window ever cuts it.
  void everyTextReadsBackWithinItsMaximum() {
    QStringList languages;
    QHash<QString, SourceRow> rows;
    QVERIFY(ReadSource(languages, rows));
    QVERIFY(rows.contains("MenuLingua") && rows.contains("LabelMenu"));
    QCOMPARE(languages, lingua_.LanguageFields());
    QVERIFY(lingua_.Activate());
    for (auto row = rows.cbegin(); row != rows.cend(); ++row) {
      for (int c = 0; c < languages.size(); ++c) {
        const QString where = row.key() + " / " + languages[c];
        const std::optional<QString> text = lingua_.LookUp(row.key(), languages[c], 1000);
        QVERIFY2(text.has_value(), qPrintable(where));
        QVERIFY2(text->size() <= row->maxLength, qPrintable(where));
        QCOMPARE(*text, row->texts[c]);
      }
    }
    lingua_.Deactivate();
  }

  void accentsDecodeRight_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("Italian") << "MessUscita"
                             << "ITALIANO"
                             << "Il programma verrà chiuso.";
    QTest::newRow("French") << "MenuLingua"
                            << "FRANCAIS"
                            << "&Français";
    QTest::newRow("German") << "LabelMenu"
                            << "DEUTSCH"
                            << "HAUPTMENÜ";
    QTest::newRow("Spanish") << "MessUscita"
                             << "ESPANOL"
                             << "El programa se cerrará.";
    QTest::newRow("Polish") << "LabelIndicatore"
                            << "POLSKI"
                            << "Oryginalny wskaźnik paliwa";
    QTest::newRow("Polish capitals") << "LabelMenu"
                                     << "POLSKI"
                                     << "MENU GŁÓWNE";
  }
  void accentsDecodeRight() {
    QFETCH(QString, key);
    QFETCH(QString, column);
    QFETCH(QString, text);
    QCOMPARE(lingua_.LookUp(key, column, 70), std::optional<QString>(text));
  }

  // The keys each window looks up; a missing one would make that window
  // report its dictionary failure in every language.
  void everyWindowFindsItsKeys_data() {
    QTest::addColumn<QString>("keys");
    QTest::newRow("main window")
        << "LabelMenu LabelVisualizza LabelConfVettura LabelConfOpt LabelDiagnosi LabelConfSw "
           "LabelIndicatore LabelFile LabelUscita MenuFile MenuStrumenti ActionVisualizza "
           "ActionConfVett ActionConfOp ActionConfSoftware ActionDiagnosi ActionIndicOrig "
           "ActionGestioneFile ActionApri ActionSalva ActionStampa ActionEsci ActionConnetti "
           "ActionDisconnetti MenuCpu MenuRileggi MenuConfig MenuComPort MenuDati MenuBarre "
           "MenuLingue MenuConnessione MenuPulsanti MenuMostraTutte MenuNascondiTutte MenuAiuto "
           "MenuAbout FinestraPrincipale LabelConnetti LabelDisconnetti MessUscita LabelVersione "
           "MessConn MessNoConn MessErrConn MessCompletato LabelCaricaDati FinestraCaricaDati "
           "MessCpuErrata MessErrVersioneCpu LabelStatoErrore LabelVersioneCpu LabelAttendere";
    QTest::newRow("splash and language menu") << "LabelAvvio MenuLingua";
    QTest::newRow("vehicle configuration")
        << "LabelCilindri LabelRpm LabelCambio LabelGiriCambio LabelSensore LabelTps LabelLambda "
           "LabelRitardoLambda LabelEmulazione LabelGialli LabelConfVettura LabelLimiti "
           "LabelGoVis ButtonEsci ButtonAzzera MessNoConn FinestraConfVettura UnitaSecondi "
           "UnitaMilliSec UnitaGradi UnitaGiri UnitaVolt UnitaPassi LabelSovrappos "
           "LabelCicchetto ComboCilindri7 ComboCilindri1 ComboCilindri2 ComboCilindri3 "
           "ComboCilindri4 ComboCilindri5 ComboCilindri6 ComboRpm1 ComboRpm2 ComboCambio1 "
           "ComboCambio2 ComboCambio3 ComboCambio4 ComboSensore1 ComboSensore2 ComboSensore3 "
           "ComboSensore4 ComboTps1 ComboTps2 ComboTps3 ComboTps4 ComboTps5 ComboTps6 "
           "ComboLambda1 ComboLambda2 ComboLambda3 ComboLambda4 ComboLambda5 ComboLambda6 "
           "ComboEmulLambda1 ComboEmulLambda2 ComboEmulLambda3 ComboEmulLambda4 ComboGialli1 "
           "ComboGialli2 LabelTipoCommutatore ComboCommutatore1 ComboCommutatore2 MessCancEe "
           "MessCancOk";
    QTest::newRow("optional configuration")
        << "ButtonEsci LabelTempCambio LabelTempPartenzaGas LabelAbilFuoriGiri LabelFuoriGiri "
           "LabelRientro LabelLivRientro LabelDefFisso LabelPosDefault LabelMaxApMin "
           "LabelMinApMin LabelMaxApFMin LabelMinApFMin LabelAffondata LabelPosAffondata "
           "LabelTpsAffondata LabelIstBosch LabelIstMin LabelOpCutOff LabelGiriCutOff "
           "LabelPosCutOff PageCambio PageAttuatore PageTps PageCutOff LabelLimiti LabelGoVis "
           "MessNoConn FinestraConfOpt UnitaGradi UnitaGiri UnitaVolt";
    QTest::newRow("software configuration")
        << "PageMinimo PageCrociera PageMaxPotenza LabelTpsPotenza LabelGiriPotenza LabelLimiti "
           "LabelGoVis ButtonEsci MessNoConn FinestraConfSoftware UnitaGiri UnitaVolt "
           "LabelVelApMin LabelVelChMin LabelVelApertura LabelVelChiusura LabelIngrassaMagro "
           "LabelSmagrimentoGrasso";
    QTest::newRow("emulation")
        << "LabelTempoAlto LabelTempoBasso LabelTempoTristate LabelNOnde LabelAnteprima ButtonOk "
           "ButtonAnnulla ButtonDefault UnitaSecondi FinestraEmulazione MessNonDisp "
           "MessEmulIndef";
    QTest::newRow("level sensor")
        << "LabelLivVuoto LabelLivRiserva LabelLiv1_4 LabelLiv2_4 LabelLiv3_4 LabelLivPieno "
           "LabelLettSens ButtonOk ButtonAnnulla FinestraSensore MessDatoNoValido "
           "MessOrdineNoValido";
    QTest::newRow("original fuel indicator")
        << "LabelIndicVuoto LabelIndicPieno LabelLivRiserva LabelLiv1_4 LabelLiv2_4 LabelLiv3_4 "
           "LabelInvio LabelEsc ButtonEsci FinestraIndicatore";
    QTest::newRow("live view")
        << "LabelVisLambda LabelVisTps LabelVisMinTps LabelVisCutoff LabelVisGiri LabelVisAltri "
           "LabelVisTemp LabelVisLivello LabelVisFunz LabelVisAtt LabelVisDefault LabelVisDef2 "
           "LabelVisPos LabelVisContaGiri ButtonEsci FinestraVisualizza LabelFunzBenzina "
           "LabelFunzGas UnitaVolt UnitaGiri MessND";
    QTest::newRow("diagnosis")
        << "LabelAbilDiagnosi LabelStatoDiagnosi ButtonEsci ButtonReset LabelDLambdaGiusto "
           "LabelDLambdaMagro LabelDLambdaRicco FinestraDiagnosi LabelStatoErrore LabelStatoOk";
    QTest::newRow("file windows")
        << "ButtonCaricaConf ButtonSalvaConf ButtonEsci FinestraGestioneFiles MessNoFiles "
           "FinestraCarica ButtonCarica ButtonOk ButtonAnnulla FinestraSalva LabelNomeFile "
           "MessFileEsiste MessSovraFile";
  }
  void everyWindowFindsItsKeys() {
    QFETCH(QString, keys);
    QVERIFY(lingua_.Activate());
    for (const QString& column : lingua_.LanguageFields()) {
      for (const QString& key : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QVERIFY2(lingua_.LookUp(key, column, 70).has_value(), qPrintable(key + " / " + column));
      }
    }
    lingua_.Deactivate();
  }
};

QTEST_MAIN(DictionaryTest)
#include "DictionaryTest.moc"
