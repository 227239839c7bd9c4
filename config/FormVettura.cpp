#include "FormVettura.h"

#include <QComboBox>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "ConfCar.h"
#include "DialogFields.h"
#include "DictionaryProblem.h"
#include "FieldEditor.h"
#include "FormEmulazione.h"
#include "FormSensore.h"
#include "MessageBoxes.h"
#include "NamedWidgets.h"
#include "Scaling.h"
#include "VehicleHandlers.h"
#include "WaitCursor.h"
#include "WindowTexts.h"

namespace {

constexpr int kRowCount = static_cast<int>(std::size(kVehicleRows));
constexpr int kAllRows = 11;
constexpr int kVariantRows = 8;
// Design geometry of the rows inside the scroll box.
constexpr int kCaptionLeft = 60;
constexpr int kCaptionWidth = 400;
constexpr int kInputLeft = 470;
constexpr int kListWidth = 230;
constexpr int kEditWidth = 80;
constexpr int kArrowLeft = 18;

// The design items of each list, position 0 first.
const QStringList kDesignItems[kRowCount] = {
    {"3 Cilindri", "4 Cilindri", "5 Cilindri", "6 Cilindri", "8 Cilindri", "monoBobina",
     "biBobina"},
    {"standard", "debole"},
    {"Decelerazione col TPS", "Accelerazione", "Decelerazione coi giri", "Partenza a Gas"},
    {},
    {},
    {"Sensore OXT", "0-90 Ohm", "Non Standard", "Riserva", "Ottico"},
    {"lineare 0-5V", "lineare 5-0V", "switch 0-12V", "switch 12-0V", "mono Bosch", "adapter"},
    {"0-1 V", "0-5 V (tipo A)", "0-5 V (tipo B)", "5-0 V (tipo A)", "5-0 V (tipo B)",
     "0.8 - 1.6 V"},
    {},
    {"Emulazione Massa", "Sonda Sconnessa", "Onda Quadra Standard", "Onda Quadra Costruita"},
    {"Stacca Iniettori", "Stacca Memoria"},
    {"Deviatore", "Pulsante"},
};

// The dictionary keys of each list's items, in item order.
struct ListKeys {
  int row;
  QStringList keys;
};
const ListKeys kListKeys[] = {
    {0, {"ComboCilindri7", "ComboCilindri1", "ComboCilindri2", "ComboCilindri3", "ComboCilindri4",
         "ComboCilindri5", "ComboCilindri6"}},
    {1, {"ComboRpm1", "ComboRpm2"}},
    {2, {"ComboCambio1", "ComboCambio2", "ComboCambio3", "ComboCambio4"}},
    // All five positions the level-sensor handler uses, the optical one last.
    {5, {"ComboSensore1", "ComboSensore2", "ComboSensore3", "ComboSensore4", "ComboSensore5"}},
    {6, {"ComboTps1", "ComboTps2", "ComboTps3", "ComboTps4", "ComboTps5", "ComboTps6"}},
    {7, {"ComboLambda1", "ComboLambda2", "ComboLambda3", "ComboLambda4", "ComboLambda5",
         "ComboLambda6"}},
    {9, {"ComboEmulLambda1", "ComboEmulLambda2", "ComboEmulLambda3", "ComboEmulLambda4"}},
    {10, {"ComboGialli1", "ComboGialli2"}},
};

QFont WithPixelSize(QFont font, int pixels, bool bold = false) {
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

}  // namespace

TFormVettura::TFormVettura(const FormContext& context, QWidget* parent)
    : QDialog(parent), context_(context), store_(*context.store) {
  setObjectName(QStringLiteral("FormVettura"));
  setWindowTitle(QStringLiteral("Parametri di configurazione della vettura"));
  resize(800, 580);
  setFont(WithPixelSize(QFont(QStringLiteral("DejaVu Sans")), 12));

  LabelConfVettura = ui::MakeLabel(this, "LabelConfVettura",
                                   QStringLiteral("Configurazione Vettura"), {0, 8, 800, 40});
  LabelConfVettura->setAlignment(Qt::AlignCenter);
  LabelConfVettura->setFont(WithPixelSize(font(), 24, true));
  Image1 = ui::MakeLabel(this, "Image1", QStringLiteral("OXT"), {690, 10, 90, 36});
  Image1->setAlignment(Qt::AlignCenter);
  Image1->setFont(WithPixelSize(font(), 22, true));
  LabelNonConnesso = ui::MakeLabel(this, "LabelNonConnesso",
                                   QStringLiteral("Centralina non connessa"), {560, 48, 230, 18});
  LabelNonConnesso->setAlignment(Qt::AlignRight);
  QPalette warning = LabelNonConnesso->palette();
  warning.setColor(QPalette::WindowText, Qt::red);
  LabelNonConnesso->setPalette(warning);

  ScrollBox1 = new QFrame(this);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setGeometry(0, 70, 800, 420);
  ScrollBox1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  BuildRows();

  ButtonAzzera = ui::MakeButton(
      this, "ButtonAzzera", QStringLiteral("&Cancellazione EEprom (Alt-C)"), {60, 502, 300, 34});
  ButtonEsci = ui::MakeButton(this, "ButtonEsci", QStringLiteral("&ESCI"), {560, 502, 180, 34});
  for (QPushButton* button : {ButtonAzzera, ButtonEsci}) button->setAutoDefault(false);
  LabelGoVis = ui::MakeLabel(this, "LabelGoVis", QStringLiteral("F12 = Visualizzazione"),
                             {60, 548, 300, 20});
  LabelLimiti =
      ui::MakeLabel(this, "LabelLimiti", QStringLiteral("Limiti non attivi"), {440, 548, 300, 20});
  LabelLimiti->setPalette(warning);
  connect(ButtonAzzera, &QPushButton::clicked, this, &TFormVettura::Azzera);
  connect(ButtonEsci, &QPushButton::clicked, this, &QDialog::reject);

  FieldEditorOptions options;
  options.keepHighlightOnExit = true;
  options.arrowLeft = kArrowLeft;
  editor_ = new FieldEditor(this, store_, kVehicleRows, {}, nullptr, options);
  editor_->SetChangeHandler(
      [this](int handler, int, HandlerPhase phase) { return HandleChange(handler, phase); });
  editor_->SetLiveViewOpener(context.openLiveView);

  overlapCaption_ = LabelSovrappos->text();
  primingCaption_ = QStringLiteral("Tempo cicchetto benzina all'avviamento");
  messCancEe_ = QStringLiteral("Cancellare tutti i parametri memorizzati nella centralina?");
  messCancOk_ = QStringLiteral("Cancellazione completata: ripristinati i valori di fabbrica.");
  messCancNonOk_ =
      QStringLiteral("La centralina non ha cancellato la memoria: nessun valore è cambiato.");
  ScaleToScreen(this);
}

TFormVettura::~TFormVettura() {
  delete editor_;
}

void TFormVettura::BuildRows() {
  for (int r = 0; r < kRowCount; ++r) {
    const FieldRow& row = kVehicleRows[r];
    auto* caption = new QLabel(ScrollBox1);
    caption->setObjectName(QString::fromLatin1(row.caption));
    caption->setGeometry(kCaptionLeft, 0, kCaptionWidth, 24);
    caption->setAutoFillBackground(true);
    QWidget* input = nullptr;
    if (row.kind == FieldKind::List) {
      auto* list = new QComboBox(ScrollBox1);
      list->addItems(kDesignItems[r]);
      list->setGeometry(kInputLeft, 0, kListWidth, 24);
      input = list;
    } else {
      auto* edit = new QLineEdit(ScrollBox1);
      edit->setGeometry(kInputLeft, 0, kEditWidth, 24);
      input = edit;
    }
    input->setObjectName(QString::fromLatin1(row.input));
  }
  const QStringList designCaptions = {
      "Tipo di accensione o Numero cilindri", "Tipo di segnale Giri",
      "Tipo di Cambio Benzina - Gas", "Numero di giri per il passaggio benzina - gas",
      "Tempo sovrapposizione carburanti", "Tipo di sensore Livello GAS", "Tipo di TPS",
      "Tipo Sonda Lambda", "Ritardo lettura sonda Lambda (Open - Loop)",
      "Tipo di emulazione sonda Lambda", "Utilizzo fili gialli", "Tipo di commutatore"};
  for (int r = 0; r < kRowCount; ++r)
    findChild<QLabel*>(QString::fromLatin1(kVehicleRows[r].caption))->setText(designCaptions[r]);

  auto list = [this](int row) {
    return findChild<QComboBox*>(QString::fromLatin1(kVehicleRows[row].input));
  };
  ComboBoxCil = list(kRowCylinders);
  ComboBoxCambio = list(kRowChangeOver);
  ComboBoxSensore = list(kRowLevelSensor);
  ComboBoxEmulazione = list(kRowEmulation);
  ComboBoxGialli = list(kRowYellowWires);
  EditGiriCambio = findChild<QLineEdit*>(QStringLiteral("EditGiriCambio"));
  EditSovrappos = findChild<QLineEdit*>(QStringLiteral("EditSovrappos"));
  LabelGiriCambio = findChild<QLabel*>(QStringLiteral("LabelGiriCambio"));
  LabelSovrappos = findChild<QLabel*>(QStringLiteral("LabelSovrappos"));

  // The switch type row is filled like every row but never shown or reached.
  QWidget* switchType = list(kRowSwitchType);
  switchType->hide();
  switchType->setEnabled(false);
  findChild<QLabel*>(QString::fromLatin1(kVehicleRows[kRowSwitchType].caption))->hide();
}

void TFormVettura::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  ShowSteps();
}

void TFormVettura::ShowSteps() {
  if (auto* hint = findChild<QLabel*>(QStringLiteral("LabelHint"))) {
    QPalette palette = hint->palette();
    palette.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x00));  // maroon
    hint->setPalette(palette);
  }
  visibleRows_ = kAllRows;
  if (store_.VariantFlag()) {
    visibleRows_ = kVariantRows;
    for (int row : {kRowChangeOver, kRowChangeOverRpm, kRowLevelSensor}) {
      editor_->SetRowShown(row, false);
      editor_->Input(row)->setEnabled(false);
    }
  }
  LayOutRows();
  LoadTexts();
  editor_->PopulateFields();
  editor_->ShowConnectionState(context_.Connected());
  editor_->StartAtFirstRow();
}

void TFormVettura::LayOutRows() {
  const int h = ComboBoxCil->height();
  const int n = visibleRows_;
  const int g = (ScrollBox1->height() - n * h) / (n + 3);
  ComboBoxCil->move(ComboBoxCil->x(), 2 * g);
  editor_->Caption(kRowCylinders)->move(editor_->Caption(kRowCylinders)->x(), 2 * g);
  LabelSovrappos->move(editor_->Caption(kRowCylinders)->x(), LabelSovrappos->y());
  int previousTop = ComboBoxCil->y();
  for (int row = 1; row < kRowCount; ++row) {
    QWidget* input = editor_->Input(row);
    if (input->isHidden()) continue;
    const int top = previousTop + h + g;
    input->move(input->x(), top);
    editor_->Caption(row)->move(editor_->Caption(row)->x(), top);
    previousTop = top;
  }
}

void TFormVettura::LoadTexts() {
  QList<WindowText> texts;
  for (const char* name : {"LabelCilindri", "LabelRpm", "LabelCambio", "LabelGiriCambio",
                           "LabelSensore", "LabelTps", "LabelLambda", "LabelRitardoLambda",
                           "LabelEmulazione", "LabelGialli", "LabelConfVettura"}) {
    texts.append({QString::fromLatin1(name), 50, SetTextOf(findChild<QLabel*>(name))});
  }
  texts.append({{QStringLiteral("LabelLimiti"), 45, SetTextOf(LabelLimiti)},
                {QStringLiteral("LabelGoVis"), 45, SetTextOf(LabelGoVis)},
                {QStringLiteral("ButtonEsci"), 15, SetTextOf(ButtonEsci)},
                {QStringLiteral("ButtonAzzera"), 35, SetTextOf(ButtonAzzera)},
                {QStringLiteral("MessNoConn"), 30, SetTextOf(LabelNonConnesso)},
                {QStringLiteral("FinestraConfVettura"), 50, SetTitleOf(this)}});
  for (const char* unit :
       {"UnitaSecondi", "UnitaMilliSec", "UnitaGradi", "UnitaGiri", "UnitaVolt", "UnitaPassi"})
    texts.append({QString::fromLatin1(unit), 5, editor_->UnitText(unit)});
  texts.append({{QStringLiteral("LabelSovrappos"), 50, StoreIn(&overlapCaption_)},
                {QStringLiteral("LabelCicchetto"), 50, StoreIn(&primingCaption_)}});
  // Each list's items are replaced as a whole once all its texts were found.
  std::array<QStringList, std::size(kListKeys)> items;
  auto addList = [&](std::size_t k) {
    for (const QString& key : kListKeys[k].keys) texts.append({key, 35, AppendTo(&items[k])});
  };
  for (std::size_t k = 0; k < std::size(kListKeys); ++k) addList(k);
  QStringList switchItems;
  texts.append({QStringLiteral("LabelTipoCommutatore"), 50,
                SetTextOf(editor_->Caption(kRowSwitchType))});
  texts.append({QStringLiteral("ComboCommutatore1"), 35, AppendTo(&switchItems)});
  texts.append({QStringLiteral("ComboCommutatore2"), 35, AppendTo(&switchItems)});
  texts.append({{QStringLiteral("MessCancEe"), 70, StoreIn(&messCancEe_)},
                {QStringLiteral("MessCancOk"), 70, StoreIn(&messCancOk_)},
                {QStringLiteral("MessCancNonOk"), 70, StoreIn(&messCancNonOk_)}});

  const bool complete =
      context_.language != nullptr && ApplyWindowTexts(*context_.language, texts);
  for (std::size_t k = 0; k < std::size(kListKeys); ++k) {
    if (items[k].size() != kListKeys[k].keys.size()) continue;
    QComboBox* list = editor_->List(kListKeys[k].row);
    list->clear();
    list->addItems(items[k]);
  }
  if (switchItems.size() == 2) {
    editor_->List(kRowSwitchType)->clear();
    editor_->List(kRowSwitchType)->addItems(switchItems);
  }
  if (!complete) ui::ShowDictionaryProblem(this, 2);
}

bool TFormVettura::HandleChange(int handler, HandlerPhase phase) {
  switch (handler) {
    case kChangeOverHandler:
      ChangeOver();
      return true;
    case kYellowWiresHandler:
      YellowWires();
      return true;
    case kEmulationHandler:
      return Emulation(phase);
    case kLevelSensorHandler:
      return LevelSensor(phase);
    default:
      return true;
  }
}

void TFormVettura::SetGreyed(QWidget* widget, bool greyed) {
  if (!greyed) {
    widget->setPalette(QPalette());  // the parent's colours again
    return;
  }
  QPalette palette = widget->palette();
  const QColor inactive = palette.color(QPalette::Disabled, QPalette::WindowText);
  palette.setColor(QPalette::WindowText, inactive);
  palette.setColor(QPalette::Text, inactive);
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  widget->setPalette(palette);
}

void TFormVettura::ChangeOver() {
  const bool gasStart = ComboBoxCambio->currentIndex() == 3;  // "Partenza a Gas"
  // A variant-2 ECU has no change-over rows: the speed stays disabled.
  EditGiriCambio->setEnabled(!gasStart && !store_.VariantFlag());
  SetGreyed(EditGiriCambio, gasStart);
  SetGreyed(LabelGiriCambio, gasStart);
  LabelSovrappos->setText(gasStart ? primingCaption_ : overlapCaption_);
  YellowWires();
}

void TFormVettura::YellowWires() {
  // "Stacca Memoria" leaves no overlap time, unless the car starts on gas.
  const bool noOverlap =
      ComboBoxGialli->currentIndex() == 1 && ComboBoxCambio->currentIndex() != 3;
  SetGreyed(LabelSovrappos, noOverlap);
  SetGreyed(EditSovrappos, noOverlap);
  EditSovrappos->setEnabled(!noOverlap);
}

bool TFormVettura::Emulation(HandlerPhase phase) {
  if (phase == HandlerPhase::ShowStored) {
    ComboBoxEmulazione->setCurrentIndex(config::EmulationPositionOf(config::StoredEmulation(store_)));
    return true;
  }
  const config::ChoiceOutcome outcome = config::ChooseEmulation(
      store_, ComboBoxEmulazione->currentIndex(),
      [this](const config::EmulationValues& present) -> std::optional<config::EmulationValues> {
        TFormEmulazione window(context_.language, present.high, present.low, present.triState,
                               present.waves, this);
        if (window.exec() != QDialog::Accepted) return std::nullopt;
        return config::EmulationValues{window.HighMs(), window.LowMs(), window.TriStateSeconds(),
                                       window.Waves()};
      });
  ComboBoxEmulazione->setCurrentIndex(outcome.listPosition);
  return !outcome.refused;
}

bool TFormVettura::LevelSensor(HandlerPhase phase) {
  if (phase == HandlerPhase::ShowStored) {
    ComboBoxSensore->setCurrentIndex(config::SensorPositionOf(store_));
    return true;
  }
  const config::ChoiceOutcome outcome = config::ChooseLevelSensor(
      store_, ComboBoxSensore->currentIndex(),
      [this](const std::array<int, 6>& shown,
             bool optical) -> std::optional<config::SensorCalibration> {
        TFormSensore window(context_.language, context_.link, this);
        window.SetThresholds(shown);
        window.ButtonCalcola->setVisible(optical);
        if (window.exec() != QDialog::Accepted) return std::nullopt;
        return config::SensorCalibration{window.Thresholds(), window.Descending()};
      });
  ComboBoxSensore->setCurrentIndex(outcome.listPosition);
  return !outcome.refused;
}

void TFormVettura::WaitForErase() {
  if (eraseWaitMs_ <= 0) return;
  // The ECU needs the time to rewrite its memory; the window keeps painting
  // but takes no input meanwhile.
  QEventLoop loop;
  QTimer::singleShot(eraseWaitMs_, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void TFormVettura::Azzera() {
  if (!MessageBoxes::AskYesNo(this, messCancEe_, windowTitle())) return;
  bool erased = false;
  {
    WaitCursor wait;
    erased = context_.link != nullptr &&
             config::EraseMemory(store_, *context_.link, [this] { WaitForErase(); });
    if (erased) {
      editor_->RemoveHighlight();
      ShowSteps();
    }
  }
  if (!erased) {
    // The ECU kept its memory: the store and the rows are as they were.
    MessageBoxes::ShowError(this, messCancNonOk_, windowTitle());
    return;
  }
  MessageBoxes::ShowInformation(this, messCancOk_, windowTitle());
  ComboBoxCil->setFocus();
  memoryErased_ = true;
}
