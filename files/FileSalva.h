// TFormFileSalva: the one-line entry of the name under which to save the
// configuration.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TFormFileSalva : public QDialog {
  Q_OBJECT

 public:
  explicit TFormFileSalva(QWidget* parent = nullptr);

  // Puts the proposed name in the field and enables OK (even when empty).
  void ProposeName(const QString& name);

  QLabel* Label1;
  QLineEdit* EditNome;
  QPushButton* ButtonOk;
  QPushButton* ButtonAnnulla;
};
