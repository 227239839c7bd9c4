#include "AboutBox.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "FormMain.h"
#include "NamedWidgets.h"
#include "ProcessObjects.h"
#include "ProductPictures.h"

namespace {
// The panel's lines: 13 pixels high, each as wide as its text.
QLabel* PanelLine(QWidget* panel, const char* name, const QString& text, int x, int y) {
  QLabel* label = ui::MakeLabel(panel, name, text);
  QFont font = label->font();
  font.setPixelSize(13);
  label->setFont(font);
  label->move(x, y);
  label->adjustSize();
  return label;
}
}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TAboutBox"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(298, 230);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setLineWidth(2);
  Panel1->setGeometry(8, 8, 281, 177);

  ImageAbout = new QLabel(Panel1);
  ImageAbout->setObjectName(QStringLiteral("ImageAbout"));
  ImageAbout->setScaledContents(true);
  ImageAbout->move(8, 8);

  ProductName = PanelLine(Panel1, "ProductName", QStringLiteral("TitoloProgramma"), 16, 80);
  QFont bold = ProductName->font();
  bold.setBold(true);
  ProductName->setFont(bold);
  ProductName->setAlignment(Qt::AlignCenter);
  ProductName->setWordWrap(true);
  ProductName->setGeometry(16, 80, 249, 16);

  Version = PanelLine(Panel1, "Version", QLatin1String(kProgramVersion), 16, 104);
  LabelVersioneCpu =
      PanelLine(Panel1, "LabelVersioneCpu", QStringLiteral("Versione centralina"), 16, 128);
  Copyright =
      PanelLine(Panel1, "Copyright", QString::fromUtf8("Copyright \u00A9 2026 OXT srl"), 16, 152);

  OKButton = new QPushButton(QStringLiteral("&OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setGeometry(111, 196, 75, 25);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::Fill(const QString& title, const QString& versionPrefix,
                     const QString& cpuVersionPrefix, bool demo, int cpuVersion) {
  setWindowTitle(title);
  const QPixmap picture = AboutPicture();
  if (!picture.isNull()) {
    ImageAbout->setPixmap(picture);
    ImageAbout->resize(picture.size());
    ImageAbout->move((Panel1->width() - picture.width()) / 2, 8);
  }
  ProductName->setText(title);
  Version->setText(versionPrefix + QLatin1Char(' ') + QLatin1String(kProgramVersion));
  Version->adjustSize();
  LabelVersioneCpu->setText(demo ? QStringLiteral("DEMO")
                                 : cpuVersionPrefix + QLatin1Char(' ') +
                                       QString::number(cpuVersion));
  LabelVersioneCpu->adjustSize();
}

void TAboutBox::Run(QWidget* mainWindow) {
  TAboutBox box(mainWindow);
  QString title = mainWindow != nullptr ? mainWindow->windowTitle() : QString();
  QString versionPrefix, cpuPrefix;
  if (auto* main = qobject_cast<TFormMain*>(mainWindow)) {
    versionPrefix = main->MessageText(QStringLiteral("LabelVersione"));
    cpuPrefix = main->MessageText(QStringLiteral("LabelVersioneCpu"));
  }
  box.Fill(title, versionPrefix, cpuPrefix, Process().demoMode, Process().identification.version);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    box.move(screen->availableGeometry().center() - box.rect().center());
  }
  box.exec();
}
