#include "FileSalva.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "FileNameRules.h"

namespace {
constexpr int kMaxNameLength = 50;
}

TFormFileSalva::TFormFileSalva(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormFileSalva"));
  setWindowTitle(QStringLiteral("Salvataggio configurazione su file"));
  setFixedSize(313, 114);

  Label1 = new QLabel(QStringLiteral("Immettere il nome del file"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(16, 10, 281, 18);

  EditNome = new QLineEdit(this);
  EditNome->setObjectName(QStringLiteral("EditNome"));
  EditNome->setGeometry(16, 32, 281, 24);
  EditNome->setMaxLength(kMaxNameLength);
  EditNome->installEventFilter(new RefusedCharacterFilter(EditNome));
  EditNome->setValidator(new NoSeparatorValidator(EditNome));

  ButtonOk = new QPushButton(QStringLiteral("&OK"), this);
  ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
  ButtonOk->setGeometry(62, 72, 89, 30);
  ButtonOk->setDefault(true);
  ButtonOk->setEnabled(false);

  ButtonAnnulla = new QPushButton(QStringLiteral("&Annulla"), this);
  ButtonAnnulla->setObjectName(QStringLiteral("ButtonAnnulla"));
  ButtonAnnulla->setGeometry(162, 72, 89, 30);

  connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);
  // OK is there exactly while the field holds a name.
  connect(EditNome, &QLineEdit::textEdited, this,
          [this](const QString& text) { ButtonOk->setEnabled(!text.isEmpty()); });
}

void TFormFileSalva::ProposeName(const QString& name) {
  EditNome->setText(name);
  ButtonOk->setEnabled(true);
}
