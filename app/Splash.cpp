#include "Splash.h"

#include <QBitmap>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

#include "ModuloLingua.h"
#include "ProductPictures.h"

namespace {
constexpr int kDesignWidth = 374;
constexpr int kDesignHeight = 310;
constexpr int kToolBarDesignTop = 224;
constexpr int kToolBarHeight = 44;
constexpr int kButtonWidth = 43;
constexpr int kButtonHeight = 42;
constexpr int kFlagSize = 36;
constexpr int kPromptTop = 288;
constexpr int kPromptHeight = 16;
constexpr int kPromptLength = 70;
const char* const kPromptKey = "LabelAvvio";

// The flag with the colour of its top-left pixel made transparent; a null
// pixmap when the file cannot be read.
QPixmap LoadFlag(const QString& path) {
  QImage image;
  if (!image.load(path)) return {};
  QPixmap flag = QPixmap::fromImage(image);
  const QColor transparent = image.pixelColor(0, 0);
  flag.setMask(QBitmap::fromImage(image.createMaskFromColor(transparent.rgb(), Qt::MaskInColor)));
  return flag;
}
}  // namespace

TFormSplash::TFormSplash(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TFormSplash"));
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setModal(true);
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setFixedSize(kDesignWidth, kDesignHeight);

  ImageSplash = new QLabel(this);
  ImageSplash->setObjectName(QStringLiteral("ImageSplash"));
  ImageSplash->move(0, 0);

  ToolBarLingue = new QToolBar(this);
  ToolBarLingue->setObjectName(QStringLiteral("ToolBarLingue"));
  ToolBarLingue->setMovable(false);
  ToolBarLingue->setFloatable(false);
  ToolBarLingue->setIconSize(QSize(kFlagSize, kFlagSize));
  ToolBarLingue->setStyleSheet(
      QStringLiteral("QToolBar { background: white; border-top: 1px solid #a0a0a0;"
                     " border-bottom: 1px solid #a0a0a0; spacing: 2px; }"));
  ToolBarLingue->setGeometry(0, kToolBarDesignTop, kDesignWidth, kToolBarHeight);

  LabelAvvio = new QLabel(this);
  LabelAvvio->setObjectName(QStringLiteral("LabelAvvio"));
  LabelAvvio->setAlignment(Qt::AlignCenter);
  QFont font = LabelAvvio->font();
  font.setPixelSize(13);
  LabelAvvio->setFont(font);
  LabelAvvio->setText(QStringLiteral("Selezionare la lingua o premere INVIO per cominciare"));
  LabelAvvio->setGeometry(0, kPromptTop, kDesignWidth, kPromptHeight);
}

void TFormSplash::LoadPicture() {
  const QPixmap picture = SplashPicture();
  if (picture.isNull()) return;  // the window keeps its design size
  ImageSplash->setPixmap(picture);
  ImageSplash->resize(picture.size());
  const int width = picture.width();
  setFixedSize(width, kDesignHeight);
  ToolBarLingue->setGeometry(0, picture.height(), width, kToolBarHeight);
  LabelAvvio->setGeometry(0, kPromptTop, width, kPromptHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().center() - rect().center());
  }
}

QToolButton* TFormSplash::AddLanguageButton(const QString& field, const QString& displayName,
                                            int index, const QString& mainFolder) {
  auto* button = new QToolButton(ToolBarLingue);
  button->setObjectName(field + QString::number(index));
  button->setAutoRaise(true);
  button->setFixedSize(kButtonWidth, kButtonHeight);
  button->setIconSize(QSize(kFlagSize, kFlagSize));
  button->setToolTip(TModuloLingua::TextWithoutAccelerator(displayName));
  button->setProperty("Tag", index);

  const QPixmap flag = LoadFlag(
      QDir(mainFolder).filePath(QStringLiteral("immagini/") + field + QStringLiteral(".bmp")));
  if (flag.isNull()) {
    button->setProperty("ImageIndex", kNoImage);
  } else {
    button->setIcon(QIcon(flag));
    button->setProperty("ImageIndex", imageCount_++);
  }
  connect(button, &QToolButton::clicked, this, [this, index] {
    tag_ = index;
    accept();
  });
  ToolBarLingue->addWidget(button);
  return button;
}

void TFormSplash::SetPrompt(const TModuloLingua& language, int storedIndex) {
  const QStringList fields = language.LanguageFields();
  if (storedIndex < 0 || storedIndex >= fields.size()) return;
  if (const auto text =
          language.LookUp(QLatin1String(kPromptKey), fields.at(storedIndex), kPromptLength)) {
    LabelAvvio->setText(*text);
  }
}

void TFormSplash::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    tag_ = kKeepStoredLanguage;
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}
