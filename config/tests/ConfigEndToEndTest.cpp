// Both configuration windows against the virtual ECU program on a real
// pseudo-terminal, through the real link library: a value typed and
// confirmed with Enter reaches the ECU as the expected raw byte, and a write
// the ECU refuses leaves the field or the check box showing what the store
// holds.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>

#include "Beep.h"
#include "ConfCar.h"
#include "ConfOptFields.h"
#include "ConfigWindowTestSupport.h"
#include "FormConfOpt.h"
#include "FormConfSw.h"
#include "MessageBoxes.h"
#include "VirtualEcuProcess.h"

namespace {

int AddressOf(int identifier) {
  return ecu::CodeAddress(ConfCar::ParameterCode(identifier));
}

// The ECU program, the link library's link to it and a store read from it.
class EcuSession {
 public:
  // A fresh ECU (factory memory, empty log) in a folder of its own.
  explicit EcuSession(const QStringList& options) : ecu_(dir_.path(), QStringLiteral("ecu")) {
    port_ = ecu_.Start(QStringList{QStringLiteral("--engine"), QStringLiteral("off")} + options);
    if (port_.isEmpty()) return;
    library_.setFileName(QDir(QStringLiteral(PROGRAM_FOLDER)).filePath(ECU_LINK_LIBRARY_FILE));
    if (!library_.load()) return;
    const auto create =
        reinterpret_cast<CreateClassInstanceFn>(library_.resolve(ECU_LINK_CREATE_SYMBOL));
    destroy_ =
        reinterpret_cast<DestroyClassInstanceFn>(library_.resolve(ECU_LINK_DESTROY_SYMBOL));
    if (create == nullptr || destroy_ == nullptr) return;
    qputenv("SEROXT_PORT", QFile::encodeName(port_));
    link_ = create();
    if (link_ == nullptr || !link_->OpenLink() || !link_->Connect()) return;
    store_ = std::make_unique<ConfCar>("ecu.dmr", link_);
    store_->ReadAll();
    ready_ = true;
  }
  ~EcuSession() {
    store_.reset();
    if (link_ != nullptr) {
      link_->Disconnect();
      destroy_(link_);
    }
    qunsetenv("SEROXT_PORT");
    ecu_.Stop();
  }

  bool Ready() const { return ready_; }
  QString Errors() const { return ecu_.Errors(); }
  ConfCar& Store() { return *store_; }
  FormContext Context() {
    FormContext context;
    context.store = store_.get();
    context.link = link_;
    return context;
  }
  // The ECU's accepted writes, as its command log has them.
  QStringList Writes() const {
    QStringList out;
    for (const QString& line : ecu_.Log())
      if (line.startsWith(QStringLiteral("WRITE "))) out << line;
    return out;
  }

 private:
  QTemporaryDir dir_;
  VirtualEcuProcess ecu_;
  QString port_;
  QLibrary library_;
  DestroyClassInstanceFn destroy_ = nullptr;
  ecu::EcuLink* link_ = nullptr;
  std::unique_ptr<ConfCar> store_;
  bool ready_ = false;
};

QString WriteLine(int identifier, int index, int raw) {
  return QStringLiteral("WRITE %1 %2 %3").arg(AddressOf(identifier)).arg(index).arg(raw);
}

}  // namespace

class ConfigEndToEndTest : public QObject {
  Q_OBJECT

 private:
  TModuloLingua lingua_;

  // A window of type Window on the session's ECU, shown on page.
  template <class Window>
  std::unique_ptr<Window> Open(EcuSession& session, int page) {
    FormContext context = session.Context();
    context.language = &lingua_;
    auto window = std::make_unique<Window>(context);
    window->SetTag(256 + page);
    if (!ShowActive(window.get())) return nullptr;
    return window;
  }

 private slots:
  void initTestCase() {
    QVERIFY(OpenBuiltDictionary(lingua_, QStringLiteral("ITALIANO")));
  }

  // Software window: the full-power speed and the full-power TPS element.
  void softwareValuesReachTheEcu() {
    EcuSession session({});
    QVERIFY2(session.Ready(), qPrintable(session.Errors()));
    auto window = Open<TFormConfSw>(session, 2);
    QVERIFY(window);
    QCOMPARE(window->Editor().CurrentRow(), 6);
    QVERIFY(EnterValue(window.get(), QStringLiteral("2.5")));
    KeyAt(window.get(), Qt::Key_Down);
    QVERIFY(EnterValue(window.get(), QStringLiteral("3520")));
    QTRY_COMPARE(session.Writes(),
                 (QStringList{WriteLine(25, 2, 127), WriteLine(48, 0, 120000 / 3500)}));
    QCOMPARE(window->Editor().Edit(7)->text(), QStringLiteral("3500"));
  }

  // Software window, refused address: the field shows the stored value again.
  void softwareRefusedWriteShowsTheStore() {
    EcuSession session({QStringLiteral("--refuse"), QString::number(AddressOf(48))});
    QVERIFY2(session.Ready(), qPrintable(session.Errors()));
    auto window = Open<TFormConfSw>(session, 2);
    QVERIFY(window);
    KeyAt(window.get(), Qt::Key_Down);
    const QString stored = window->Editor().Edit(7)->text();
    QVERIFY(EnterValue(window.get(), QStringLiteral("6000")));
    QCOMPARE(window->Editor().Edit(7)->text(), stored);
    QVERIFY(session.Writes().isEmpty());
  }

  // Optional window: the change-over temperature and an option check box.
  void optionalValuesReachTheEcu() {
    EcuSession session({});
    QVERIFY2(session.Ready(), qPrintable(session.Errors()));
    auto window = Open<TFormConfOpt>(session, 0);
    QVERIFY(window);
    QVERIFY(EnterValue(window.get(), QStringLiteral("30")));
    QCOMPARE(window->Editor().Edit(0)->text(), QStringLiteral("30"));
    KeyAt(window.get(), Qt::Key_Down);
    QCheckBox* box = window->Editor().CheckBox(2);
    QCOMPARE(window->focusWidget(), box);
    const bool wasOn = box->isChecked();
    KeyAt(window.get(), Qt::Key_Return);
    QCOMPARE(box->isChecked(), !wasOn);
    QTRY_COMPARE(session.Writes(), (QStringList{WriteLine(58, 0, RawOfTemperature(30)),
                                                WriteLine(62, 0, wasOn ? 12 : 20)}));
  }

  // Optional window, refused address: the check box and its row stay as the
  // store has them, after one beep.
  void optionalRefusedOptionShowsTheStore() {
    EcuSession session({QStringLiteral("--refuse"), QString::number(AddressOf(62))});
    QVERIFY2(session.Ready(), qPrintable(session.Errors()));
    auto window = Open<TFormConfOpt>(session, 0);
    QVERIFY(window);
    KeyAt(window.get(), Qt::Key_Down);
    QCheckBox* box = window->Editor().CheckBox(2);
    const bool wasOn = box->isChecked();
    const bool rowShown = !window->Editor().Input(kRowFuoriGiri)->isHidden();
    ScopedBeepCounter beeps;
    KeyAt(window.get(), Qt::Key_Return);
    QCOMPARE(beeps.Count(), 1);
    QCOMPARE(box->isChecked(), wasOn);
    QCOMPARE(!window->Editor().Input(kRowFuoriGiri)->isHidden(), rowShown);
    QCOMPARE(std::trunc(double(session.Store().GetValue(62))) < 7001, wasOn);
    QVERIFY(session.Writes().isEmpty());
  }
};

QTEST_MAIN(ConfigEndToEndTest)
#include "ConfigEndToEndTest.moc"
