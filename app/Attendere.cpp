#include "Attendere.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWindow>

#include "Events.h"
#include "FittedText.h"

namespace {
constexpr int kMaxWaitForScreenMs = 500;
}

TFormAttesa::TFormAttesa(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowMinMaxButtonsHint) {
  setObjectName(QStringLiteral("FormAttesa"));
  setWindowTitle(QStringLiteral("Finestra di attesa"));
  setFixedSize(400, 92);

  Label1 = new QLabel(QStringLiteral("Messaggio di attesa..."), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(-2, 8, 337, 16);
  Label1->setAlignment(Qt::AlignCenter);
  QFont messageFont = Label1->font();
  messageFont.setPixelSize(15);
  Label1->setFont(messageFont);
  QPalette black = Label1->palette();
  black.setColor(QPalette::WindowText, Qt::black);
  Label1->setPalette(black);

  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setGeometry(50, 35, 233, 17);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);

  Label2 = new QLabel(this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setGeometry(50, 60, 233, 17);
  Label2->setAlignment(Qt::AlignCenter);

  // The searching picture beside the message.
  Animate1 = new QLabel(this);
  Animate1->setObjectName(QStringLiteral("Animate1"));
  Animate1->setGeometry(336, 16, 16, 16);
  Animate1->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(16, 16));

  Button1 = new QPushButton(QStringLiteral("&Annulla"), this);  // has no function
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setEnabled(false);
  Button1->hide();

  CentreOnScreen(this, owner);
}

void TFormAttesa::SetTexts(const QString& caption, const QString& message,
                           const QString& completion) {
  setWindowTitle(caption);
  SetFittedText(Label1, message);
  completion_ = completion;
}

void CentreOnScreen(QWidget* window, const QWidget* owner) {
  const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen != nullptr)
    window->move(screen->availableGeometry().center() - window->rect().center());
}

void HandActivationBack(QWidget* owner) {
  if (owner == nullptr || !owner->isVisible()) return;
  owner->activateWindow();
  if (QApplication::activeWindow() == nullptr) QApplication::setActiveWindow(owner);
}

void ShowAndPaintNow(QWidget* window) {
  window->show();
  window->raise();
  // A window system maps a new window in its own time; a window painted
  // before it is on screen shows nothing until the next paint, which a
  // synchronous read would hold back. So wait (briefly) until it is there.
  QElapsedTimer waited;
  waited.start();
  while (window->windowHandle() != nullptr && !window->windowHandle()->isExposed() &&
         waited.elapsed() < kMaxWaitForScreenMs) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
  }
  window->repaint();
}

void TFormAttesa::ShowAndPaint() {
  activateWindow();
  // The progress of a synchronous read goes to the active window: this one
  // must be it before the read starts, whatever the window manager makes of
  // the activation request.
  QApplication::setActiveWindow(this);
  ShowAndPaintNow(this);
  QApplication::setActiveWindow(this);
}

bool TFormAttesa::event(QEvent* event) {
  if (event->type() != kProgressEventType) return QWidget::event(event);
  const auto* progress = static_cast<ProgressEvent*>(event);
  int position =
      progress->Add() ? ProgressBar1->value() + progress->Percent() : progress->Percent();
  position = qBound(ProgressBar1->minimum(), position, ProgressBar1->maximum());
  ProgressBar1->setValue(position);
  Label2->setText(QString::number(ProgressBar1->value()) + QStringLiteral("% ") + completion_);
  // The read keeps the user-interface thread busy: paint now, not later.
  repaint();
  return true;
}

TFormAttendere::TFormAttendere(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("FormAttendere"));
  setFixedSize(391, 68);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(16);
  font.setBold(true);
  setFont(font);

  LabelAttendere = new QLabel(QStringLiteral("Attendere..."), this);
  LabelAttendere->setObjectName(QStringLiteral("LabelAttendere"));
  LabelAttendere->setGeometry(16, 24, 361, 20);
  LabelAttendere->setAlignment(Qt::AlignCenter);
  CentreOnScreen(this, owner);
}

void TFormAttendere::ShowAndPaint() {
  ShowAndPaintNow(this);
}
