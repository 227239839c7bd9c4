// TFormDiagnosi: the three lambda checks of the ECU. Each can be switched on
// or off (the diagnosis enable mask); every two seconds the window shows
// which checks have recorded an error (the diagnosis error flags), and
// "Azzera errori" clears them.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

struct FormContext;
class ConfCar;
class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;
class TModuloLingua;

namespace ecu {
class EcuLink;
}

class TFormDiagnosi : public QDialog {
  Q_OBJECT

 public:
  // context.store must be set.
  explicit TFormDiagnosi(const FormContext& context, QWidget* parent = nullptr);

  // The 2 s refresh of the error flags.
  void Tick();
  int ErrorFlags() const { return errorFlags_; }
  int EnableMask() const { return enableMask_; }

  QLabel* LabelAbilDiagnosi;
  QLabel* LabelStatoDiagnosi;
  QCheckBox* CheckBox1;
  QCheckBox* CheckBox2;
  QCheckBox* CheckBox3;
  QLabel* LabelDLambdaGiusto;
  QLabel* LabelDLambdaMagro;
  QLabel* LabelDLambdaRicco;
  QLabel* LabelStato1;
  QLabel* LabelStato2;
  QLabel* LabelStato3;
  QPushButton* ButtonEsci;
  QPushButton* ButtonReset;
  QTimer* Timer1;

 public slots:
  void AzzeraErrori();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Row {
    QCheckBox* check;
    QLabel* description;
    QLabel* status;
  };
  void BuildRow(int index, const char* checkName, const char* labelName, const QString& caption,
                const char* statusName);
  void LoadTexts(TModuloLingua* lingua);
  void ShowChecks();
  void ShowStatus();
  void SetStatus(QLabel* status, const QString& text);
  void CheckToggled(int index);

  ConfCar& store_;
  ecu::EcuLink* link_;
  QList<Row> rows_;
  int errorFlags_ = 0;
  int enableMask_ = 0;
  QString okText_ = QStringLiteral("OK");
  QString errorText_;
};
