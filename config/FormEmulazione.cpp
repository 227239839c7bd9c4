#include "FormEmulazione.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <cmath>

#include "DialogFields.h"
#include "DictionaryProblem.h"
#include "FieldNumbers.h"
#include "MessageBoxes.h"
#include "NamedWidgets.h"
#include "Parameters.h"
#include "WavePreview.h"
#include "WindowTexts.h"

namespace {

// The upper limits of the high and low times (in seconds here, milliseconds in
// the parameter table) and of the wave count are the parameters' own.
constexpr double SecondsLimitOf(params::Id id) {
  return params::Row(id).edit.maximum / 1000;
}
constexpr double kHighTimeLimit = SecondsLimitOf(params::Id::EmulationHighTime);
constexpr double kLowTimeLimit = SecondsLimitOf(params::Id::EmulationLowTime);
constexpr double kWavesLimit = params::Row(params::Id::EmulationWaveCount).edit.maximum;
constexpr double kTriStateLimit = 1310;   // seconds
constexpr double kStandardTime = 0.36;    // seconds
// Times beyond any field's limit are cut here before they become pixels, so
// a long typed number cannot overflow the drawing.
constexpr double kLargestDrawnMs = 1.0e6;

// Milliseconds of a field of seconds, for the preview: trunc(value × 1000).
int PreviewMs(double seconds) {
  return static_cast<int>(std::trunc(std::clamp(seconds * 1000, 0.0, kLargestDrawnMs)));
}

// The whole number in text, or fallback when it holds none.
int WholeNumberOr(const QString& text, int fallback) {
  bool ok = false;
  const int value = text.toInt(&ok);
  return ok ? value : fallback;
}

// Milliseconds the caller stores: trunc((seconds + 0.0001) × 1000).
int StoredMs(const QString& text) {
  double seconds = 0;
  if (!config::ParseNumber(text, &seconds)) return 0;
  return static_cast<int>(std::trunc(std::clamp((seconds + 0.0001) * 1000, 0.0, kLargestDrawnMs)));
}

}  // namespace

TFormEmulazione::TFormEmulazione(TModuloLingua* language, int highMs, int lowMs,
                                 int triStateSeconds, int waves, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("FormEmulazione"));
  setWindowTitle(QStringLiteral("Definizione parametri emulazione sonda Lambda"));
  setFixedSize(536, 365);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(13);
  setFont(font);

  LabelTempoAlto =
      ui::MakeLabel(this, "LabelTempoAlto", QStringLiteral("Tempo di alto"), {24, 24, 250, 24});
  EditAlto = config::MakeFieldEdit(this, "EditAlto", {280, 24, 72, 24});
  LabelMs1 = ui::MakeLabel(this, "LabelMs1", QStringLiteral("s"), {360, 24, 40, 24});
  LabelTempoBasso =
      ui::MakeLabel(this, "LabelTempoBasso", QStringLiteral("Tempo di basso"), {24, 60, 250, 24});
  EditBasso = config::MakeFieldEdit(this, "EditBasso", {280, 60, 72, 24});
  LabelMs2 = ui::MakeLabel(this, "LabelMs2", QStringLiteral("s"), {360, 60, 40, 24});
  LabelTempoTristate = ui::MakeLabel(this, "LabelTempoTristate",
                                     QStringLiteral("Tempo di tristate"), {24, 96, 250, 24});
  EditTristate = config::MakeFieldEdit(this, "EditTristate", {280, 96, 72, 24});
  LabelS = ui::MakeLabel(this, "LabelS", QStringLiteral("s"), {360, 96, 40, 24});
  LabelNOnde = ui::MakeLabel(this, "LabelNOnde", QStringLiteral("Numero onde emulazione"),
                             {24, 132, 250, 24});
  EditOnde = config::MakeFieldEdit(this, "EditOnde", {280, 132, 72, 24});

  ButtonOk = ui::MakeButton(this, "ButtonOk", QStringLiteral("&OK"), {408, 22, 112, 30});
  ButtonAnnulla =
      ui::MakeButton(this, "ButtonAnnulla", QStringLiteral("&Annulla"), {408, 62, 112, 30});
  ButtonDefault =
      ui::MakeButton(this, "ButtonDefault", QStringLiteral("&Standard"), {408, 128, 112, 30});

  LabelAnteprima = ui::MakeLabel(this, "LabelAnteprima", QStringLiteral("Anteprima onda generata"),
                                 {18, 188, 500, 22});
  QFont bold = LabelAnteprima->font();
  bold.setBold(true);
  LabelAnteprima->setFont(bold);

  // The preview frame: its caption shows through when nothing is drawn.
  Panel1 = ui::MakeLabel(this, "Panel1", QStringLiteral("(non disponibile)"), {18, 214, 500, 105});
  Panel1->setAlignment(Qt::AlignCenter);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setLineWidth(1);
  Panel1->setAutoFillBackground(true);
  QPalette framePalette = Panel1->palette();
  // The inactive-caption colour of the classic desktop: the wave's yellow and
  // the tri-state red both stand out on it.
  framePalette.setColor(QPalette::Window, QColor(0x7A, 0x96, 0xDF));
  Panel1->setPalette(framePalette);
  PaintBox1 = new config::WavePreview(Panel1);
  PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
  PaintBox1->setGeometry(1, 1, 498, 103);

  Label5 = ui::MakeLabel(this, "Label5", QStringLiteral("s"), {18, 330, 60, 20});
  Label6 = ui::MakeLabel(this, "Label6", QStringLiteral("s"), {88, 330, 60, 20});
  Label7 = ui::MakeLabel(this, "Label7", QStringLiteral("s"), {158, 330, 60, 20});
  for (QLabel* hidden : {Label5, Label6, Label7}) hidden->hide();

  fields_[0] = {EditAlto, kHighTimeLimit, false};
  fields_[1] = {EditBasso, kLowTimeLimit, false};
  fields_[2] = {EditTristate, kTriStateLimit, true};
  fields_[3] = {EditOnde, kWavesLimit, true};
  new config::DialogFieldEvents(
      this, {EditAlto, EditBasso, EditTristate, EditOnde},
      {[this](QLineEdit* edit) { EnterField(*FieldOf(edit)); },
       [this](QLineEdit* edit, const QString& typed) { return FilterCharacter(*FieldOf(edit), typed); },
       [this](QLineEdit* edit) { return LeaveField(*FieldOf(edit)); }});

  setTabOrder(EditAlto, EditBasso);
  setTabOrder(EditBasso, EditTristate);
  setTabOrder(EditTristate, EditOnde);
  setTabOrder(EditOnde, ButtonOk);
  setTabOrder(ButtonOk, ButtonAnnulla);
  setTabOrder(ButtonAnnulla, ButtonDefault);

  connect(ButtonOk, &QPushButton::clicked, this, &TFormEmulazione::Confirm);
  connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);
  connect(ButtonDefault, &QPushButton::clicked, this, &TFormEmulazione::Standard);

  EditAlto->setText(config::FormatNumber(highMs * 0.001));
  EditBasso->setText(config::FormatNumber(lowMs * 0.001));
  EditTristate->setText(QString::number(triStateSeconds));
  EditOnde->setText(QString::number(waves));

  messNonDisp_ = Panel1->text();
  messEmulIndef_ =
      QStringLiteral("Emulazione non definita: impostare almeno un tempo diverso da zero.");
  LoadTexts(language);
  RefreshPreview();
  EditAlto->setFocus();
}

void TFormEmulazione::LoadTexts(TModuloLingua* language) {
  const QList<WindowText> texts = {
      {QStringLiteral("LabelTempoAlto"), 35, SetTextOf(LabelTempoAlto)},
      {QStringLiteral("LabelTempoBasso"), 35, SetTextOf(LabelTempoBasso)},
      {QStringLiteral("LabelTempoTristate"), 35, SetTextOf(LabelTempoTristate)},
      {QStringLiteral("LabelNOnde"), 35, SetTextOf(LabelNOnde)},
      {QStringLiteral("LabelAnteprima"), 50, SetTextOf(LabelAnteprima)},
      {QStringLiteral("ButtonOk"), 15, SetTextOf(ButtonOk)},
      {QStringLiteral("ButtonAnnulla"), 15, SetTextOf(ButtonAnnulla)},
      {QStringLiteral("ButtonDefault"), 15, SetTextOf(ButtonDefault)},
      {QStringLiteral("UnitaSecondi"), 5,
       [this](const QString& text) {
         LabelS->setText(text);
         LabelMs1->setText(text);
         LabelMs2->setText(text);
       }},
      {QStringLiteral("FinestraEmulazione"), 70, SetTitleOf(this)},
      {QStringLiteral("MessNonDisp"), 70, StoreIn(&messNonDisp_)},
      {QStringLiteral("MessEmulIndef"), 70, StoreIn(&messEmulIndef_)},
  };
  if (language == nullptr || !ApplyWindowTexts(*language, texts))
    ui::ShowDictionaryProblem(this, 2);
}

int TFormEmulazione::HighMs() const {
  return StoredMs(EditAlto->text());
}

int TFormEmulazione::LowMs() const {
  return StoredMs(EditBasso->text());
}

int TFormEmulazione::TriStateSeconds() const {
  return WholeNumberOr(EditTristate->text(), 0);
}

int TFormEmulazione::Waves() const {
  return WholeNumberOr(EditOnde->text(), 1);
}

const TFormEmulazione::Field* TFormEmulazione::FieldOf(QObject* object) const {
  for (const Field& field : fields_)
    if (field.edit == object) return &field;
  return nullptr;
}

void TFormEmulazione::Standard() {
  EditAlto->setText(config::FormatNumber(kStandardTime));
  EditBasso->setText(config::FormatNumber(kStandardTime));
  EditTristate->setText(QStringLiteral("0"));
  EditOnde->setText(QStringLiteral("1"));
  RefreshPreview();
  ButtonOk->setFocus();
}

void TFormEmulazione::Confirm() {
  // A shortcut reaches OK without the field being left: check it first.
  if (const Field* focused = FieldOf(focusWidget()); focused != nullptr && !LeaveField(*focused))
    return;
  double high = 0;
  double low = 0;
  for (QLineEdit* time : {EditAlto, EditBasso}) {
    double value = 0;
    if (!config::ParseNumber(time->text(), &value)) {
      config::ShowConversionError(this, time->text());
      time->setFocus();
      return;
    }
    (time == EditAlto ? high : low) = value;
  }
  if (high == 0 && low == 0 && TriStateSeconds() == 0) {
    MessageBoxes::ShowError(this, messEmulIndef_, windowTitle());
    EditAlto->setFocus();
    return;
  }
  accept();
}

void TFormEmulazione::EnterField(const Field& field) {
  double value = 0;
  if (field.edit == EditTristate)
    value = WholeNumberOr(field.edit->text(), 0);
  else if (!config::ParseNumber(field.edit->text(), &value))
    value = 0;
  saved_ = std::clamp(value, 0.0, field.limit);
}

bool TFormEmulazione::LeaveField(const Field& field) {
  double value = 0;
  bool stay = false;
  if (!config::ParseNumber(field.edit->text(), &value)) {
    config::ShowConversionError(this, field.edit->text());
    stay = true;
  } else if (value > field.limit) {
    field.edit->setText(config::FormatNumber(saved_));
    stay = true;
  }
  RefreshPreview();
  return !stay;
}

bool TFormEmulazione::FilterCharacter(const Field& field, const QString& typed) const {
  if (typed.size() != 1) return false;
  const QChar c = typed.front();
  if (c.isDigit() && c.unicode() < 128) return true;
  if (c == QChar(u'\b')) return true;
  const QString separator(fields::SystemDecimalSeparator());
  if (typed != separator || field.wholeNumber) return false;
  return !field.edit->text().contains(separator) ||
         field.edit->selectedText().contains(separator);
}

void TFormEmulazione::RefreshPreview() {
  double high = 0;
  double low = 0;
  const bool times = config::ParseNumber(EditAlto->text(), &high) &&
                     config::ParseNumber(EditBasso->text(), &low);
  config::WaveDrawing drawing;
  if (times) {
    drawing = config::DrawWave(PaintBox1->width(), PreviewMs(high), PreviewMs(low),
                               TriStateSeconds(), Waves());
  } else {
    // A time that is not a number has been reported when its field was left;
    // the preview shows that there is nothing to draw.
    drawing.nothingToDraw = true;
  }
  Label5->setText(QString::number(drawing.scale.msPerPixel));
  Label6->setText(QString::number(drawing.scale.highPixels));
  Label7->setText(QString::number(drawing.scale.lowPixels));
  Panel1->setText(drawing.nothingToDraw ? messNonDisp_ : QString());
  PaintBox1->SetDrawing(std::move(drawing));
}
