#include "SchedaVettura.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <chrono>

#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "NamedWidgets.h"
#include "Scaling.h"
#include "SceltaVettura.h"
#include "WindowTexts.h"

namespace {

constexpr int kLabelLeft = 250;
constexpr int kEditLeft = 400;
constexpr int kEditWidth = 344;

// A caption left of its field, level with it.
QRect CaptionPlace(int top) {
  return {kLabelLeft, top, kEditLeft - kLabelLeft - 8, 28};
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int top, int maxLength) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QLatin1String(name));
  edit->setGeometry(kEditLeft, top, kEditWidth, 28);
  edit->setMaxLength(maxLength);
  return edit;
}

// Buttons are 34 pixels high.
QRect ButtonPlace(int left, int top, int width) {
  return {left, top, width, 34};
}

std::string Text(const QLineEdit* edit) {
  return edit->text().toStdString();
}

}  // namespace

TFormSchedaVettura::TFormSchedaVettura(const FormContext& context,
                                       std::filesystem::path historyFolder, Session session,
                                       QWidget* parent)
    : QDialog(parent),
      context_(context),
      history_(std::move(historyFolder)),
      session_(std::move(session)) {
  setObjectName(QStringLiteral("FormSchedaVettura"));
  setWindowTitle(QStringLiteral("Scheda vettura"));
  setFixedSize(760, 520);

  ListaVetture = new QListWidget(this);
  ListaVetture->setObjectName(QStringLiteral("ListaVetture"));
  ListaVetture->setGeometry(16, 16, 220, 330);

  const int maxField = static_cast<int>(vehicle::kFieldLength);
  ui::MakeLabel(this, "LabelTarga", QStringLiteral("Targa"), CaptionPlace(16));
  EditTarga = MakeEdit(this, "EditTarga", 16, maxField);
  ui::MakeLabel(this, "LabelTelaio", QStringLiteral("Numero di telaio"), CaptionPlace(50));
  EditTelaio = MakeEdit(this, "EditTelaio", 50, 17);
  ui::MakeLabel(this, "LabelMarca", QStringLiteral("Marca"), CaptionPlace(84));
  EditMarca = MakeEdit(this, "EditMarca", 84, maxField);
  ui::MakeLabel(this, "LabelModello", QStringLiteral("Modello"), CaptionPlace(118));
  EditModello = MakeEdit(this, "EditModello", 118, maxField);
  ui::MakeLabel(this, "LabelProprietario", QStringLiteral("Proprietario"), CaptionPlace(152));
  EditProprietario = MakeEdit(this, "EditProprietario", 152, maxField);
  ui::MakeLabel(this, "LabelChilometri", QStringLiteral("Chilometri"), CaptionPlace(186));
  EditChilometri = MakeEdit(this, "EditChilometri", 186, 9);
  ui::MakeLabel(this, "LabelNote", QStringLiteral("Note"), CaptionPlace(220));
  MemoNote = new QPlainTextEdit(this);
  MemoNote->setObjectName(QStringLiteral("MemoNote"));
  MemoNote->setGeometry(kEditLeft, 220, kEditWidth, 126);

  LabelVetturaInUso = ui::MakeLabel(this, "LabelVetturaInUso", QString(), {16, 356, 728, 28});

  ButtonNuova =
      ui::MakeButton(this, "ButtonNuova", QStringLiteral("&Nuova"), ButtonPlace(16, 392, 170));
  ButtonSalvaScheda = ui::MakeButton(this, "ButtonSalvaScheda", QStringLiteral("&Salva e usa"),
                                     ButtonPlace(196, 392, 170));
  ButtonElimina =
      ui::MakeButton(this, "ButtonElimina", QStringLiteral("E&limina"), ButtonPlace(376, 392, 170));
  ButtonAssegna =
      ui::MakeButton(this, "ButtonAssegna", QStringLiteral("Assegna storico &precedente"),
                     ButtonPlace(16, 432, 350));
  ComboUnisci = new QComboBox(this);
  ComboUnisci->setObjectName(QStringLiteral("ComboUnisci"));
  ComboUnisci->setGeometry(376, 435, 170, 28);
  ButtonUnisci =
      ui::MakeButton(this, "ButtonUnisci", QStringLiteral("&Unisci a"), ButtonPlace(556, 432, 188));
  ButtonEsci =
      ui::MakeButton(this, "ButtonEsci", QStringLiteral("&Esci"), ButtonPlace(604, 474, 140));

  LoadTexts();
  Reload(session_.key);

  connect(ListaVetture, &QListWidget::currentRowChanged, this, &TFormSchedaVettura::ShowCard);
  connect(ButtonNuova, &QPushButton::clicked, this, &TFormSchedaVettura::Nuova);
  connect(ButtonSalvaScheda, &QPushButton::clicked, this, &TFormSchedaVettura::Salva);
  connect(ButtonElimina, &QPushButton::clicked, this, &TFormSchedaVettura::Elimina);
  connect(ButtonUnisci, &QPushButton::clicked, this, &TFormSchedaVettura::Unisci);
  connect(ButtonAssegna, &QPushButton::clicked, this, &TFormSchedaVettura::Assegna);
  connect(ButtonEsci, &QPushButton::clicked, this, &QDialog::reject);
  ScaleToScreen(this);
}

void TFormSchedaVettura::LoadTexts() {
  if (context_.language == nullptr) return;
  const auto label = [this](const char* name) {
    return SetTextOf(findChild<QLabel*>(QLatin1String(name)));
  };
  const QList<WindowText> texts = {
      {QStringLiteral("FinestraSchedaVettura"), 40, SetTitleOf(this)},
      {QStringLiteral("LabelTarga"), 18, label("LabelTarga")},
      {QStringLiteral("LabelTelaio"), 18, label("LabelTelaio")},
      {QStringLiteral("LabelMarca"), 18, label("LabelMarca")},
      {QStringLiteral("LabelModello"), 18, label("LabelModello")},
      {QStringLiteral("LabelProprietario"), 18, label("LabelProprietario")},
      {QStringLiteral("LabelChilometri"), 18, label("LabelChilometri")},
      {QStringLiteral("LabelNote"), 18, label("LabelNote")},
      {QStringLiteral("ButtonNuova"), 20, SetTextOf(ButtonNuova)},
      {QStringLiteral("ButtonSalvaScheda"), 20, SetTextOf(ButtonSalvaScheda)},
      {QStringLiteral("ButtonElimina"), 20, SetTextOf(ButtonElimina)},
      {QStringLiteral("ButtonAssegna"), 40, SetTextOf(ButtonAssegna)},
      {QStringLiteral("ButtonUnisci"), 20, SetTextOf(ButtonUnisci)},
      {QStringLiteral("ButtonEsci"), 20, SetTextOf(ButtonEsci)},
      {QStringLiteral("MessVetturaInUso"), 30, StoreIn(&inUse_)},
      {QStringLiteral("MessNessunaScheda"), 30, StoreIn(&none_)},
      {QStringLiteral("MessTargaTelaio"), 70, StoreIn(&noPlate_)},
      {QStringLiteral("MessTelaioLunghezza"), 70, StoreIn(&vinLength_)},
      {QStringLiteral("MessTelaioLettere"), 70, StoreIn(&vinLetters_)},
      {QStringLiteral("MessTelaioCaratteri"), 70, StoreIn(&vinCharacters_)},
      {QStringLiteral("MessTargaCaratteri"), 70, StoreIn(&badPlate_)},
      {QStringLiteral("MessChilometri"), 70, StoreIn(&badOdometer_)},
      {QStringLiteral("MessCampoLungo"), 70, StoreIn(&tooLong_)},
      {QStringLiteral("MessSchedaEsiste"), 70, StoreIn(&exists_)},
      {QStringLiteral("MessErrScheda"), 70, StoreIn(&notSaved_)},
      {QStringLiteral("MessEliminaScheda"), 90, StoreIn(&deleteAsk_)},
      {QStringLiteral("MessUnisciScheda"), 90, StoreIn(&mergeAsk_)},
      {QStringLiteral("MessAssegnaStorico"), 90, StoreIn(&assignAsk_)},
      {QStringLiteral("MessNienteStorico"), 70, StoreIn(&nothingToAssign_)},
  };
  ApplyWindowTexts(*context_.language, texts);
}

void TFormSchedaVettura::Reload(const std::string& selectKey) {
  cards_ = vehicle::ListCards(history_, context_.identification);
  const QSignalBlocker blocker(ListaVetture);
  ListaVetture->clear();
  ComboUnisci->clear();
  int selected = -1;
  for (std::size_t i = 0; i < cards_.size(); ++i) {
    const QString line = TFormSceltaVettura::CardLine(cards_[i].card);
    ListaVetture->addItem(line);
    ComboUnisci->addItem(QString::fromStdString(cards_[i].key));
    if (cards_[i].key == selectKey) selected = static_cast<int>(i);
  }
  ListaVetture->setCurrentRow(selected);
  ShowCard(selected);
  const auto current = vehicle::FindCard(history_, context_.identification, session_.key);
  LabelVetturaInUso->setText(
      inUse_ + QLatin1Char(' ') +
      (current ? TFormSceltaVettura::CardLine(current->card) : none_));
}

void TFormSchedaVettura::ShowCard(int row) {
  const vehicle::Card empty;
  const vehicle::Card& card =
      row >= 0 && row < static_cast<int>(cards_.size()) ? cards_[static_cast<std::size_t>(row)].card
                                                         : empty;
  EditTarga->setText(QString::fromStdString(card.plate));
  EditTelaio->setText(QString::fromStdString(card.vin));
  EditMarca->setText(QString::fromStdString(card.make));
  EditModello->setText(QString::fromStdString(card.model));
  EditProprietario->setText(QString::fromStdString(card.owner));
  EditChilometri->setText(QString::fromStdString(card.odometer));
  MemoNote->setPlainText(QString::fromStdString(card.notes));
}

const vehicle::StoredCard* TFormSchedaVettura::Selected() const {
  const int row = ListaVetture->currentRow();
  return row >= 0 && row < static_cast<int>(cards_.size()) ? &cards_[static_cast<std::size_t>(row)]
                                                           : nullptr;
}

vehicle::Card TFormSchedaVettura::CardOfEdits() const {
  vehicle::Card card;
  card.plate = Text(EditTarga);
  card.vin = Text(EditTelaio);
  card.make = Text(EditMarca);
  card.model = Text(EditModello);
  card.owner = Text(EditProprietario);
  card.odometer = Text(EditChilometri);
  card.notes = MemoNote->toPlainText().toStdString();
  if (const auto* selected = Selected()) card.chosen = selected->card.chosen;
  return vehicle::Normalised(card);
}

QString TFormSchedaVettura::ProblemText(vehicle::CardCheck check) const {
  switch (check) {
    case vehicle::CardCheck::kNoPlateOrVin:
      return noPlate_;
    case vehicle::CardCheck::kVinLength:
      return vinLength_;
    case vehicle::CardCheck::kVinForbiddenLetter:
      return vinLetters_;
    case vehicle::CardCheck::kVinBadCharacter:
      return vinCharacters_;
    case vehicle::CardCheck::kBadPlate:
      return badPlate_;
    case vehicle::CardCheck::kBadOdometer:
      return badOdometer_;
    case vehicle::CardCheck::kTooLong:
      return tooLong_;
    default:
      return {};
  }
}

void TFormSchedaVettura::Fail(const std::string& why) {
  MessageBoxes::ShowError(this, notSaved_, windowTitle(), QString::fromStdString(why));
}

void TFormSchedaVettura::SessionNowOn(const std::string& key) {
  session_.key = key;
  if (session_.useVehicle) session_.useVehicle(key);
}

void TFormSchedaVettura::ReleaseJournal() {
  if (session_.releaseJournal) session_.releaseJournal();
}

void TFormSchedaVettura::Nuova() {
  ListaVetture->setCurrentRow(-1);
  ShowCard(-1);
  EditTarga->setFocus();
}

void TFormSchedaVettura::Salva() {
  const vehicle::Card card = CardOfEdits();
  if (const QString problem = ProblemText(vehicle::CheckCard(card)); !problem.isEmpty()) {
    MessageBoxes::ShowError(this, problem, windowTitle());
    return;
  }
  const std::string key = vehicle::Key(card);
  const auto* selected = Selected();
  const bool exists = vehicle::FindCard(history_, context_.identification, key).has_value();
  if (exists && (selected == nullptr || selected->key != key)) {
    MessageBoxes::ShowError(this, exists_, windowTitle());
    return;
  }
  const auto outcome = exists ? vehicle::UpdateCard(history_, context_.identification, card)
                              : vehicle::AddCard(history_, context_.identification, card);
  if (!outcome.done) {
    Fail(outcome.error);
    return;
  }
  SessionNowOn(key);
  Reload(key);
}

void TFormSchedaVettura::Elimina() {
  const auto* selected = Selected();
  if (selected == nullptr || !MessageBoxes::AskYesNo(this, deleteAsk_, windowTitle())) return;
  const std::string key = selected->key;
  const auto outcome = vehicle::DeleteCard(history_, context_.identification, key,
                                           std::chrono::system_clock::now());
  if (!outcome.done) Fail(outcome.error);
  // The session's car without a card goes on in the ECU's plain folder.
  if (key == session_.key) SessionNowOn({});
  Reload(session_.key);
}

void TFormSchedaVettura::Unisci() {
  const auto* selected = Selected();
  const std::string into = ComboUnisci->currentText().toStdString();
  if (selected == nullptr || into.empty() || into == selected->key ||
      !MessageBoxes::AskYesNo(this, mergeAsk_, windowTitle()))
    return;
  const std::string from = selected->key;
  // The session lets go of its journal before its file moves.
  const bool sessionMoves = from == session_.key || into == session_.key;
  if (sessionMoves) ReleaseJournal();
  const auto outcome = vehicle::MergeCards(history_, context_.identification, from, into,
                                           std::chrono::system_clock::now());
  if (!outcome.done) Fail(outcome.error);
  if (sessionMoves) SessionNowOn(outcome.done ? into : session_.key);
  Reload(into);
}

void TFormSchedaVettura::Assegna() {
  const auto* selected = Selected();
  if (selected == nullptr) return;
  const std::filesystem::path plain = vehicle::CarFolder(history_, context_.identification, {});
  std::error_code error;
  if (!std::filesystem::is_directory(plain, error)) {
    MessageBoxes::ShowInformation(this, nothingToAssign_, windowTitle());
    return;
  }
  if (!MessageBoxes::AskYesNo(this, assignAsk_, windowTitle())) return;
  const std::string key = selected->key;
  const bool sessionMoves = session_.key.empty();
  if (sessionMoves) ReleaseJournal();
  const auto outcome = vehicle::AssignEarlierHistory(history_, context_.identification, key,
                                                     std::chrono::system_clock::now());
  if (!outcome.done) Fail(outcome.error);
  // This session's own history moved with the rest: the session follows it.
  if (sessionMoves) SessionNowOn(outcome.done ? key : session_.key);
  Reload(key);
}
