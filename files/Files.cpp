#include "Files.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ApplicationInfo.h"
#include "ConfCar.h"
#include "ConfigurationsFolder.h"
#include "DictionaryProblem.h"
#include "FileNameRules.h"
#include "FileSalva.h"
#include "Fileapri.h"
#include "FormContext.h"
#include "GlobalData.h"
#include "LoadConfiguration.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "NamedWidgets.h"
#include "WaitCursor.h"
#include "WindowTexts.h"

namespace {

constexpr const char* kExtension = "dmr";
constexpr int kButtonLeft = 80;
constexpr int kButtonWidth = 420;
constexpr int kButtonHeight = 41;

// The buttons stand one under the other.
QRect ButtonPlace(int top) {
  return {kButtonLeft, top, kButtonWidth, kButtonHeight};
}

}  // namespace

TFormFile::TFormFile(const FormContext& context, QWidget* parent)
    : QDialog(parent), store_(*context.store) {
  setObjectName(QStringLiteral("FormFile"));
  setWindowTitle(QStringLiteral("Gestione files"));
  setFixedSize(536, 185);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(16);
  font.setBold(true);
  setFont(font);

  ButtonCaricaConf = ui::MakeButton(this, "ButtonCaricaConf",
                                    QStringLiteral("&Carica configurazione"), ButtonPlace(16));
  ButtonSalvaConf = ui::MakeButton(this, "ButtonSalvaConf", QStringLiteral("&Salva configurazione"),
                                   ButtonPlace(72));
  ButtonEsci = ui::MakeButton(this, "ButtonEsci", QStringLiteral("&Esci"), ButtonPlace(128));

  LabelFreccia = new QLabel(QStringLiteral("\u27A1"), this);
  LabelFreccia->setObjectName(QStringLiteral("LabelFreccia"));
  QFont arrowFont(QStringLiteral("DejaVu Sans"));
  arrowFont.setPixelSize(37);
  LabelFreccia->setFont(arrowFont);
  LabelFreccia->setGeometry(24, 16, 44, kButtonHeight);
  QPalette arrowPalette = LabelFreccia->palette();
  arrowPalette.setColor(QPalette::WindowText,
                        palette().color(QPalette::Active, QPalette::Highlight));
  LabelFreccia->setPalette(arrowPalette);

  for (QPushButton* button : {ButtonCaricaConf, ButtonSalvaConf, ButtonEsci})
    button->installEventFilter(this);
  connect(ButtonCaricaConf, &QPushButton::clicked, this, &TFormFile::CaricaConf);
  connect(ButtonSalvaConf, &QPushButton::clicked, this, &TFormFile::SalvaConf);
  connect(ButtonEsci, &QPushButton::clicked, this, &QDialog::reject);

  QString preferred;
  if (context.settings != nullptr)
    context.settings->GetPath(GlobalData::kConfigurationsFolder, preferred);
  folder_ = UsableConfigurationsFolder(preferred);
  LoadTexts(context.language);
  ButtonCaricaConf->setFocus();
}

void TFormFile::LoadTexts(TModuloLingua* lingua) {
  const QList<WindowText> texts = {
      {QStringLiteral("ButtonCaricaConf"), 30, SetTextOf(ButtonCaricaConf)},
      {QStringLiteral("ButtonSalvaConf"), 30, SetTextOf(ButtonSalvaConf)},
      {QStringLiteral("ButtonEsci"), 20, SetTextOf(ButtonEsci)},
      {QStringLiteral("FinestraGestioneFiles"), 70, SetTitleOf(this)},
      {QStringLiteral("MessNoFiles"), 70, StoreIn(&messNoFiles_)},
      {QStringLiteral("FinestraCarica"), 70, StoreIn(&loadCaption_)},
      {QStringLiteral("ButtonCarica"), 20, StoreIn(&loadButton_)},
      {QStringLiteral("ButtonOk"), 15, StoreIn(&okCaption_)},
      {QStringLiteral("ButtonAnnulla"), 15, StoreIn(&cancelCaption_)},
      {QStringLiteral("FinestraSalva"), 70, StoreIn(&saveCaption_)},
      {QStringLiteral("LabelNomeFile"), 50, StoreIn(&namePrompt_)},
      {QStringLiteral("MessFileEsiste"), 50, StoreIn(&fileExists_)},
      {QStringLiteral("MessSovraFile"), 50, StoreIn(&overwrite_)},
  };
  // Messages for failures the file windows report; a dictionary without them,
  // or one that fails, leaves the Italian texts.
  saveFailed_ = QStringLiteral("Impossibile salvare la configurazione nel file:");
  nameTooLong_ = QStringLiteral("Percorso del file troppo lungo:");
  loadFailed_ = QStringLiteral("Impossibile leggere il file di configurazione:");
  if (lingua == nullptr || !ApplyWindowTexts(*lingua, texts)) {
    ui::ShowDictionaryProblem(this, 7);
  } else {
    ApplyWindowTexts(*lingua, {{QStringLiteral("MessErrSalvaFile"), 70, StoreIn(&saveFailed_)},
                               {QStringLiteral("MessNomeFileLungo"), 70, StoreIn(&nameTooLong_)},
                               {QStringLiteral("MessErrCaricaFile"), 70, StoreIn(&loadFailed_)}});
  }
  overwriteTail_ = QStringLiteral("\n") + fileExists_ + QStringLiteral("\n\n") + overwrite_;
}

bool TFormFile::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    if (auto* button = qobject_cast<QPushButton*>(watched))
      LabelFreccia->move(LabelFreccia->x(), button->y());
  }
  return QDialog::eventFilter(watched, event);
}

bool TFormFile::TakeFileName(const QString& path) {
  if (store_.SetFileName(StoreFileName(path))) return true;
  ReportNameTooLong(path);
  return false;
}

void TFormFile::ReportNameTooLong(const QString& path) {
  MessageBoxes::ShowError(
      this, nameTooLong_ + QStringLiteral("\n") + QDir::toNativeSeparators(path), windowTitle());
}

void TFormFile::CaricaConf() {
  TFormApriFile load(this);
  load.setWindowTitle(loadCaption_);
  load.ButtonEsci->setText(ButtonEsci->text());
  load.ButtonCarica->setText(loadButton_);
  if (load.ListFolder(folder_) == 0) {
    MessageBoxes::ShowInformation(this, messNoFiles_, windowTitle());
    return;
  }
  if (load.exec() != QDialog::Accepted) return;
  const QString path = load.SelectedPath();
  if (path.isEmpty()) return;
  switch (LoadConfigurationFile(store_, path, this)) {
    case LoadOutcome::Loaded:
      break;
    case LoadOutcome::NameTooLong:
      ReportNameTooLong(path);
      return;
    case LoadOutcome::Unreadable:
      // The file went away or cannot be read: the technician must know that
      // nothing was loaded.
      MessageBoxes::ShowError(
          this, loadFailed_ + QStringLiteral("\n") + QDir::toNativeSeparators(path),
          windowTitle());
      return;
  }
  accept();
}

void TFormFile::SalvaConf() {
  TFormFileSalva save(this);
  save.setWindowTitle(saveCaption_);
  save.ButtonOk->setText(okCaption_);
  save.ButtonAnnulla->setText(cancelCaption_);
  save.Label1->setText(namePrompt_);
  if (const auto proposed = ProposedSaveName(PathOfStoreFileName(store_.FileName())))
    save.ProposeName(*proposed);
  if (save.exec() != QDialog::Accepted) return;

  const QString path = QDir(folder_).filePath(save.EditNome->text() + QStringLiteral(".") +
                                              QLatin1String(kExtension));
  if (QFileInfo::exists(path) &&
      !MessageBoxes::AskYesNo(this, QDir::toNativeSeparators(path) + overwriteTail_,
                              windowTitle())) {
    return;
  }
  if (!TakeFileName(path)) return;
  bool saved = false;
  {
    WaitCursor wait;
    saved = store_.SaveFile();
  }
  if (!saved) {
    // The old file, if any, is untouched; the technician must know that the
    // configuration was not kept.
    MessageBoxes::ShowError(
        this, saveFailed_ + QStringLiteral("\n") + QDir::toNativeSeparators(path), windowTitle());
    return;
  }
  accept();
}
