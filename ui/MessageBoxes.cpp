#include "MessageBoxes.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include "TitleBar.h"

namespace {
ScopedMessageBoxCapture* activeCapture = nullptr;

QMessageBox::Icon IconOf(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Error:
      return QMessageBox::Critical;
    case BoxIcon::Warning:
      return QMessageBox::Warning;
    case BoxIcon::Information:
      return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

ScopedMessageBoxCapture::ScopedMessageBoxCapture() : previous_(activeCapture) {
  activeCapture = this;
}

ScopedMessageBoxCapture::~ScopedMessageBoxCapture() {
  activeCapture = previous_;
}

BoxAnswer ScopedMessageBoxCapture::Answer(const BoxRequest& request) {
  requests_.append(request);
  if (!answers_.isEmpty()) return answers_.takeFirst();
  return request.buttons == BoxButtons::YesNo ? BoxAnswer::No : BoxAnswer::Ok;
}

namespace MessageBoxes {

std::unique_ptr<QMessageBox> MakeBox(QWidget* parent, const BoxRequest& request) {
  auto box = std::make_unique<QMessageBox>(IconOf(request.icon), request.title, request.text,
                                           QMessageBox::NoButton, parent);
  if (!request.detail.isEmpty()) box->setInformativeText(request.detail);
  // A reason may hold a command to copy.
  box->setTextInteractionFlags(Qt::TextSelectableByMouse);
  if (request.buttons == BoxButtons::YesNo) {
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
  } else {
    box->setStandardButtons(QMessageBox::Ok);
  }
  // The box sizes itself to its layout: a row as wide as the title bar
  // needs makes it wide enough for the title.
  if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
    const QMargins margins = grid->contentsMargins();
    const int width = TitleBarWidth(request.title) - margins.left() - margins.right();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  return box;
}

BoxAnswer Show(QWidget* parent, const BoxRequest& request) {
  if (activeCapture != nullptr) return activeCapture->Answer(request);
  const auto box = MakeBox(parent, request);
  const int answer = box->exec();
  if (request.buttons == BoxButtons::YesNo)
    return answer == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
  return BoxAnswer::Ok;
}

void ShowError(QWidget* parent, const QString& text, const QString& title,
               const QString& detail) {
  Show(parent, {text, title, BoxIcon::Error, BoxButtons::Ok, detail});
}

void ShowInformation(QWidget* parent, const QString& text, const QString& title) {
  Show(parent, {text, title, BoxIcon::Information, BoxButtons::Ok, QString()});
}

bool AskYesNo(QWidget* parent, const QString& text, const QString& title, BoxIcon icon) {
  return Show(parent, {text, title, icon, BoxButtons::YesNo, QString()}) == BoxAnswer::Yes;
}

}  // namespace MessageBoxes
