#include "FormSensore.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <cstdint>

#include "Beep.h"
#include "DialogFields.h"
#include "DictionaryProblem.h"
#include "LiveBlocks.h"
#include "MessageBoxes.h"
#include "NamedWidgets.h"
#include "WindowTexts.h"

namespace config {

std::array<int, 6> OpticalThresholds(int empty, int full) {
  const int step = (empty - full) / 22;
  return {empty, empty - 3 * step, empty - 6 * step, empty - 9 * step, empty - 14 * step, full};
}

bool ThresholdsInOrder(const std::array<int, 6>& values, bool* descending) {
  *descending = values[5] < values[0];
  for (std::size_t i = 1; i < values.size(); ++i) {
    const bool ordered = *descending ? values[i - 1] >= values[i] : values[i - 1] <= values[i];
    if (!ordered) return false;
  }
  return true;
}

}  // namespace config

namespace {

constexpr int kLargestReading = 255;
// What a field that holds no number counts as when it is left: too large.
constexpr int kNotANumber = 256;

int IntegerOr(const QString& text, int fallback) {
  bool ok = false;
  const int value = text.toInt(&ok);
  return ok ? value : fallback;
}

// A reading the ECU can hold: a whole number 0..255.
bool ReadingOf(const QString& text, int* value) {
  bool ok = false;
  *value = text.toInt(&ok);
  return ok && *value >= 0 && *value <= kLargestReading;
}

}  // namespace

TFormSensore::TFormSensore(TModuloLingua* language, ecu::EcuLink* link, QWidget* parent)
    : QDialog(parent), link_(link) {
  setObjectName(QStringLiteral("FormSensore"));
  setWindowTitle(QStringLiteral("Impostazione sensore di livello non standard"));
  setFixedSize(536, 340);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(13);
  setFont(font);

  constexpr int kRows[] = {28, 72, 116};
  LabelLivVuoto = ui::MakeLabel(this, "LabelLivVuoto", QStringLiteral("Livello di vuoto"),
                                {24, kRows[0], 160, 24});
  Edit1 = config::MakeFieldEdit(this, "Edit1", {188, kRows[0], 65, 24});
  LabelLivRiserva =
      ui::MakeLabel(this, "LabelLivRiserva", QStringLiteral("Riserva"), {24, kRows[1], 160, 24});
  Edit2 = config::MakeFieldEdit(this, "Edit2", {188, kRows[1], 65, 24});
  LabelLiv1_4 = ui::MakeLabel(this, "LabelLiv1_4", QStringLiteral("1/4"), {24, kRows[2], 160, 24});
  Edit3 = config::MakeFieldEdit(this, "Edit3", {188, kRows[2], 65, 24});
  LabelLiv2_4 = ui::MakeLabel(this, "LabelLiv2_4", QStringLiteral("2/4"), {290, kRows[0], 150, 24});
  Edit4 = config::MakeFieldEdit(this, "Edit4", {448, kRows[0], 65, 24});
  LabelLiv3_4 = ui::MakeLabel(this, "LabelLiv3_4", QStringLiteral("3/4"), {290, kRows[1], 150, 24});
  Edit5 = config::MakeFieldEdit(this, "Edit5", {448, kRows[1], 65, 24});
  LabelLivPieno = ui::MakeLabel(this, "LabelLivPieno", QStringLiteral("Livello di pieno"),
                                {290, kRows[2], 150, 24});
  Edit6 = config::MakeFieldEdit(this, "Edit6", {448, kRows[2], 65, 24});
  for (QLineEdit* edit : Edits()) edit->setMaxLength(3);

  LabelLettSens = ui::MakeLabel(this, "LabelLettSens", QStringLiteral("Valore attuale del sensore"),
                                {118, 168, 300, 22});
  LabelLettSens->setAlignment(Qt::AlignCenter);
  LabelvSens = ui::MakeLabel(this, "LabelvSens", QStringLiteral("0"), {218, 192, 100, 30});
  LabelvSens->setAlignment(Qt::AlignCenter);
  QFont reading = LabelvSens->font();
  reading.setBold(true);
  reading.setPixelSize(22);
  LabelvSens->setFont(reading);

  ButtonOk = ui::MakeButton(this, "ButtonOk", QStringLiteral("&OK"), {118, 290, 130, 30});
  ButtonAnnulla =
      ui::MakeButton(this, "ButtonAnnulla", QStringLiteral("&Annulla"), {288, 290, 130, 30});
  ButtonCalcola =
      ui::MakeButton(this, "ButtonCalcola", QStringLiteral("Calcola valori (sensore ottico)"),
                     {118, 240, 300, 30});
  ButtonCalcola->hide();

  QWidget* previous = nullptr;
  for (QWidget* next : std::initializer_list<QWidget*>{Edit1, Edit2, Edit3, Edit4, Edit5, Edit6,
                                                       ButtonOk, ButtonAnnulla, ButtonCalcola}) {
    if (previous != nullptr) setTabOrder(previous, next);
    previous = next;
  }
  const auto edits = Edits();
  new config::DialogFieldEvents(
      this, {edits.begin(), edits.end()},
      {[this](QLineEdit* edit) {
         saved_ = std::clamp(IntegerOr(edit->text(), 0), 0, kLargestReading);
       },
       [](QLineEdit*, const QString& typed) {
         if (typed.size() == 1 && typed.front() >= u'0' && typed.front() <= u'9') return true;
         SystemBeep();
         return false;
       },
       [this](QLineEdit* edit) { return LeaveField(edit); }});

  connect(ButtonOk, &QPushButton::clicked, this, &TFormSensore::Validate);
  connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);
  connect(ButtonCalcola, &QPushButton::clicked, this, &TFormSensore::Calcola);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(kReadingInterval);
  connect(Timer1, &QTimer::timeout, this, &TFormSensore::ReadSensor);
  Timer1->start();

  messDatoNoValido_ = QStringLiteral("Valore non valido: inserire un numero da 0 a 255.");
  messOrdineNoValido_ =
      QStringLiteral("Le soglie devono essere tutte crescenti o tutte decrescenti.");
  LoadTexts(language);
  Edit1->setFocus();
}

void TFormSensore::LoadTexts(TModuloLingua* language) {
  const QList<WindowText> texts = {
      {QStringLiteral("LabelLivVuoto"), 20, SetTextOf(LabelLivVuoto)},
      {QStringLiteral("LabelLivRiserva"), 20, SetTextOf(LabelLivRiserva)},
      {QStringLiteral("LabelLiv1_4"), 20, SetTextOf(LabelLiv1_4)},
      {QStringLiteral("LabelLiv2_4"), 20, SetTextOf(LabelLiv2_4)},
      {QStringLiteral("LabelLiv3_4"), 20, SetTextOf(LabelLiv3_4)},
      {QStringLiteral("LabelLivPieno"), 20, SetTextOf(LabelLivPieno)},
      {QStringLiteral("LabelLettSens"), 30, SetTextOf(LabelLettSens)},
      {QStringLiteral("ButtonOk"), 15, SetTextOf(ButtonOk)},
      {QStringLiteral("ButtonAnnulla"), 15, SetTextOf(ButtonAnnulla)},
      {QStringLiteral("FinestraSensore"), 70, SetTitleOf(this)},
      {QStringLiteral("MessDatoNoValido"), 70, StoreIn(&messDatoNoValido_)},
      {QStringLiteral("MessOrdineNoValido"), 70, StoreIn(&messOrdineNoValido_)},
  };
  if (language == nullptr || !ApplyWindowTexts(*language, texts))
    ui::ShowDictionaryProblem(this, 2);
}

std::array<QLineEdit*, TFormSensore::kThresholds> TFormSensore::Edits() const {
  return {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6};
}

bool TFormSensore::IsThresholdEdit(QObject* object) const {
  for (QLineEdit* edit : Edits())
    if (edit == object) return true;
  return false;
}

void TFormSensore::SetThresholds(const std::array<int, kThresholds>& values) {
  const auto edits = Edits();
  for (std::size_t i = 0; i < edits.size(); ++i) edits[i]->setText(QString::number(values[i]));
}

std::array<int, TFormSensore::kThresholds> TFormSensore::Thresholds() const {
  std::array<int, kThresholds> values{};
  const auto edits = Edits();
  for (std::size_t i = 0; i < edits.size(); ++i) values[i] = IntegerOr(edits[i]->text(), 0);
  return values;
}

void TFormSensore::ReadSensor() {
  std::uint8_t block[ecu::kLiveBlockSize] = {};
  int reading = 0;
  if (link_ != nullptr && link_->ReadLiveBlock(1, block, ecu::kLiveBlockSize))
    reading = live::DecodeSlow(block).gasLevel;
  LabelvSens->setText(QString::number(reading));
}

void TFormSensore::Validate() {
  descending_ = false;
  if (IsThresholdEdit(focusWidget()) && !LeaveField(static_cast<QLineEdit*>(focusWidget())))
    return;
  std::array<int, kThresholds> values{};
  bool readable = true;
  const auto edits = Edits();
  for (std::size_t i = 0; i < edits.size(); ++i)
    readable = readable && ReadingOf(edits[i]->text(), &values[i]);
  bool descending = false;
  if (readable && config::ThresholdsInOrder(values, &descending)) {
    descending_ = descending;
    accept();
    return;
  }
  descending_ = readable && descending;
  MessageBoxes::ShowError(this, messOrdineNoValido_, windowTitle());
  Edit1->setFocus();
}

void TFormSensore::Calcola() {
  int empty = 0;
  int full = 0;
  if (!ReadingOf(Edit1->text(), &empty) || !ReadingOf(Edit6->text(), &full)) {
    MessageBoxes::ShowError(
        this,
        QStringLiteral("Inserire i valori di VUOTO e PIENO per poter calcolare le soglie di scatto"),
        windowTitle());
    return;
  }
  SetThresholds(config::OpticalThresholds(empty, full));
}

bool TFormSensore::LeaveField(QLineEdit* edit) {
  if (IntegerOr(edit->text(), kNotANumber) <= kLargestReading) return true;
  MessageBoxes::Show(this, {messDatoNoValido_, windowTitle(), BoxIcon::Warning, BoxButtons::Ok, {}});
  edit->setText(QString::number(saved_));
  return false;
}
