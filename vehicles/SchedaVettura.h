// TFormSchedaVettura: the vehicle cards of the connected ECU. A card is made
// or edited and saved (it then becomes the car of this session), deleted
// (its history is kept), merged into another card, or given what the ECU's
// history kept before there were cards.
#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "FormContext.h"
#include "VehicleCard.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class TFormSchedaVettura : public QDialog {
  Q_OBJECT

 public:
  // How the window tells the session which car it belongs to.
  struct Session {
    std::string key;  // the car of the session now; empty for none
    // The session's journal file is let go before files move under it.
    std::function<void()> releaseJournal;
    // The car the session belongs to from now on (empty: none).
    std::function<void(const std::string& key)> useVehicle;
  };

  TFormSchedaVettura(const FormContext& context, std::filesystem::path historyFolder,
                     Session session, QWidget* parent = nullptr);

  // The card as the edits hold it.
  vehicle::Card CardOfEdits() const;
  // The message for a card that does not pass the check; empty when it does.
  QString ProblemText(vehicle::CardCheck check) const;

  QListWidget* ListaVetture;
  QLineEdit* EditTarga;
  QLineEdit* EditTelaio;
  QLineEdit* EditMarca;
  QLineEdit* EditModello;
  QLineEdit* EditProprietario;
  QLineEdit* EditChilometri;
  QPlainTextEdit* MemoNote;
  QLabel* LabelVetturaInUso;
  QComboBox* ComboUnisci;
  QPushButton* ButtonNuova;
  QPushButton* ButtonSalvaScheda;
  QPushButton* ButtonElimina;
  QPushButton* ButtonUnisci;
  QPushButton* ButtonAssegna;
  QPushButton* ButtonEsci;

 public slots:
  void Nuova();
  void Salva();
  void Elimina();
  void Unisci();
  void Assegna();

 private:
  void LoadTexts();
  void Reload(const std::string& selectKey);
  void ShowCard(int row);
  void SessionNowOn(const std::string& key);
  void ReleaseJournal();
  const vehicle::StoredCard* Selected() const;
  void Fail(const std::string& why);

  FormContext context_;
  std::filesystem::path history_;
  Session session_;
  std::vector<vehicle::StoredCard> cards_;
  QString inUse_ = QStringLiteral("Vettura in uso:");
  QString none_ = QStringLiteral("nessuna scheda");
  QString noPlate_ = QStringLiteral("Indicare la targa o il numero di telaio.");
  QString vinLength_ = QStringLiteral("Il numero di telaio ha 17 caratteri.");
  QString vinLetters_ = QStringLiteral("Il numero di telaio non contiene le lettere I, O e Q.");
  QString vinCharacters_ =
      QStringLiteral("Il numero di telaio contiene solo cifre e lettere maiuscole.");
  QString badPlate_ = QStringLiteral("La targa contiene solo lettere, cifre, spazi e trattini.");
  QString badOdometer_ = QStringLiteral("I chilometri sono un numero intero.");
  QString tooLong_ = QStringLiteral("Un campo è troppo lungo.");
  QString exists_ = QStringLiteral("Esiste già una scheda per questa targa.");
  QString notSaved_ = QStringLiteral("Impossibile salvare la scheda:");
  QString deleteAsk_ =
      QStringLiteral("Eliminare la scheda? Istantanee e registro restano conservati.");
  QString mergeAsk_ = QStringLiteral("Unire la scheda selezionata a quella indicata?");
  QString assignAsk_ =
      QStringLiteral("Assegnare alla scheda selezionata lo storico precedente della centralina?");
  QString nothingToAssign_ = QStringLiteral("Non c'è storico precedente da assegnare.");
};
