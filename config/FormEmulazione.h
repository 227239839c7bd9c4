// TFormEmulazione: the built square wave that emulates the lambda probe while
// the car runs on gas: high, low and tri-state times and the waves between two
// tri-state gaps, with a drawn preview. It neither reads nor writes the store:
// the caller hands in the present values and, on OK, takes the fields back.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class TModuloLingua;

namespace config {
class WavePreview;
}

class TFormEmulazione : public QDialog {
  Q_OBJECT

 public:
  // Times in milliseconds, tri-state in whole seconds, waves per group.
  TFormEmulazione(TModuloLingua* language, int highMs, int lowMs, int triStateSeconds, int waves,
                  QWidget* parent = nullptr);

  // The fields as the caller takes them after OK: the times in milliseconds
  // (0.36 s gives 360, not 359), the whole tri-state seconds (0 when the
  // field holds no number) and the waves (1 when the field holds no number).
  int HighMs() const;
  int LowMs() const;
  int TriStateSeconds() const;
  int Waves() const;

  QLabel* LabelTempoAlto;
  QLineEdit* EditAlto;
  QLabel* LabelMs1;
  QLabel* LabelTempoBasso;
  QLineEdit* EditBasso;
  QLabel* LabelMs2;
  QLabel* LabelTempoTristate;
  QLineEdit* EditTristate;
  QLabel* LabelS;
  QLabel* LabelNOnde;
  QLineEdit* EditOnde;
  QPushButton* ButtonOk;
  QPushButton* ButtonAnnulla;
  QPushButton* ButtonDefault;
  QLabel* LabelAnteprima;
  QLabel* Panel1;
  config::WavePreview* PaintBox1;
  QLabel* Label5;
  QLabel* Label6;
  QLabel* Label7;

 public slots:
  // "&Standard": 0.36 s high and low, no tri-state, one wave.
  void Standard();
  // OK: refuses an emulation whose three times are all zero.
  void Confirm();

 private:
  // An edit with its upper limit; the tri-state time and the wave count hold
  // whole numbers only.
  struct Field {
    QLineEdit* edit = nullptr;
    double limit = 0;
    bool wholeNumber = false;
  };
  const Field* FieldOf(QObject* object) const;
  void LoadTexts(TModuloLingua* language);
  void EnterField(const Field& field);
  // The checks of leaving a field; false when the focus must go back to it.
  bool LeaveField(const Field& field);
  bool FilterCharacter(const Field& field, const QString& typed) const;
  void RefreshPreview();

  Field fields_[4];
  QString messNonDisp_;
  QString messEmulIndef_;
  double saved_ = 0;  // the focused field's value when it was entered
};
