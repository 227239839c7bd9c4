#include "SceltaVettura.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "ModuloLingua.h"
#include "Scaling.h"
#include "WindowTexts.h"

TFormSceltaVettura::TFormSceltaVettura(const std::vector<vehicle::StoredCard>& cards,
                                       TModuloLingua* language, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("FormSceltaVettura"));
  setWindowTitle(QStringLiteral("Scelta vettura"));
  setFixedSize(460, 330);
  LabelSceltaVettura = new QLabel(QStringLiteral("Su quale vettura è montata la centralina?"), this);
  LabelSceltaVettura->setObjectName(QStringLiteral("LabelSceltaVettura"));
  LabelSceltaVettura->setGeometry(16, 12, 428, 40);
  LabelSceltaVettura->setWordWrap(true);
  ListaVetture = new QListWidget(this);
  ListaVetture->setObjectName(QStringLiteral("ListaVetture"));
  ListaVetture->setGeometry(16, 58, 428, 210);
  ButtonOK = new QPushButton(QStringLiteral("OK"), this);
  ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
  ButtonOK->setGeometry(324, 282, 120, 34);
  ButtonOK->setDefault(true);

  QString another = QStringLiteral("Un'altra vettura");
  if (language != nullptr) {
    ApplyWindowTexts(*language,
                     {{QStringLiteral("FinestraSceltaVettura"), 40, SetTitleOf(this)},
                      {QStringLiteral("LabelSceltaVettura"), 70, SetTextOf(LabelSceltaVettura)},
                      {QStringLiteral("VoceAltraVettura"), 40, StoreIn(&another)}});
  }
  for (const vehicle::StoredCard& stored : cards) {
    ListaVetture->addItem(CardLine(stored.card));
    keys_.push_back(stored.key);
  }
  ListaVetture->addItem(another);
  keys_.emplace_back();
  // The car chosen last for this ECU comes first to hand.
  int last = 0;
  for (std::size_t i = 0; i < cards.size(); ++i)
    if (cards[i].card.chosen > cards[static_cast<std::size_t>(last)].card.chosen)
      last = static_cast<int>(i);
  ListaVetture->setCurrentRow(last);

  connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(ListaVetture, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  ScaleToScreen(this);
}

std::string TFormSceltaVettura::ChosenKey() const {
  const int row = ListaVetture->currentRow();
  if (result() != QDialog::Accepted || row < 0 || row >= static_cast<int>(keys_.size())) return {};
  return keys_[static_cast<std::size_t>(row)];
}

QString TFormSceltaVettura::CardLine(const vehicle::Card& card) {
  QStringList parts;
  parts << QString::fromStdString(card.plate.empty() ? card.vin : card.plate);
  const QString makeModel =
      QString::fromStdString(card.make + ' ' + card.model).trimmed();
  if (!makeModel.isEmpty()) parts << makeModel;
  if (!card.owner.empty()) parts << QString::fromStdString(card.owner);
  return parts.join(QStringLiteral(" — "));
}
