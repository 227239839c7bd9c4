// The vehicle window's emulation and level-sensor choices and the memory erase
// against a store on a recording link: which writes go out, in which order,
// what a refusal stops, and what the list shows afterwards.
#include <QTest>

#include "ConfCar.h"
#include "RecordingLink.h"
#include "VehicleHandlers.h"

using config::ChoiceOutcome;
using config::EmulationValues;
using config::SensorCalibration;
using Call = RecordingLink::Call;
using Calls = std::vector<Call>;
using Thresholds = std::array<int, 6>;

Q_DECLARE_METATYPE(EmulationValues)
Q_DECLARE_METATYPE(Calls)
Q_DECLARE_METATYPE(std::optional<SensorCalibration>)
Q_DECLARE_METATYPE(std::optional<EmulationValues>)

namespace {

constexpr std::uint32_t kOptionByte = 1;
constexpr std::uint32_t kTypeCode = 59;
constexpr std::uint32_t kThresholdCode = 60;
constexpr std::uint32_t kTriStateCode = 519;

Call W(std::uint32_t code, int value) {
  return {"write", code, 0, value};
}

// The six element writes of the threshold table, from the first up to count.
Calls Elements(const Thresholds& values, int count = 6) {
  Calls out;
  for (int i = 0; i < count; ++i) out.push_back({"element", kThresholdCode, i, values[static_cast<std::size_t>(i)]});
  return out;
}

Calls Join(std::initializer_list<Calls> parts) {
  Calls out;
  for (const Calls& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// A store on a link whose ECU holds the factory thresholds.
struct Bench {
  RecordingLink link;
  ConfCar store{"default.dmr", &link};
  Bench() { link.memory[60] = {25, 55, 114, 161, 215, 225}; }
};

}  // namespace

class VehicleHandlersTest : public QObject {
  Q_OBJECT

 private slots:
  void emulationPosition_data() {
    QTest::addColumn<EmulationValues>("values");
    QTest::addColumn<int>("position");
    QTest::newRow("standard square wave") << EmulationValues{360, 360, 0, 1} << 2;
    QTest::newRow("probe disconnected") << EmulationValues{0, 360, 0, 1} << 1;
    QTest::newRow("ground") << EmulationValues{0, 0, 5, 1} << 0;
    QTest::newRow("two waves: built") << EmulationValues{360, 360, 0, 2} << 3;
    QTest::newRow("all zero: built") << EmulationValues{0, 0, 0, 1} << 3;
    QTest::newRow("standard with tri-state: built") << EmulationValues{360, 360, 1, 1} << 3;
  }
  void emulationPosition() {
    QFETCH(EmulationValues, values);
    QTEST(config::EmulationPositionOf(values), "position");
  }

  // Each choice writes 5, 6, 7, 8 in order (raw: ms / 20, seconds × 50);
  // the list shows what the store holds afterwards, and a refusal is told.
  void emulationChoiceWrites_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<std::optional<EmulationValues>>("dialog");
    QTest::addColumn<std::uint32_t>("refused");
    QTest::addColumn<Calls>("writes");
    QTest::addColumn<int>("list");
    QTest::addColumn<bool>("wasRefused");
    const std::optional<EmulationValues> none;
    QTest::newRow("ground") << 0 << none << 0u
                            << Calls{W(5, 0), W(6, 0), W(kTriStateCode, 50), W(8, 1)} << 0 << false;
    QTest::newRow("disconnected") << 1 << none << 0u
                                  << Calls{W(5, 0), W(6, 18), W(kTriStateCode, 0), W(8, 1)} << 1
                                  << false;
    QTest::newRow("standard") << 2 << none << 0u
                              << Calls{W(5, 18), W(6, 18), W(kTriStateCode, 0), W(8, 1)} << 2
                              << false;
    QTest::newRow("built from the window")
        << 3 << std::optional<EmulationValues>{{100, 200, 2, 3}} << 0u
        << Calls{W(5, 5), W(6, 10), W(kTriStateCode, 100), W(8, 3)} << 3 << false;
    QTest::newRow("built, cancelled: the stored values again")
        << 3 << none << 0u << Calls{W(5, 18), W(6, 18), W(kTriStateCode, 0), W(8, 1)} << 2
        << false;
    // The ECU keeps its standard low time: 0, 360, 1 s, 1 is no fixed emulation.
    QTest::newRow("ground, low time refused")
        << 0 << none << 6u << Calls{W(5, 0), W(6, 0), W(kTriStateCode, 50), W(8, 1)} << 3 << true;
    QTest::newRow("standard, wave count refused: still standard")
        << 2 << none << 8u << Calls{W(5, 18), W(6, 18), W(kTriStateCode, 0), W(8, 1)} << 2 << true;
  }
  void emulationChoiceWrites() {
    QFETCH(int, choice);
    QFETCH(std::optional<EmulationValues>, dialog);
    QFETCH(std::uint32_t, refused);
    Bench b;
    if (refused != 0) b.link.refusedCodes.insert(refused);
    std::optional<EmulationValues> shown;
    const ChoiceOutcome outcome =
        config::ChooseEmulation(b.store, choice, [&](const EmulationValues& present) {
          shown = present;
          return dialog;
        });
    QTEST(b.link.Writes(), "writes");
    QTEST(outcome.listPosition, "list");
    QTEST(outcome.refused, "wasRefused");
    // The window opens only for the built wave, with the stored values.
    QCOMPARE(shown.has_value(), choice == 3);
    if (shown) QCOMPARE(*shown, (EmulationValues{360, 360, 0, 1}));
  }

  // The list position of each type code, with and without the optical flag.
  void sensorPosition_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("plain");
    QTest::addColumn<int>("withOpticalFlag");
    QTest::newRow("129 maker's own") << 129 << 0 << 0;
    QTest::newRow("2 0-90 Ohm") << 2 << 1 << 1;
    QTest::newRow("4 non-standard rising") << 4 << 2 << 4;
    QTest::newRow("131 non-standard falling") << 131 << 2 << 4;
    QTest::newRow("193") << 193 << 2 << 2;
    QTest::newRow("66") << 66 << 2 << 2;
    QTest::newRow("68 reserve") << 68 << 3 << 3;
    QTest::newRow("195") << 195 << 2 << 2;
    QTest::newRow("unknown code") << 7 << -1 << -1;
  }
  void sensorPosition() {
    QFETCH(int, code);
    Bench b;
    b.store.StoreRaw(9, code);
    QTEST(config::SensorPositionOf(b.store), "plain");
    b.store.StoreRaw(0, 0x20);
    QTEST(config::SensorPositionOf(b.store), "withOpticalFlag");
  }

  void sensorChoiceWrites_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<std::optional<SensorCalibration>>("dialog");
    QTest::addColumn<std::uint32_t>("refusedCode");
    QTest::addColumn<int>("refuseElementFrom");
    QTest::addColumn<Calls>("writes");
    QTest::addColumn<int>("list");
    QTest::addColumn<bool>("wasRefused");
    const std::optional<SensorCalibration> cancel;
    const Thresholds rising = {10, 20, 30, 40, 50, 60};
    const Thresholds falling = {236, 227, 218, 209, 194, 170};
    const Thresholds fallingInverted = {19, 28, 37, 46, 61, 85};
    const std::optional<SensorCalibration> up = SensorCalibration{rising, false};
    const std::optional<SensorCalibration> down = SensorCalibration{falling, true};

    QTest::newRow("maker's own") << 0 << cancel << 0u << -1
                                 << Calls{W(kTypeCode, 129), W(kOptionByte, 0)} << 0 << false;
    QTest::newRow("0-90 Ohm") << 1 << cancel << 0u << -1
                              << Calls{W(kTypeCode, 2), W(kOptionByte, 0)} << 1 << false;
    QTest::newRow("0-90 Ohm refused: stays") << 1 << cancel << kTypeCode << -1
                                             << Calls{W(kTypeCode, 2)} << 0 << true;
    QTest::newRow("reserve") << 3 << cancel << 0u << -1
                             << Join({{W(kTypeCode, 68)}, Elements(config::kReserveThresholds),
                                      {W(kOptionByte, 0)}})
                             << 3 << false;
    QTest::newRow("reserve, type refused: no table")
        << 3 << cancel << kTypeCode << -1 << Calls{W(kTypeCode, 68)} << 0 << true;
    // The ECU took the type: the list says so even though the table failed.
    QTest::newRow("reserve, fourth threshold refused")
        << 3 << cancel << 0u << 3
        << Join({{W(kTypeCode, 68)}, Elements(config::kReserveThresholds, 4)}) << 3 << true;
    QTest::newRow("non-standard rising")
        << 2 << up << 0u << -1
        << Join({{W(kTypeCode, 4)}, Elements(rising), {W(kOptionByte, 0)}}) << 2 << false;
    QTest::newRow("non-standard falling: type 131, table inverted")
        << 2 << down << 0u << -1
        << Join({{W(kTypeCode, 131)}, Elements(fallingInverted), {W(kOptionByte, 0)}}) << 2
        << false;
    QTest::newRow("non-standard cancelled: nothing written") << 2 << cancel << 0u << -1 << Calls{}
                                                             << 0 << false;
    QTest::newRow("non-standard, type refused: no table")
        << 2 << up << kTypeCode << -1 << Calls{W(kTypeCode, 4)} << 0 << true;
    QTest::newRow("optical: type, flag on, then table")
        << 4 << up << 0u << -1 << Join({{W(kTypeCode, 4), W(kOptionByte, 0x20)}, Elements(rising)})
        << 4 << false;
    QTest::newRow("optical, flag refused: no table")
        << 4 << up << kOptionByte << -1 << Calls{W(kTypeCode, 4), W(kOptionByte, 0x20)} << 2
        << true;
  }
  void sensorChoiceWrites() {
    QFETCH(int, choice);
    QFETCH(std::optional<SensorCalibration>, dialog);
    QFETCH(std::uint32_t, refusedCode);
    QFETCH(int, refuseElementFrom);
    Bench b;
    if (refusedCode != 0) b.link.refusedCodes.insert(refusedCode);
    b.link.refuseElementFrom = refuseElementFrom;
    std::optional<bool> opticalAsked;
    const ChoiceOutcome outcome = config::ChooseLevelSensor(
        b.store, choice, [&](const Thresholds& shown, bool optical) {
          // The maker's sensor (the store's default type) is inverted: the
          // window sees 255 minus the ECU's thresholds.
          [&] { QCOMPARE(shown, (Thresholds{230, 200, 141, 94, 40, 30})); }();
          opticalAsked = optical;
          return dialog;
        });
    QTEST(b.link.Writes(), "writes");
    QTEST(outcome.listPosition, "list");
    QTEST(outcome.refused, "wasRefused");
    QCOMPARE(opticalAsked.has_value(), choice == 2 || choice == 4);
    if (opticalAsked) QCOMPARE(*opticalAsked, choice == 4);
  }

  // A rising sensor's thresholds are shown as the ECU holds them.
  void risingSensorShowsThresholdsAsHeld() {
    Bench b;
    b.store.StoreRaw(9, 4);
    Thresholds shown{};
    config::ChooseLevelSensor(b.store, 2, [&](const Thresholds& values, bool) {
      shown = values;
      return std::optional<SensorCalibration>();
    });
    QCOMPARE(shown, (Thresholds{25, 55, 114, 161, 215, 225}));
  }

  void eraseTakenResetsAndReadsEverything() {
    Bench b;
    b.link.memory[56] = {40};
    b.store.StoreRaw(b.store.MemberAddress(5), 3);  // a value the erase must replace
    bool waited = false;
    QVERIFY(config::EraseMemory(b.store, b.link, [&] { waited = true; }));
    QVERIFY(waited);
    QCOMPARE(b.link.calls.front(), (Call{"element", 0, 0, 0}));
    QCOMPARE(b.store.GetValue(5), 360.0L);    // factory value (the ECU did not answer it)
    QCOMPARE(b.store.GetValue(56), 3000.0L);  // read afresh: 120000 / 40
  }

  void eraseRefusedChangesNothing() {
    Bench b;
    b.link.refusedCodes.insert(0);
    b.store.StoreRaw(b.store.MemberAddress(5), 3);
    bool waited = false;
    QVERIFY(!config::EraseMemory(b.store, b.link, [&] { waited = true; }));
    QVERIFY(!waited);
    QCOMPARE(b.link.calls.size(), std::size_t{1});
    QCOMPARE(b.store.GetValue(5), 60.0L);
  }
};

QTEST_GUILESS_MAIN(VehicleHandlersTest)
#include "VehicleHandlersTest.moc"
