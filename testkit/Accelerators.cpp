#include "Accelerators.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QTabBar>
#include <QWidget>

namespace {

// Captions grouped by their accelerator; a group of two or more is a clash.
class Competitors {
 public:
  void Add(const QString& caption) {
    const QChar key = AcceleratorOf(caption);
    if (!key.isNull()) byKey_[key].append(caption);
  }
  void Report(const QString& where, QStringList* clashes) const {
    for (auto it = byKey_.cbegin(); it != byKey_.cend(); ++it) {
      if (it.value().size() < 2) continue;
      clashes->append(where + QStringLiteral(": \"") + it.value().join(QStringLiteral("\", \"")) +
                      QStringLiteral("\" share ") + it.key());
    }
  }

 private:
  QMap<QChar, QStringList> byKey_;
};

QString NameOf(const QObject* object) {
  return object->objectName().isEmpty() ? QString::fromLatin1(object->metaObject()->className())
                                        : object->objectName();
}

// Every entry of the menu, hidden ones too: a hidden entry may be shown
// later, and its letter must not then fall on another's.
void CheckMenu(const QMenu* menu, QStringList* clashes) {
  Competitors entries;
  for (const QAction* action : menu->actions())
    if (!action->isSeparator()) entries.Add(action->text());
  entries.Report(QStringLiteral("menu ") + NameOf(menu), clashes);
}

}  // namespace

QChar AcceleratorOf(const QString& caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption.at(i) != QLatin1Char('&')) continue;
    if (caption.at(i + 1) == QLatin1Char('&')) {
      ++i;
      continue;
    }
    return caption.at(i + 1).toLower();
  }
  return {};
}

QStringList AcceleratorClashes(const QWidget* window) {
  QStringList clashes;
  for (const QMenu* menu : window->findChildren<QMenu*>()) CheckMenu(menu, &clashes);
  Competitors controls;
  for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
    if (button->isVisibleTo(window)) controls.Add(button->text());
  for (const QLabel* label : window->findChildren<QLabel*>())
    if (label->buddy() != nullptr && label->isVisibleTo(window)) controls.Add(label->text());
  for (const QGroupBox* box : window->findChildren<QGroupBox*>())
    if (box->isVisibleTo(window)) controls.Add(box->title());
  for (const QTabBar* tabs : window->findChildren<QTabBar*>()) {
    if (!tabs->isVisibleTo(window)) continue;
    for (int t = 0; t < tabs->count(); ++t)
      if (tabs->isTabVisible(t)) controls.Add(tabs->tabText(t));
  }
  controls.Report(QStringLiteral("window ") + NameOf(window), &clashes);
  return clashes;
}
