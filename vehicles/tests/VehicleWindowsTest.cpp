// The vehicle card windows on the offscreen platform, with the real
// dictionary, a history folder of the test's own and message boxes through
// the seam.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#include "ConfCar.h"
#include "FormContext.h"
#include "History.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "SceltaVettura.h"
#include "SchedaVettura.h"
#include "WindowTestSupport.h"

namespace {

namespace fs = std::filesystem;
const ecu::Identification kEcu{18, 0, 1, 23};

vehicle::Card CardFor(const char* plate, const char* make = "") {
  vehicle::Card card;
  card.plate = plate;
  card.make = make;
  return card;
}

}  // namespace

class VehicleWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    history_ = fs::path(dir_.path().toStdString()) / "history";
    fs::remove_all(history_);
    lingua_ = std::make_unique<TModuloLingua>();
    QVERIFY(lingua_->Open(PROGRAM_FOLDER, "DizionarioVnt.dbf"));
    lingua_->SetUsable(true);
    lingua_->SetSelectedColumn("ITALIANO");
    used_.clear();
    released_ = 0;
  }

  void cleanup() { lingua_.reset(); }

  // Bad input is said in the window's language and nothing is kept; a good
  // card is kept and becomes the session's car; a second card for the same
  // plate is refused.
  void SavingChecksTheCardFirst_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("badVin");
    QTest::newRow("Italian") << "ITALIANO"
                             << "Il numero di telaio non contiene le lettere I, O e Q.";
    QTest::newRow("German") << "DEUTSCH"
                            << "Eine Fahrgestellnummer enthält nie die Buchstaben I, O oder Q.";
  }
  void SavingChecksTheCardFirst() {
    QFETCH(QString, column);
    QFETCH(QString, badVin);
    lingua_->SetSelectedColumn(column);
    ScopedMessageBoxCapture boxes;
    TFormSchedaVettura window(Context(), history_, Session(""));
    window.show();
    window.EditTarga->setText(QStringLiteral("ab 123 cd"));
    window.EditTelaio->setText(QStringLiteral("WVWZZZ1JZXW0O0001"));
    window.ButtonSalvaScheda->click();
    QCOMPARE(boxes.Last().text, badVin);
    QVERIFY(vehicle::ListCards(history_, kEcu).empty());
    QVERIFY(used_.isEmpty());

    window.EditTelaio->setText(QStringLiteral("WVWZZZ1JZXW000001"));
    window.EditMarca->setText(QStringLiteral("Fiat"));
    window.EditChilometri->setText(QStringLiteral("125000"));
    window.MemoNote->setPlainText(QStringLiteral("Impianto GPL nuovo"));
    boxes.Clear();
    window.ButtonSalvaScheda->click();
    QVERIFY2(boxes.Empty(), qPrintable(boxes.Last().text));
    QCOMPARE(used_, QStringList{QStringLiteral("AB123CD")});
    const auto cards = vehicle::ListCards(history_, kEcu);
    QCOMPARE(cards.size(), std::size_t{1});
    QCOMPARE(cards[0].card.plate, std::string("AB 123 CD"));
    QCOMPARE(cards[0].card.notes, std::string("Impianto GPL nuovo"));
    QCOMPARE(window.ListaVetture->count(), 1);
    QVERIFY(window.LabelVetturaInUso->text().contains(QStringLiteral("AB 123 CD")));
    Screenshot(&window, QStringLiteral("vehicle-card-") + column.toLower());

    window.ButtonNuova->click();
    window.EditTarga->setText(QStringLiteral("AB-123-CD"));
    window.ButtonSalvaScheda->click();
    QCOMPARE(boxes.Requests().size(), 1);
    QCOMPARE(vehicle::ListCards(history_, kEcu).size(), std::size_t{1});
  }

  // Deleting asks first; the card goes, its folder stays, and a session on
  // that car goes on without a card. Merging moves the session along.
  void DeletingAndMergingKeepTheSessionsHistory() {
    QVERIFY(vehicle::AddCard(history_, kEcu, CardFor("AB123CD", "Fiat")).done);
    QVERIFY(vehicle::AddCard(history_, kEcu, CardFor("EF456GH", "Opel")).done);
    ConfCar store("x.dmr");
    QVERIFY(history::SaveSnapshot(store, history_, kEcu, std::chrono::system_clock::now(),
                                  "AB123CD")
                .saved);
    ScopedMessageBoxCapture boxes;
    TFormSchedaVettura window(Context(), history_, Session("AB123CD"));
    QCOMPARE(window.ListaVetture->currentRow(), 0);
    QCOMPARE(window.EditMarca->text(), QStringLiteral("Fiat"));

    // Merged into the other card: the session follows its files.
    window.ComboUnisci->setCurrentText(QStringLiteral("EF456GH"));
    boxes.QueueAnswer(BoxAnswer::Yes);
    window.ButtonUnisci->click();
    QCOMPARE(released_, 1);
    QCOMPARE(used_, QStringList{QStringLiteral("EF456GH")});
    QCOMPARE(vehicle::ListCards(history_, kEcu).size(), std::size_t{1});
    QCOMPARE(history::ListSnapshots(history_).snapshots.size(), std::size_t{1});

    // Deleted after a No, then a Yes.
    window.ListaVetture->setCurrentRow(0);
    window.ButtonElimina->click();
    QCOMPARE(vehicle::ListCards(history_, kEcu).size(), std::size_t{1});
    boxes.QueueAnswer(BoxAnswer::Yes);
    window.ButtonElimina->click();
    QVERIFY(vehicle::ListCards(history_, kEcu).empty());
    QCOMPARE(used_.last(), QString());
    QCOMPARE(history::ListSnapshots(history_).snapshots.size(), std::size_t{1});
    QCOMPARE(window.ListaVetture->count(), 0);
  }

  // At a connection: the cards and another car, the last chosen first.
  void ChoiceListsTheCardsAndAnotherCar() {
    QVERIFY(vehicle::AddCard(history_, kEcu, CardFor("AB123CD", "Fiat")).done);
    QVERIFY(vehicle::AddCard(history_, kEcu, CardFor("EF456GH", "Opel")).done);
    QVERIFY(vehicle::Choose(history_, kEcu, "EF456GH", std::chrono::system_clock::now()).done);
    lingua_->SetSelectedColumn("ENGLISH");
    TFormSceltaVettura choice(vehicle::ListCards(history_, kEcu), lingua_.get());
    QCOMPARE(choice.ListaVetture->count(), 3);
    QCOMPARE(choice.ListaVetture->item(2)->text(), QStringLiteral("Another vehicle"));
    QCOMPARE(choice.ListaVetture->currentRow(), 1);
    Screenshot(&choice, QStringLiteral("vehicle-choice-english"));
    WhenModal<TFormSceltaVettura>([](TFormSceltaVettura* window) { window->ButtonOK->click(); });
    choice.exec();
    QCOMPARE(choice.ChosenKey(), std::string("EF456GH"));
    WhenModal<TFormSceltaVettura>([](TFormSceltaVettura* window) {
      window->ListaVetture->setCurrentRow(2);
      window->ButtonOK->click();
    });
    choice.exec();
    QCOMPARE(choice.ChosenKey(), std::string());
  }

 private:
  FormContext Context() {
    FormContext context;
    context.language = lingua_.get();
    context.identification = kEcu;
    return context;
  }
  TFormSchedaVettura::Session Session(const char* key) {
    TFormSchedaVettura::Session session;
    session.key = key;
    session.releaseJournal = [this] { ++released_; };
    session.useVehicle = [this](const std::string& k) { used_.append(QString::fromStdString(k)); };
    return session;
  }

  QTemporaryDir dir_;
  fs::path history_;
  std::unique_ptr<TModuloLingua> lingua_;
  QStringList used_;
  int released_ = 0;
};

QTEST_MAIN(VehicleWindowsTest)
#include "VehicleWindowsTest.moc"
