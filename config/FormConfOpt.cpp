#include "FormConfOpt.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <cmath>

#include "ApplicationInfo.h"
#include "ConfCar.h"
#include "ConfOptFields.h"
#include "ConfigWindowParts.h"
#include "DictionaryProblem.h"
#include "FieldNumbers.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "NamedWidgets.h"
#include "Parameters.h"
#include "Scaling.h"
#include "WindowTexts.h"

using params::Id;

namespace {

using namespace config_parts;

const char* const kPageCaptions[] = {"Cambio Benzina-Gas", "Attuatore", "Tps", "CutOff"};

// Where a row sits on its page: the input's top, and for a check box the
// caption's own place; the design caption.
struct RowPlace {
  int top;
  int captionLeft;  // check boxes only
  int captionTop;   // check boxes only
  const char* caption;
};
constexpr RowPlace kPlaces[] = {
    {56, 0, 0, "Temperatura minima per il cambio"},
    {104, 0, 0, "Temperatura motore per partenza a gas"},
    {176, 144, 182, "Opzione ritorno a benzina in fuori giri"},
    {216, 0, 0, "Soglia di intervento del fuori giri"},
    {312, 152, 318, "Ritorno automatico a benzina con basso livello gas"},
    {352, 0, 0, "Livello gas per ritorno a benzina"},
    {24, 144, 32, "Opzione default fisso"},
    {56, 0, 0, "Valore di default"},
    {120, 0, 0, "Passi in apertura al minimo oltre default"},
    {160, 0, 0, "Passi in chiusura al minimo sotto default"},
    {216, 0, 0, "Passi in apertura fuori minimo oltre default"},
    {256, 0, 0, "Passi in chiusura fuori minimo sotto default"},
    {312, 144, 320, "Opzione Salto attuatore in Affondata"},
    {344, 0, 0, "Posizione attuatore in affondata"},
    {384, 0, 0, "Valore del Tps per affondata"},
    {144, 0, 0, "Isteresi Bosch"},
    {208, 0, 0, "Isteresi al minimo"},
    {120, 144, 128, "Opzione CutOff"},
    {192, 0, 0, "Giri termine CutOff"},
    {240, 0, 0, "Posizione attuatore in CutOff"},
};
static_assert(std::size(kPlaces) == std::size(kConfOptRows));

// The frames around the option groups: page, name, rectangle. They reach
// nearly to the page's edge, so an edit's range hint with the longest unit
// ("(4000; 8000 U/min)") stays inside.
struct Frame {
  int page;
  const char* name;
  int left, top, width, height;
};
constexpr Frame kFrames[] = {
    {0, "Bevel2", 72, 160, 674, 113},
    {0, "Bevel1", 72, 296, 674, 113},
    {1, "Bevel3", 72, 16, 674, 81},
    {1, "Bevel4", 72, 304, 674, 121},
};

// An over-rev threshold or a cut-off end speed from this speed up means the
// option is off; the window writes kOffSpeed to switch either off.
constexpr int kOffFromSpeed = 7001;
constexpr double kOffSpeed = 10000;
constexpr double kOverRevOnSpeed = 6000;
constexpr double kCutOffOnSpeed = 1700;

// A speed option is on for a speed below kOffFromSpeed. The byte 255 the
// window writes for "off" reads as no speed at all (0 rpm), so no speed is off.
bool SpeedOptionOn(int rpm) {
  return rpm > 0 && rpm < kOffFromSpeed;
}
// The low gas level at which the option is off, and the one it starts with.
constexpr double kLevelOff = 0;
constexpr double kLevelOffInverted = 255;
constexpr double kLevelOn = 12;
constexpr double kLevelOnInverted = 243;
// The kick-down option is off at the end of the TPS range.
constexpr double kKickDownOnVolts = 4;
constexpr double kKickDownPosition = 100;
constexpr int kMonoBoschTps = 4;

}  // namespace

TFormConfOpt::TFormConfOpt(const FormContext& context, QWidget* parent)
    : PagedConfigWindow(context, parent) {
  setObjectName(QStringLiteral("FormConfOpt"));
  SetUpWindow(this, QStringLiteral("Configurazioni opzionali"), 798, 570);
  BuildControls();
  FieldEditorOptions options;
  options.populateBackwards = true;
  MakeEditor(kConfOptRows, kConfOptPages, options);
  editor_->SetChangeHandler(
      [this](int handler, int, HandlerPhase phase) { return RunOption(handler, phase); });
  LoadTexts(context.language);
  ScaleToScreen(this);
}

void TFormConfOpt::BuildControls() {
  PageControl1 = AddPages(this, QRect(24, 8, 753, 481), kConfOptPages, kPageCaptions);
  for (const Frame& frame : kFrames) {
    auto* bevel = new QFrame(PageControl1->widget(frame.page));
    bevel->setObjectName(QString::fromLatin1(frame.name));
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(frame.left, frame.top, frame.width, frame.height);
    bevel->lower();
  }
  for (int r = 0; r < int(std::size(kConfOptRows)); ++r) BuildRow(r);
  // The row is read with the others but never shown.
  findChild<QLabel*>(QStringLiteral("LabelTempPartenzaGas"))->hide();
  findChild<QLineEdit*>(QStringLiteral("EditTPartenzaGas"))->hide();

  auto* logo = ui::MakeLabel(this, "Image1", ApplicationTitle(), {16, 496, 137, 57});
  logo->setAlignment(Qt::AlignCenter);
  logo->setFrameStyle(QFrame::Panel | QFrame::Raised);
  logo->setWordWrap(true);
  // Three wrapped lines of the bold face need 58 pixels; the label is made
  // a little taller than its 57 so none is cut.
  AddStatusLabels(this, QRect(160, 496, 121, 60), true, 544, 496, 520);
  AddExitButton(this, QRect(340, 504, 137, 33));
}

void TFormConfOpt::BuildRow(int r) {
  const FieldRow& row = kConfOptRows[r];
  const RowPlace& place = kPlaces[r];
  QWidget* page = PageControl1->widget(PageOfRow(kConfOptPages, r));
  const QString caption = QString::fromUtf8(place.caption);
  if (row.kind == FieldKind::CheckBox) {
    AddCheckBox(page, row.input, kCaptionLeft, place.top);
    ui::MakeLabel(page, row.caption, caption)->move(place.captionLeft, place.captionTop);
  } else {
    ui::MakeLabel(page, row.caption, caption)->move(kCaptionLeft, place.top + kCaptionBelowEdit);
    AddEdit(page, row.input, place.top);
  }
}

void TFormConfOpt::LoadTexts(TModuloLingua* lingua) {
  QList<WindowText> texts = {
      {QStringLiteral("ButtonEsci"), 15,
       SetTextOf(findChild<QPushButton*>(QStringLiteral("ButtonEsci")))}};
  for (const FieldRow& row : kConfOptRows)
    texts.append({QString::fromLatin1(row.caption), 60,
                  SetTextOf(findChild<QLabel*>(QString::fromLatin1(row.caption)))});
  for (int p = 0; p < int(std::size(kConfOptPages)); ++p)
    texts.append({QString::fromLatin1(kConfOptPages[p].name), 25,
                  [this, p](const QString& text) { PageControl1->setTabText(p, text); }});
  for (const char* name : {"LabelLimiti", "LabelGoVis"})
    texts.append({QString::fromLatin1(name), 45,
                  SetTextOf(findChild<QLabel*>(QString::fromLatin1(name)))});
  texts.append({QStringLiteral("MessNoConn"), 30,
                SetTextOf(findChild<QLabel*>(QStringLiteral("LabelNonConnesso")))});
  texts.append({QStringLiteral("FinestraConfOpt"), 70, SetTitleOf(this)});
  for (const char* unit : {"UnitaGradi", "UnitaGiri", "UnitaVolt"})
    texts.append({QString::fromLatin1(unit), 5, editor_->UnitText(unit)});
  if (lingua == nullptr || !ApplyWindowTexts(*lingua, texts))
    ui::ShowDictionaryProblem(this, 3);
}

void TFormConfOpt::ShowSteps() {
  ConfCar& store = *context_.store;
  // The level that switches the low-level option off cannot be entered.
  if (store.InvertedLevel())
    editor_->SetRange(kRowLivello, 0, 254);
  else
    editor_->SetRange(kRowLivello, 1, 255);
  editor_->PopulateFields();
  if (static_cast<int>(Read(params::Id::TpsType)) != kMonoBoschTps) {
    editor_->SetRowShown(kRowIstBosch, false);
    editor_->Input(kRowIstBosch)->setEnabled(false);
  }
  if (store.VariantFlag()) PageControl1->setTabVisible(0, false);
  editor_->ShowConnectionState(context_.Connected());
  FitLabels(this);
  FitCaptions(*editor_);
  StartOnOpenersPage();
}

// --- Option handlers ------------------------------------------------------------

bool TFormConfOpt::RunOption(int handler, HandlerPhase phase) {
  switch (handler) {
    case kOverRevHandler:
      return OverRev(phase);
    case kLowLevelHandler:
      return LowLevel(phase);
    case kFixedDefaultHandler:
      return FixedDefault(phase);
    case kKickDownHandler:
      return KickDown(phase);
    case kCutOffHandler:
      return CutOff(phase);
    default:
      return true;
  }
}

bool TFormConfOpt::OverRev(HandlerPhase phase) {
  constexpr int kBox = 2;
  if (phase == HandlerPhase::ShowStored) {
    const bool on = SpeedOptionOn(static_cast<int>(std::trunc(Read(Id::OverRevThreshold))));
    SetBox(kBox, on);
    ShowDependents({kRowFuoriGiri}, on);
    return true;
  }
  const bool on = BoxChecked(kBox);
  ShowDependents({kRowFuoriGiri}, on);
  if (!on) return Write(Id::OverRevThreshold, kOffSpeed);
  SetText(kRowFuoriGiri, QStringLiteral("6000"));
  if (Write(Id::OverRevThreshold, kOverRevOnSpeed)) return true;
  editor_->ShowStoredValue(kRowFuoriGiri);
  return false;
}

bool TFormConfOpt::LowLevel(HandlerPhase phase) {
  constexpr int kBox = 4;
  const bool inverted = context_.store->InvertedLevel();
  if (phase == HandlerPhase::ShowStored) {
    const double v = std::trunc(Read(Id::ReturnToPetrolLevel));
    const bool off = (v == kLevelOff && !inverted) || (v == kLevelOffInverted && inverted);
    SetBox(kBox, !off);
    ShowDependents({kRowLivello}, !off);
    return true;
  }
  const bool on = BoxChecked(kBox);
  ShowDependents({kRowLivello}, on);
  if (!on) return Write(Id::ReturnToPetrolLevel, inverted ? kLevelOffInverted : kLevelOff);
  const double level = inverted ? kLevelOnInverted : kLevelOn;
  editor_->SetEditValue(kRowLivello, level);
  if (Write(Id::ReturnToPetrolLevel, level)) return true;
  editor_->ShowStoredValue(kRowLivello);
  return false;
}

bool TFormConfOpt::FixedDefault(HandlerPhase phase) {
  constexpr int kBox = 6;
  bool accepted = true;
  if (phase == HandlerPhase::ShowStored) {
    const bool on = Read(Id::FixedDefaultOption) != 0;
    SetBox(kBox, on);
    ShowDependents({kRowDefault}, on);
  } else {
    const bool on = BoxChecked(kBox);
    ShowDependents({kRowDefault}, on);
    accepted = Write(Id::FixedDefaultOption, on ? 1 : 0);
  }
  // The default position is read afresh from the ECU: the one it computes
  // is shown as soon as the option changes.
  editor_->SetEditValue(kRowDefault, Read(Id::ActuatorDefaultPosition));
  return accepted;
}

bool TFormConfOpt::KickDown(HandlerPhase phase) {
  constexpr int kBox = 12;
  const bool inverted = context_.store->InvertedTps();
  if (phase == HandlerPhase::ShowStored) {
    const double c = Read(Id::FullThrottleTps);
    const bool off = (c > 4.9 && !inverted) || (c < 0.1 && inverted);
    SetBox(kBox, !off);
    ShowDependents({kRowAffondata, kRowTpsAffondata}, !off);
    return true;
  }
  const bool on = BoxChecked(kBox);
  ShowDependents({kRowAffondata, kRowTpsAffondata}, on);
  bool accepted = true;
  if (on) {
    SetText(kRowTpsAffondata, inverted ? QStringLiteral("1") : QStringLiteral("4"));
    SetText(kRowAffondata, QStringLiteral("100"));
    const double typed = IntegerIn(kRowTpsAffondata);
    accepted = Write(Id::FullThrottleTps, inverted ? 5 - typed : typed);
  } else {
    accepted = Write(Id::FullThrottleTps, inverted ? 0 : 5);
  }
  // The position goes only with a threshold the ECU took.
  if (accepted) accepted = Write(Id::ActuatorAtFullThrottle, IntegerIn(kRowAffondata));
  if (!accepted) {
    editor_->ShowStoredValue(kRowAffondata);
    editor_->ShowStoredValue(kRowTpsAffondata);
  }
  return accepted;
}

bool TFormConfOpt::CutOff(HandlerPhase phase) {
  constexpr int kBox = 17;
  const int n = static_cast<int>(std::trunc(Read(Id::CutOffEndRpm)));
  const QChar separator = fields::SystemDecimalSeparator();
  const bool on = phase == HandlerPhase::ShowStored ? SpeedOptionOn(n) : BoxChecked(kBox);
  if (phase == HandlerPhase::ShowStored) SetBox(kBox, on);
  ShowDependents({kRowCutOff, kRowPosCutOff}, on);
  if (on) {
    const bool switchedOn = phase == HandlerPhase::WriteChange && !SpeedOptionOn(n);
    SetText(kRowCutOff, QString::number(switchedOn ? int(kCutOffOnSpeed) : n));
    SetText(kRowPosCutOff, fields::FormatNumber(Read(Id::ActuatorInCutOff), separator));
  } else if (phase == HandlerPhase::ShowStored) {
    SetText(kRowCutOff, QStringLiteral("10000"));
  }
  if (phase == HandlerPhase::ShowStored) return true;
  return Write(Id::CutOffEndRpm, on ? IntegerIn(kRowCutOff) : kOffSpeed);
}

// --- Helpers ------------------------------------------------------------------

void TFormConfOpt::ShowDependents(std::initializer_list<int> rows, bool on) {
  for (const int row : rows) {
    editor_->SetRowShown(row, on);
    editor_->Input(row)->setEnabled(on);
  }
}

bool TFormConfOpt::BoxChecked(int row) const {
  return editor_->CheckBox(row)->isChecked();
}

void TFormConfOpt::SetBox(int row, bool on) {
  // Not a click: no handler runs.
  editor_->CheckBox(row)->setChecked(on);
}

void TFormConfOpt::SetText(int row, const QString& text) {
  editor_->Edit(row)->setText(text);
}

int TFormConfOpt::IntegerIn(int row) const {
  const auto value =
      fields::ParseNumber(editor_->Edit(row)->text(), fields::SystemDecimalSeparator());
  return value ? static_cast<int>(std::trunc(*value)) : 0;
}

double TFormConfOpt::Read(params::Id id) {
  return static_cast<double>(context_.store->GetValue(params::Number(id)));
}

bool TFormConfOpt::Write(params::Id id, double value) {
  return context_.store->SetValue(params::Number(id), value) != 0;
}
