#include "Indicatore.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ApplicationInfo.h"
#include "Beep.h"
#include "ConfCar.h"
#include "DictionaryProblem.h"
#include "FormContext.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "NamedWidgets.h"
#include "Scaling.h"
#include "UpDown.h"
#include "WindowTexts.h"

namespace {

constexpr int kEditLeft = 308;
constexpr int kEditWidth = 65;
constexpr int kEditHeight = 32;
constexpr int kUpDownWidth = 30;
// The TPS type's code word: read (and ignored) on every Esc, which the ECU
// takes as a sign of life from the tool.
constexpr std::uint32_t kTpsTypeCode = params::Row(params::Id::TpsType).code;

int TopOf(int index) {
  return 56 + 40 * index;
}

}  // namespace

TFormIndicatore::TFormIndicatore(const FormContext& context, QWidget* parent)
    : QDialog(parent), store_(*context.store), link_(context.link) {
  setObjectName(QStringLiteral("FormIndicatore"));
  setWindowTitle(QStringLiteral("Impostazione Indicatore originale"));
  resize(512, 399);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(19);
  setFont(font);

  const char* labelNames[6] = {"LabelIndicVuoto", "LabelLivRiserva", "LabelLiv1_4",
                               "LabelLiv2_4",     "LabelLiv3_4",     "LabelIndicPieno"};
  const char* captions[6] = {"Indicazione di vuoto", "Riserva", "1/4", "2/4", "3/4",
                             "Indicazione di pieno"};
  QList<QLabel*> labels;
  for (int i = 0; i < 6; ++i) {
    labels.append(ui::MakeLabel(this, labelNames[i], QString::fromUtf8(captions[i]),
                                {16, TopOf(i) + 4, 284, 26}));
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
    edit->setGeometry(kEditLeft, TopOf(i), kEditWidth, kEditHeight);
    edit->setMaxLength(3);
    edit->setReadOnly(true);
    edit->installEventFilter(this);
    // A typed value is where the up-down buttons step from.
    connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& text) {
      bool ok = false;
      const int typed = text.toInt(&ok);
      if (i == active_ && ok && typed >= 0 && typed <= 255) UpDown1->SetPosition(typed);
    });
    Edits.append(edit);
  }
  LabelIndicVuoto = labels[0];
  LabelLivRiserva = labels[1];
  LabelLiv1_4 = labels[2];
  LabelLiv2_4 = labels[3];
  LabelLiv3_4 = labels[4];
  LabelIndicPieno = labels[5];

  UpDown1 = new UpDown(0, 255, this);
  UpDown1->setObjectName(QStringLiteral("UpDown1"));
  UpDown1->setGeometry(kEditLeft + kEditWidth, TopOf(0), kUpDownWidth, kEditHeight);
  UpDown1->hide();
  connect(UpDown1, &UpDown::Stepped, this, &TFormIndicatore::Stepped);

  ButtonOk = new QPushButton(QStringLiteral("&OK"), this);
  ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
  ButtonOk->setGeometry(kEditLeft + kEditWidth + kUpDownWidth + 8, TopOf(0), 90, kEditHeight);
  // Clicking it must not take the focus from the field being confirmed.
  ButtonOk->setFocusPolicy(Qt::NoFocus);
  ButtonOk->setDefault(true);
  ButtonOk->hide();
  connect(ButtonOk, &QPushButton::clicked, this, &TFormIndicatore::Confirm);

  QFont bold = font;
  bold.setBold(true);
  LabelInvio =
      ui::MakeLabel(this, "LabelInvio", QStringLiteral("INVIO: conferma"), {16, 300, 230, 26});
  LabelEsc = ui::MakeLabel(this, "LabelEsc", QStringLiteral("ESC: annulla"), {264, 300, 230, 26});
  for (QLabel* hint : {LabelInvio, LabelEsc}) {
    hint->setFont(bold);
    hint->hide();
  }

  ButtonEsci = new QPushButton(QStringLiteral("&Esci"), this);
  ButtonEsci->setObjectName(QStringLiteral("ButtonEsci"));
  ButtonEsci->setGeometry(160, 340, 193, 41);
  ButtonEsci->setAutoDefault(false);
  ButtonEsci->installEventFilter(this);
  connect(ButtonEsci, &QPushButton::clicked, this, &QDialog::accept);
  for (int i = 0; i + 1 < Edits.size(); ++i) setTabOrder(Edits[i], Edits[i + 1]);
  setTabOrder(Edits.last(), ButtonEsci);

  int values[6] = {};
  store_.ReadArray(kOutputs, values);
  for (int i = 0; i < 6; ++i) {
    committed_[static_cast<std::size_t>(i)] = values[i];
    Edits[i]->setText(QString::number(values[i]));
  }
  notSaved_ = QStringLiteral(
      "I valori dell'indicatore non sono stati salvati nella centralina.\nRiprovare?");
  LoadTexts(context.language);
  ScaleToScreen(this);
  setWindowState(Qt::WindowMaximized);
  Edits[0]->setFocus();
}

void TFormIndicatore::LoadTexts(TModuloLingua* lingua) {
  const QList<WindowText> texts = {
      {QStringLiteral("LabelIndicVuoto"), 25, SetTextOf(LabelIndicVuoto)},
      {QStringLiteral("LabelIndicPieno"), 25, SetTextOf(LabelIndicPieno)},
      {QStringLiteral("LabelLivRiserva"), 25, SetTextOf(LabelLivRiserva)},
      {QStringLiteral("LabelLiv1_4"), 20, SetTextOf(LabelLiv1_4)},
      {QStringLiteral("LabelLiv2_4"), 20, SetTextOf(LabelLiv2_4)},
      {QStringLiteral("LabelLiv3_4"), 20, SetTextOf(LabelLiv3_4)},
      {QStringLiteral("LabelInvio"), 20, SetTextOf(LabelInvio)},
      {QStringLiteral("LabelEsc"), 20, SetTextOf(LabelEsc)},
      {QStringLiteral("ButtonEsci"), 15, SetTextOf(ButtonEsci)},
      {QStringLiteral("FinestraIndicatore"), 70, SetTitleOf(this)},
  };
  if (lingua == nullptr || !ApplyWindowTexts(*lingua, texts)) {
    ui::ShowDictionaryProblem(this, 6);
    return;
  }
  // A dictionary without the newer message keeps the Italian one.
  ApplyWindowTexts(*lingua, {{QStringLiteral("MessIndicNonSalvato"), 100, StoreIn(&notSaved_)}});
}

bool TFormIndicatore::Editing(int index) const {
  return index >= 0 && index < Edits.size() && !Edits[index]->isReadOnly();
}

int TFormIndicatore::IndexOf(QObject* object) const {
  for (int i = 0; i < Edits.size(); ++i)
    if (Edits[i] == object) return i;
  return -1;
}

void TFormIndicatore::DriveGauge(int value) {
  if (link_ != nullptr) link_->SetIndicatorOutput(value, -1);
}

void TFormIndicatore::Entered(int index) {
  active_ = index;
  const int top = Edits[index]->y();
  UpDown1->move(UpDown1->x(), top);
  ButtonOk->move(ButtonOk->x(), top);
}

void TFormIndicatore::StartEditing(int index) {
  QLineEdit* edit = Edits[index];
  active_ = index;
  edit->setReadOnly(false);
  UpDown1->SetPosition(committed_[static_cast<std::size_t>(index)]);
  edit->setText(QString::number(UpDown1->Position()));
  UpDown1->move(edit->x() + edit->width(), edit->y());
  ButtonOk->move(ButtonOk->x(), edit->y());
  for (QWidget* w : std::initializer_list<QWidget*>{UpDown1, LabelEsc, LabelInvio, ButtonOk})
    w->show();
}

// Hides the editing controls; the field shows its committed value.
void TFormIndicatore::StopEditing(int index) {
  QLineEdit* edit = Edits[index];
  edit->setText(QString::number(committed_[static_cast<std::size_t>(index)]));
  edit->setReadOnly(true);
  for (QWidget* w : std::initializer_list<QWidget*>{UpDown1, LabelEsc, LabelInvio, ButtonOk})
    w->hide();
}

void TFormIndicatore::Stepped(int position) {
  if (!Editing(active_)) return;
  Edits[active_]->setText(QString::number(position));
  DriveGauge(position);
  repaint();
}

void TFormIndicatore::Confirm() {
  const int index = active_;
  QLineEdit* edit = Edits[index];
  bool ok = false;
  int value = edit->text().toInt(&ok);
  if (edit->text().trimmed().isEmpty()) {
    value = 0;
    ok = true;
  }
  if (ok && value >= 0 && value <= 255) {
    committed_[static_cast<std::size_t>(index)] = value;
  } else {
    SystemBeep();
  }
  StopEditing(index);
  DriveGauge(committed_[static_cast<std::size_t>(index)]);
  edit->setFocus();
  edit->selectAll();
}

void TFormIndicatore::EscapePressed(int index) {
  std::int32_t scratch[6] = {};
  if (link_ != nullptr) link_->ReadParameter(kTpsTypeCode, scratch);
  if (index < 0 || !Editing(index)) {
    reject();
    return;
  }
  StopEditing(index);
  Edits[index]->selectAll();
}

bool TFormIndicatore::EditKey(int index, QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Escape) {
    EscapePressed(index);
    return true;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (Editing(index)) {
      ButtonOk->click();
    } else if (ButtonOk->isHidden()) {
      StartEditing(index);
    }
    return true;
  }
  if (key == Qt::Key_Up || key == Qt::Key_Down) {
    if (Editing(index)) {
      // Steps from what the field shows when the technician typed a value.
      bool ok = false;
      const int typed = Edits[index]->text().toInt(&ok);
      if (ok && typed >= 0 && typed <= 255) UpDown1->SetPosition(typed);
      key == Qt::Key_Up ? UpDown1->StepUp() : UpDown1->StepDown();
    } else {
      focusNextPrevChild(key == Qt::Key_Down);
    }
    return true;
  }
  const QString text = event->text();
  if (key != Qt::Key_Backspace && !text.isEmpty() && text.at(0).isPrint() &&
      !text.at(0).isDigit()) {
    SystemBeep();
    return true;
  }
  return false;
}

bool TFormIndicatore::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  const int index = IndexOf(watched);
  if (index >= 0) {
    switch (type) {
      case QEvent::FocusIn:
        Entered(index);
        break;
      case QEvent::FocusOut: {
        // Another field or the exit button took the focus: the stepped value
        // is dropped. Switching to another window leaves the field alone.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            Editing(index))
          StopEditing(index);
        break;
      }
      case QEvent::MouseButtonPress:
        if (!Editing(index)) StartEditing(index);
        break;
      case QEvent::KeyPress:
        if (EditKey(index, static_cast<QKeyEvent*>(event))) return true;
        break;
      default:
        break;
    }
  } else if (watched == ButtonEsci) {
    if (type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
      EscapePressed(-1);
      return true;
    }
    if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
      QFont f = font();
      if (type == QEvent::FocusIn) {
        f.setPixelSize(f.pixelSize() + 5);  // about 4 points
        f.setBold(true);
      }
      ButtonEsci->setFont(f);
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TFormIndicatore::done(int result) {
  if (closing_) return;
  closing_ = true;
  int values[6];
  for (int i = 0; i < 6; ++i) values[i] = committed_[static_cast<std::size_t>(i)];
  // The calibration must not be lost without a word: the technician may try
  // again (the cable back in) or close knowing it was not kept.
  while (store_.WriteArray(kOutputs, values) != 1) {
    if (!MessageBoxes::AskYesNo(this, notSaved_, windowTitle())) break;
  }
  QDialog::done(result);
  closing_ = false;
}

void TFormIndicatore::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    EscapePressed(IndexOf(focusWidget()));
    return;
  }
  QDialog::keyPressEvent(event);
}
