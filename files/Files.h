// TFormFile: load or save a whole configuration as a file in the
// configurations folder. Closes with Accepted when a file was loaded or saved.
#pragma once

#include <QDialog>
#include <QString>

struct FormContext;
class ConfCar;
class QLabel;
class QPushButton;
class TModuloLingua;

class TFormFile : public QDialog {
  Q_OBJECT

 public:
  // context.store must be set; without settings the folder is the fallback.
  explicit TFormFile(const FormContext& context, QWidget* parent = nullptr);

  QString ConfigurationsFolder() const { return folder_; }

  QPushButton* ButtonCaricaConf;
  QPushButton* ButtonSalvaConf;
  QPushButton* ButtonEsci;
  QLabel* LabelFreccia;

 public slots:
  void CaricaConf();
  void SalvaConf();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LoadTexts(TModuloLingua* lingua);
  // false (after saying why) when the store cannot take the name.
  bool TakeFileName(const QString& path);
  void ReportNameTooLong(const QString& path);

  ConfCar& store_;
  QString folder_;
  // Texts for this window's messages and for the load and save windows.
  QString messNoFiles_;
  QString loadCaption_;
  QString loadButton_;
  QString okCaption_;
  QString cancelCaption_;
  QString saveCaption_;
  QString namePrompt_;
  QString fileExists_;
  QString overwrite_;
  QString overwriteTail_;
  QString saveFailed_;
  QString nameTooLong_;
  QString loadFailed_;
};
