#include "Diagnosi.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cmath>

#include "ApplicationInfo.h"
#include "Beep.h"
#include "ConfCar.h"
#include "DictionaryProblem.h"
#include "FormContext.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "NamedWidgets.h"
#include "WindowTexts.h"

namespace {

constexpr params::Id kEnableMask = params::Id::DiagnosisEnableMask;
constexpr params::Id kErrorFlags = params::Id::DiagnosisErrorFlags;
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kGreen(0x00, 0x80, 0x00);

void Colour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

int Whole(long double value) {
  return static_cast<int>(std::trunc(value));
}

}  // namespace

TFormDiagnosi::TFormDiagnosi(const FormContext& context, QWidget* parent)
    : QDialog(parent), store_(*context.store), link_(context.link) {
  setObjectName(QStringLiteral("FormDiagnosi"));
  setWindowTitle(QStringLiteral("Diagnosi di funzionamento"));
  setFixedSize(592, 275);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(16);
  font.setBold(true);
  setFont(font);

  LabelAbilDiagnosi = ui::MakeLabel(this, "LabelAbilDiagnosi",
                                    QStringLiteral("Abilitazione controlli"), {16, 16, 370, 24});
  LabelStatoDiagnosi = ui::MakeLabel(this, "LabelStatoDiagnosi", QStringLiteral("Stato controlli"),
                                     {400, 16, 180, 24});
  BuildRow(0, "CheckBox1", "LabelDLambdaGiusto", QStringLiteral("Lambda non funzionante"),
           "LabelStato1");
  BuildRow(1, "CheckBox2", "LabelDLambdaMagro", QStringLiteral("Lambda troppo tempo in magro"),
           "LabelStato2");
  BuildRow(2, "CheckBox3", "LabelDLambdaRicco", QStringLiteral("Lambda troppo tempo in ricco"),
           "LabelStato3");
  CheckBox1 = rows_[0].check;
  CheckBox2 = rows_[1].check;
  CheckBox3 = rows_[2].check;
  LabelDLambdaGiusto = rows_[0].description;
  LabelDLambdaMagro = rows_[1].description;
  LabelDLambdaRicco = rows_[2].description;
  LabelStato1 = rows_[0].status;
  LabelStato2 = rows_[1].status;
  LabelStato3 = rows_[2].status;

  ButtonEsci = new QPushButton(QStringLiteral("&Esci"), this);
  ButtonEsci->setObjectName(QStringLiteral("ButtonEsci"));
  ButtonEsci->setGeometry(80, 208, 193, 41);
  ButtonReset = new QPushButton(QStringLiteral("&Azzera errori"), this);
  ButtonReset->setObjectName(QStringLiteral("ButtonReset"));
  ButtonReset->setGeometry(320, 208, 193, 41);
  for (QPushButton* button : {ButtonEsci, ButtonReset}) {
    button->setAutoDefault(false);
    button->installEventFilter(this);
  }
  connect(ButtonEsci, &QPushButton::clicked, this, &QDialog::reject);
  connect(ButtonReset, &QPushButton::clicked, this, &TFormDiagnosi::AzzeraErrori);
  setTabOrder(CheckBox1, CheckBox2);
  setTabOrder(CheckBox2, CheckBox3);
  setTabOrder(CheckBox3, ButtonEsci);
  setTabOrder(ButtonEsci, ButtonReset);

  LoadTexts(context.language);
  errorFlags_ = Whole(store_.GetValue(kErrorFlags));
  enableMask_ = Whole(store_.GetValue(kEnableMask));
  ShowChecks();
  ShowStatus();

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(2000);
  connect(Timer1, &QTimer::timeout, this, &TFormDiagnosi::Tick);
  Timer1->start();
  CheckBox1->setFocus();
}

void TFormDiagnosi::BuildRow(int index, const char* checkName, const char* labelName,
                             const QString& caption, const char* statusName) {
  const int top = 56 + 48 * index;
  auto* check = new QCheckBox(this);
  check->setObjectName(QLatin1String(checkName));
  check->setGeometry(16, top, 24, 24);
  QLabel* description = ui::MakeLabel(this, labelName, caption, {48, top, 340, 24});
  description->setAutoFillBackground(true);
  QLabel* status = ui::MakeLabel(this, statusName, QStringLiteral("OK"), {424, top, 137, 24});
  status->setAlignment(Qt::AlignCenter);
  QFont statusFont = status->font();
  statusFont.setPixelSize(19);
  status->setFont(statusFont);
  check->installEventFilter(this);
  connect(check, &QCheckBox::clicked, this, [this, index] { CheckToggled(index); });
  rows_.append({check, description, status});
}

void TFormDiagnosi::LoadTexts(TModuloLingua* lingua) {
  const QList<WindowText> texts = {
      {QStringLiteral("LabelAbilDiagnosi"), 30, SetTextOf(LabelAbilDiagnosi)},
      {QStringLiteral("LabelStatoDiagnosi"), 30, SetTextOf(LabelStatoDiagnosi)},
      {QStringLiteral("ButtonEsci"), 20, SetTextOf(ButtonEsci)},
      {QStringLiteral("ButtonReset"), 20, SetTextOf(ButtonReset)},
      {QStringLiteral("LabelDLambdaGiusto"), 50, SetTextOf(LabelDLambdaGiusto)},
      {QStringLiteral("LabelDLambdaMagro"), 50, SetTextOf(LabelDLambdaMagro)},
      {QStringLiteral("LabelDLambdaRicco"), 50, SetTextOf(LabelDLambdaRicco)},
      {QStringLiteral("FinestraDiagnosi"), 50, SetTitleOf(this)},
      {QStringLiteral("LabelStatoErrore"), 15, StoreIn(&errorText_)},
      {QStringLiteral("LabelStatoOk"), 15, StoreIn(&okText_)},
  };
  if (lingua == nullptr || !ApplyWindowTexts(*lingua, texts)) {
    ui::ShowDictionaryProblem(this, 5);
  }
}

void TFormDiagnosi::ShowChecks() {
  for (int i = 0; i < rows_.size(); ++i) {
    QCheckBox* check = rows_[i].check;
    const QSignalBlocker quiet(check);
    check->setChecked((enableMask_ & (1 << i)) != 0);
  }
}

void TFormDiagnosi::SetStatus(QLabel* status, const QString& text) {
  status->setText(text);
  Colour(status, QPalette::WindowText, text == okText_ ? kGreen : kRed);
}

void TFormDiagnosi::ShowStatus() {
  for (int i = 0; i < rows_.size(); ++i)
    SetStatus(rows_[i].status, (errorFlags_ & (1 << i)) != 0 ? errorText_ : okText_);
}

void TFormDiagnosi::Tick() {
  if (link_ == nullptr || link_->IsConnected() == 0) return;
  errorFlags_ = Whole(store_.GetValue(kErrorFlags));
  ShowStatus();
}

void TFormDiagnosi::CheckToggled(int index) {
  const int bit = 1 << index;
  const int wanted =
      rows_[index].check->isChecked() ? (enableMask_ | bit) : (enableMask_ & ~bit);
  // The boxes show what the ECU took: a refused change puts the box back.
  if (store_.SetValue(kEnableMask, wanted) != 1) SystemBeep();
  enableMask_ = Whole(store_.GetValue(kEnableMask));
  ShowChecks();
}

void TFormDiagnosi::AzzeraErrori() {
  if (store_.SetValue(kErrorFlags, 0) != 1) {
    // The ECU kept its errors: the labels go on showing them.
    SystemBeep();
    return;
  }
  errorFlags_ = 0;
  for (const Row& row : rows_) {
    row.status->setText(QStringLiteral("OK"));
    Colour(row.status, QPalette::WindowText, kGreen);
  }
}

bool TFormDiagnosi::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  for (const Row& row : rows_) {
    if (watched != row.check) continue;
    if (type == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        row.check->click();
        return true;
      }
    } else if (type == QEvent::FocusIn) {
      Colour(row.description, QPalette::WindowText, Qt::white);
      Colour(row.description, QPalette::Window,
             palette().color(QPalette::Active, QPalette::Highlight));
    } else if (type == QEvent::FocusOut) {
      row.description->setPalette(palette());
    }
  }
  if (auto* button = qobject_cast<QPushButton*>(watched)) {
    // Neither button is the dialog's default, so Enter would press nothing:
    // it presses the focused one, as Space does.
    if (type == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        button->click();
        return true;
      }
    }
    if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
      QFont f = font();
      if (type == QEvent::FocusIn) f.setPixelSize(f.pixelSize() + 3);  // about 2 points
      button->setFont(f);
    }
  }
  return QDialog::eventFilter(watched, event);
}
