// TFormConfronta: compares two configurations, each one of the ECU as the
// store holds it now, a snapshot from the history folder, a parameter file
// of the configurations folder or any other file; lists the values that
// differ (or all of them) with the factory value, exports the table as CSV,
// and writes configuration A back to the ECU, only the values that differ.
#pragma once

#include <QDialog>
#include <QHash>
#include <QString>
#include <vector>

#include "Compare.h"
#include "FormContext.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class TModuloLingua;

class TFormConfronta : public QDialog {
  Q_OBJECT

 public:
  // context.store must be set. historyFolder holds the snapshots.
  TFormConfronta(const FormContext& context, const QString& historyFolder,
                 QWidget* parent = nullptr);

  // Chooses a source by the text of its item (tests, and the window's start).
  bool ChooseA(const QString& itemText);
  bool ChooseB(const QString& itemText);
  // Adds a file as a source of both lists and returns its item text.
  QString AddFile(const QString& path);
  // The shown table as CSV, headed in the program's language; false when the
  // file cannot be written.
  bool ExportCsv(const QString& path) const;
  // Where the file dialogs open: the configurations folder.
  QString ConfigurationsFolder() const { return configurationsFolder_; }

  QComboBox* ComboBoxA;
  QComboBox* ComboBoxB;
  QCheckBox* CheckTutti;
  QTableWidget* TabellaConfronto;
  QLabel* LabelRisultato;
  QPushButton* ButtonEsporta;
  QPushButton* ButtonRipristina;
  QPushButton* ButtonEsci;

 public slots:
  void Refresh();
  void Esporta();
  void Ripristina();

 private:
  void BuildControls();
  // The window's size for the screen in use.
  void FitToScreen();
  void BuildSources();
  void LoadTexts(TModuloLingua* language);
  void SourceChosen(QComboBox* combo);
  // The configuration behind a list's current item; false (and why) when
  // its file is not one.
  bool SourceOf(const QComboBox* combo, Configuration* c, QString* problem) const;

  FormContext context_;
  QString historyFolder_;
  QString configurationsFolder_;
  QHash<int, QString> captions_;
  std::vector<CompareRow> rows_;
  QString nameA_, nameB_;
  // Texts of this window's messages (Italian until the dictionary gives them).
  QString ecuNow_ = QStringLiteral("Centralina (valori attuali)");
  QString snapshot_ = QStringLiteral("Istantanea");
  QString otherFile_ = QStringLiteral("Altro file...");
  QString differing_ = QStringLiteral("Parametri diversi:");
  QString noDifferences_ = QStringLiteral("Nessuna differenza.");
  QString notAFile_ = QStringLiteral("Il file non è un file di configurazione:");
  QString missing_ = QStringLiteral("Valori mancanti nel file (mostrati con -):");
  QString willChange_ = QStringLiteral("Valori della centralina che cambieranno:");
  QString writeNow_ = QStringLiteral("Scriverli nella centralina?");
  QString restored_ = QStringLiteral("Ripristino completato.");
  QString refused_ = QStringLiteral("La centralina non ha accettato:");
  QString nothingToDo_ = QStringLiteral("La centralina contiene già questa configurazione.");
  QString exportFailed_ = QStringLiteral("Impossibile salvare la configurazione nel file:");
  QString parameterColumn_ = QStringLiteral("Parametro");
  QString factoryColumn_ = QStringLiteral("Valore di fabbrica");
  QString keptByEcu_ = QStringLiteral("mantenuto dalla centralina");
  QString identifierColumn_ = QStringLiteral("Identificativo");
  QString elementColumn_ = QStringLiteral("Elemento");
  QString differsColumn_ = QStringLiteral("Diverso");
  QString yes_ = QStringLiteral("sì");
  QString no_ = QStringLiteral("no");
};
