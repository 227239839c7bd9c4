// Where a session is kept: the car chosen at the connection takes the
// snapshot and the journal; with no cards nothing is asked; a reload stays
// with the car; a card made later takes the rest of the session.
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#include "ConfCar.h"
#include "ConnectionHistory.h"
#include "History.h"
#include "RecordingLink.h"
#include "WriteJournal.h"

namespace {
namespace fs = std::filesystem;
const ecu::Identification kEcu{18, 0, 1, 23};

vehicle::Card CardFor(const char* plate) {
  vehicle::Card card;
  card.plate = plate;
  return card;
}

std::size_t JournalLines(const fs::path& history, const char* key) {
  return ReadJournal(history::JournalFile(history, kEcu, key)).lines.size();
}
}  // namespace

class ConnectionHistoryTest : public QObject {
  Q_OBJECT

 private slots:
  void ChosenCarTakesSnapshotAndJournal() {
    QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
    RecordingLink link;
    link.connected = true;
    ConfCar store("x.dmr", &link);
    ConnectionHistory history(folder);
    history.Watch(store);
    int asked = 0;
    std::string answer = "EF456GH";
    history.SetVehicleChooser([&](const std::vector<vehicle::StoredCard>& cards) {
      ++asked;
      return cards.size() == 2 ? answer : std::string();
    });

    // No cards: nothing asked, the ECU's plain folder.
    QVERIFY(history.AfterFullRead(store, kEcu));
    QCOMPARE(asked, 0);
    QCOMPARE(store.SetValue(56, 2500), 1);
    QCOMPARE(JournalLines(folder, ""), std::size_t{1});

    QVERIFY(vehicle::AddCard(folder, kEcu, CardFor("AB123CD")).done);
    QVERIFY(vehicle::AddCard(folder, kEcu, CardFor("EF456GH")).done);
    history.Unwatch(store);          // the program started again
    ConnectionHistory next(folder);
    next.Watch(store);
    next.SetVehicleChooser([&](const std::vector<vehicle::StoredCard>& cards) {
      ++asked;
      return cards.size() == 2 ? answer : std::string();
    });
    QVERIFY(next.AfterFullRead(store, kEcu));
    QCOMPARE(asked, 1);
    QCOMPARE(next.VehicleKey(), std::string("EF456GH"));
    QCOMPARE(store.SetValue(56, 3000), 1);
    QCOMPARE(JournalLines(folder, "EF456GH"), std::size_t{1});
    QCOMPARE(JournalLines(folder, ""), std::size_t{1});
    QCOMPARE(vehicle::LastChosen(folder, kEcu)->key, std::string("EF456GH"));
    // A reload of the same ECU keeps the car without asking.
    QVERIFY(next.AfterFullRead(store, kEcu));
    QCOMPARE(asked, 1);
    std::size_t inCar = 0;
    for (const auto& s : history::ListSnapshots(folder).snapshots)
      inCar += s.ecu == "ecu-18-0-1-23_EF456GH";
    QCOMPARE(inCar, std::size_t{2});

    // The other card chosen from the menu: the rest of the session goes there.
    QVERIFY(next.UseVehicle(store, "AB123CD"));
    QCOMPARE(store.SetValue(56, 3500), 1);
    QCOMPARE(JournalLines(folder, "AB123CD"), std::size_t{1});
    QCOMPARE(JournalLines(folder, "EF456GH"), std::size_t{1});
    QVERIFY(!next.UseVehicle(store, "ZZ999ZZ"));
    QCOMPARE(next.VehicleKey(), std::string("AB123CD"));
  }

  // The session's start and its snapshot name the same second, however long
  // the technician takes to choose the car: the report of this session and
  // the report since its snapshot are the same report.
  void SlowChoiceKeepsSnapshotAtTheSessionStart() {
    QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
    RecordingLink link;
    link.connected = true;
    ConfCar store("x.dmr", &link);
    QVERIFY(vehicle::AddCard(folder, kEcu, CardFor("AB123CD")).done);
    ConnectionHistory history(folder);
    history.SetVehicleChooser([](const std::vector<vehicle::StoredCard>&) {
      QTest::qWait(1100);  // past the next whole second
      return std::string("AB123CD");
    });
    QVERIFY(history.AfterFullRead(store, kEcu));
    const auto snapshots = history::ListSnapshots(folder).snapshots;
    QCOMPARE(snapshots.size(), std::size_t{1});
    QCOMPARE(snapshots[0].ecu, std::string("ecu-18-0-1-23_AB123CD"));
    QCOMPARE(snapshots[0].taken, history.SessionStart());
  }
};

QTEST_MAIN(ConnectionHistoryTest)
#include "ConnectionHistoryTest.moc"
