#include "Officina.h"

#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include "GlobalData.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "NamedWidgets.h"
#include "Scaling.h"
#include "WindowTexts.h"

namespace {
// A caption left of its field, level with it.
QRect CaptionPlace(int top) {
  return {16, top, 150, 28};
}
QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int top, int width) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(QLatin1String(name));
  edit->setGeometry(170, top, width, 28);
  edit->setMaxLength(kWorkshopFieldLength);
  return edit;
}
// Buttons are 34 pixels high.
QRect ButtonPlace(int left, int top, int width) {
  return {left, top, width, 34};
}
}  // namespace

TFormOfficina::TFormOfficina(GlobalData& settings, TModuloLingua* language, QWidget* parent)
    : QDialog(parent), settings_(settings) {
  setObjectName(QStringLiteral("FormOfficina"));
  setWindowTitle(QStringLiteral("Dati dell'officina"));
  setFixedSize(560, 330);
  const WorkshopDetails details = settings.Workshop();
  ui::MakeLabel(this, "LabelNomeOfficina", QStringLiteral("Nome"), CaptionPlace(16));
  EditNomeOfficina = MakeEdit(this, "EditNomeOfficina", details.name, 16, 374);
  ui::MakeLabel(this, "LabelIndirizzo", QStringLiteral("Indirizzo"), CaptionPlace(50));
  EditIndirizzo = MakeEdit(this, "EditIndirizzo", details.address, 50, 374);
  ui::MakeLabel(this, "LabelTelefono", QStringLiteral("Telefono"), CaptionPlace(84));
  EditTelefono = MakeEdit(this, "EditTelefono", details.phone, 84, 200);
  ui::MakeLabel(this, "LabelPartitaIva", QStringLiteral("Partita IVA"), CaptionPlace(118));
  EditPartitaIva = MakeEdit(this, "EditPartitaIva", details.vatNumber, 118, 200);
  ui::MakeLabel(this, "LabelLogo", QStringLiteral("Logo"), CaptionPlace(152));
  EditLogo = MakeEdit(this, "EditLogo", details.logoFile, 152, 254);
  EditLogo->setMaxLength(32767);
  ButtonSfoglia = ui::MakeButton(this, "ButtonSfoglia", QStringLiteral("&Sfoglia..."),
                                 ButtonPlace(430, 149, 114));
  ImmagineLogo = ui::MakeLabel(this, "ImmagineLogo", QString(), {170, 188, 200, 80});
  ImmagineLogo->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  ButtonOK = ui::MakeButton(this, "ButtonOK", QStringLiteral("OK"), ButtonPlace(300, 282, 120));
  ButtonOK->setDefault(true);
  ButtonAnnulla =
      ui::MakeButton(this, "ButtonAnnulla", QStringLiteral("&Annulla"), ButtonPlace(424, 282, 120));

  if (language != nullptr) {
    const auto label = [this](const char* name) {
      return SetTextOf(findChild<QLabel*>(QLatin1String(name)));
    };
    ApplyWindowTexts(*language,
                     {{QStringLiteral("FinestraOfficina"), 40, SetTitleOf(this)},
                      {QStringLiteral("LabelNomeOfficina"), 18, label("LabelNomeOfficina")},
                      {QStringLiteral("LabelIndirizzo"), 18, label("LabelIndirizzo")},
                      {QStringLiteral("LabelTelefono"), 18, label("LabelTelefono")},
                      {QStringLiteral("LabelPartitaIva"), 18, label("LabelPartitaIva")},
                      {QStringLiteral("LabelLogo"), 18, label("LabelLogo")},
                      {QStringLiteral("ButtonSfoglia"), 15, SetTextOf(ButtonSfoglia)},
                      {QStringLiteral("ButtonAnnulla"), 15, SetTextOf(ButtonAnnulla)},
                      {QStringLiteral("MessLogoNonValido"), 70, StoreIn(&badLogo_)},
                      {QStringLiteral("MessErrImpostazioni"), 70, StoreIn(&notSaved_)},
                      {QStringLiteral("FiltroImmagini"), 50, StoreIn(&pictures_)}});
  }
  ShowLogo();
  connect(EditLogo, &QLineEdit::editingFinished, this, &TFormOfficina::ShowLogo);
  connect(ButtonSfoglia, &QPushButton::clicked, this, &TFormOfficina::Sfoglia);
  connect(ButtonOK, &QPushButton::clicked, this, &TFormOfficina::Conferma);
  connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);
  ScaleToScreen(this);
}

WorkshopDetails TFormOfficina::DetailsOfEdits() const {
  return {EditNomeOfficina->text().trimmed(), EditIndirizzo->text().trimmed(),
          EditTelefono->text().trimmed(), EditPartitaIva->text().trimmed(),
          EditLogo->text().trimmed()};
}

void TFormOfficina::ShowLogo() {
  const QPixmap logo(EditLogo->text().trimmed());
  ImmagineLogo->setPixmap(logo.isNull() ? QPixmap()
                                        : logo.scaled(ImmagineLogo->size(), Qt::KeepAspectRatio,
                                                      Qt::SmoothTransformation));
}

void TFormOfficina::Sfoglia() {
  const QString file = QFileDialog::getOpenFileName(this, windowTitle(), EditLogo->text(), pictures_);
  if (file.isEmpty()) return;
  EditLogo->setText(file);
  ShowLogo();
}

void TFormOfficina::Conferma() {
  const WorkshopDetails details = DetailsOfEdits();
  if (!details.logoFile.isEmpty() && QImageReader(details.logoFile).read().isNull()) {
    MessageBoxes::ShowError(this, badLogo_, windowTitle(), details.logoFile);
    EditLogo->setFocus();
    return;
  }
  if (!settings_.SetWorkshop(details)) {
    MessageBoxes::ShowError(this, notSaved_, windowTitle());
    return;
  }
  accept();
}
