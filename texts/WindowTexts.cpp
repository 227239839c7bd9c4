#include "WindowTexts.h"

#include <QAction>
#include <QWidget>

#include "ModuloLingua.h"

bool ApplyWindowTexts(TModuloLingua& lingua, const QList<WindowText>& texts) {
  bool ok = lingua.Activate();
  for (const WindowText& entry : texts) {
    if (!ok) break;
    const std::optional<QString> text = lingua.Text(entry.key, entry.maxLength);
    ok = text.has_value();
    if (ok && entry.assign) entry.assign(*text);
  }
  lingua.Deactivate();
  return ok;
}

std::function<void(const QString&)> SetTitleOf(QWidget* window) {
  return [window](const QString& text) { window->setWindowTitle(text); };
}

std::function<void(const QString&)> SetHintOf(QWidget* widget) {
  return [widget](const QString& text) { widget->setToolTip(text); };
}

std::function<void(const QString&)> SetHintOf(QAction* action) {
  return [action](const QString& text) {
    action->setToolTip(text);
    action->setStatusTip(text);
  };
}

std::function<void(const QString&)> StoreIn(QString* text) {
  return [text](const QString& value) { *text = value; };
}

std::function<void(const QString&)> AppendTo(QStringList* texts) {
  return [texts](const QString& value) { texts->append(value); };
}
