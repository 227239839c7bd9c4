#include "ConfigWindowParts.h"

#include "FieldEditor.h"
#include "NamedWidgets.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QStackedWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace config_parts {

void SetUpWindow(QDialog* window, const QString& title, int width, int height) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(16);
  font.setBold(true);
  window->setFont(font);
  window->setWindowTitle(title);
  window->resize(width, height);
}

QTabWidget* AddPages(QWidget* window, const QRect& geometry, FieldPages pages,
                     const char* const* captions) {
  auto* control = new QTabWidget(window);
  control->setObjectName(QStringLiteral("PageControl1"));
  control->setGeometry(geometry);
  for (std::size_t p = 0; p < pages.size(); ++p) {
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(pages[p].name));
    control->addTab(page, QString::fromUtf8(captions[p]));
  }
  return control;
}

QLineEdit* AddEdit(QWidget* parent, const char* name, int top) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(kEditLeft, top, kEditWidth, kEditHeight);
  return edit;
}

QCheckBox* AddCheckBox(QWidget* parent, const char* name, int left, int top) {
  auto* box = new QCheckBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->move(left, top);
  box->adjustSize();
  return box;
}

QPushButton* AddExitButton(QDialog* window, const QRect& geometry) {
  QPushButton* button = ui::MakeButton(window, "ButtonEsci", QStringLiteral("&Esci"), geometry);
  button->setAutoDefault(false);
  QObject::connect(button, &QPushButton::clicked, window, &QDialog::reject);
  return button;
}

void AddStatusLabels(QWidget* window, const QRect& notConnected, bool wrapped, int goVisLeft,
                     int goVisTop, int limitsTop) {
  ui::MakeLabel(window, "LabelNonConnesso", QStringLiteral("Centralina non connessa"), notConnected)
      ->setWordWrap(wrapped);
  ui::MakeLabel(window, "LabelGoVis", QStringLiteral("F12 = Visualizzazione"))
      ->move(goVisLeft, goVisTop);
  QLabel* limits = ui::MakeLabel(window, "LabelLimiti", QStringLiteral("Limiti non attivi"));
  limits->move(goVisLeft, limitsTop);
  limits->hide();
}

void FitLabels(QWidget* window) {
  for (QLabel* label : window->findChildren<QLabel*>())
    if (!label->wordWrap()) label->adjustSize();
}

void FitCaptions(FieldEditor& editor) {
  constexpr int kGap = 8;
  constexpr int kSmallestPixelSize = 10;
  for (int r = 0; r < editor.RowCount(); ++r) {
    QLabel* caption = editor.Caption(r);
    const QWidget* input = editor.Input(r);
    const bool besideEdit = editor.Edit(r) != nullptr;
    // Pages other than the shown one keep their design size until shown: the
    // page stack, scaled with the window, has the width they will have.
    const QWidget* page = caption->parentWidget();
    const auto* stack = qobject_cast<const QStackedWidget*>(page->parentWidget());
    const int pageWidth = stack != nullptr ? stack->width() : page->width();
    const int right = besideEdit ? input->x() : pageWidth;
    const int room = right - kGap - caption->x();
    QFont font = caption->font();
    while (caption->sizeHint().width() > room && font.pixelSize() > kSmallestPixelSize) {
      font.setPixelSize(font.pixelSize() - 1);
      caption->setFont(font);
    }
    caption->adjustSize();
  }
}

}  // namespace config_parts
